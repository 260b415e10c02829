#include "mapisim/GeneratedDetails.h"
#include <cstring>

namespace mapisim {
namespace {

// The catalogue's indices of the details made here.
constexpr int kTitle = details::IndexOf("title");
constexpr int kDepartment = details::IndexOf("department");
constexpr int kCompany = details::IndexOf("company");
constexpr int kOffice = details::IndexOf("office");
constexpr int kPhone = details::IndexOf("phone");
constexpr int kMobile = details::IndexOf("mobile");
constexpr int kAlias = details::IndexOf("alias");
constexpr int kStreet = details::IndexOf("street");
constexpr int kCity = details::IndexOf("city");
constexpr int kState = details::IndexOf("state");
constexpr int kPostcode = details::IndexOf("postcode");
constexpr int kCountry = details::IndexOf("country");
constexpr int kAddresses = details::IndexOf("addresses");
constexpr int kCostCentre = details::IndexOf("custom1");
constexpr int kEmployeeId = details::IndexOf("custom2");
constexpr int kContract = details::IndexOf("custom3");
static_assert(kTitle >= 0 && kDepartment >= 0 && kCompany >= 0 && kOffice >= 0 && kPhone >= 0 &&
                  kMobile >= 0 && kAlias >= 0 && kStreet >= 0 && kCity >= 0 && kState >= 0 &&
                  kPostcode >= 0 && kCountry >= 0 && kAddresses >= 0 && kCostCentre >= 0 &&
                  kEmployeeId >= 0 && kContract >= 0,
              "every detail made here is in the catalogue");

const char* const kTitles[] = {"Account Manager",    "Software Engineer",  "Ingénieure commerciale",
                               "Leiterin Einkauf",   "Data Analyst",       "営業部長",
                               "Главный бухгалтер",  "Support Specialist", "Chief Financial Officer",
                               "Υπεύθυνη Προσωπικού"};
const char* const kDepartments[] = {"Sales",     "Engineering",   "Finance",    "Support",
                                    "Marketing", "Personalwesen", "Logistique", "法務部"};
const char* const kCompanies[] = {"Rostermint Ltd", "Rostermint GmbH", "Rostermint SAS",
                                  "ロスターミント株式会社"};
const char* const kPartners[] = {"Partner & Söhne KG", "Conseil Durand SARL", "Northwind Traders"};

// A site: its office, address and telephone prefixes.
struct Site {
    const char* office;
    const char* street;
    const char* city;
    const char* state;
    const char* postcode;
    const char* country;
    const char* phone;
    const char* mobile;
};
const Site kSites[] = {
    {"London 3.14", "Baker Street", "London", "England", "NW1 6XE", "United Kingdom", "+44 20 7946 ",
     "+44 7700 900"},
    {"München Süd", "Leopoldstraße", "München", "Bayern", "80802", "Deutschland", "+49 89 1234 ",
     "+49 151 2345"},
    {"Paris La Défense", "rue de la Paix", "Paris", "Île-de-France", "75002", "France", "+33 1 4455 ",
     "+33 6 1234"},
    {"東京本社", "丸の内", "千代田区", "東京都", "100-0005", "日本", "+81 3 5555 ", "+81 90 1234"},
    {"Seattle", "Pine Street", "Seattle", "WA", "98101", "United States", "+1 206 555 ", "+1 425 555"},
};

const char kTenantDomain[] = "@rostermint.mail.example";
const char kLegacyDomain[] = "@old.rostermint.example";
const char kX500Prefix[] = "X500:/o=Rostermint/ou=First Administrative Group/cn=Recipients/cn=";

template <size_t N> const char* Pick(const char* const (&words)[N], uint64_t hash) {
    return words[hash % N];
}

void AppendDigits(std::string& text, uint64_t value, int digits) {
    std::string number(static_cast<size_t>(digits), '0');
    for (int at = digits - 1; at >= 0; --at, value /= 10)
        number[static_cast<size_t>(at)] = static_cast<char>('0' + value % 10);
    text += number;
}

class DetailWriter {
public:
    explicit DetailWriter(RowView& view) : row(view) {}
    bool Wants(int index) const { return (row.wantedDetails & (details::DetailSet(1) << index)) != 0; }
    void Static(int index, const char* text) {
        if (Wants(index))
            row.AddText(details::kCatalogue[index].unicodeTag, text, strlen(text));
    }
    // A text made in scratch slot `slot`; the caller fills it.
    std::string& Made(int slot) {
        std::string& text = row.detailScratch[slot];
        text.clear();
        return text;
    }
    void Text(int index, int slot) {
        row.AddText(details::kCatalogue[index].unicodeTag, row.detailScratch[slot]);
    }
    void Texts(int index, int slot, ULONG count) {
        row.AddTexts(details::kCatalogue[index].unicodeTag, row.detailScratch[slot], count);
    }

private:
    RowView& row;
};

// The proxy addresses: the primary as "SMTP:", one or two "smtp:" aliases, an "X500:".
void ProxyAddresses(DetailWriter& out, uint64_t hash, DetailKind kind, const std::string& alias,
                    const std::string& smtp) {
    std::string& values = out.Made(4);
    ULONG count = 0;
    const auto add = [&](const char* prefix, const std::string& address, const char* domain) {
        values += prefix;
        values += address;
        values += domain;
        values += '\0';
        ++count;
    };
    add("SMTP:", smtp, "");
    if (kind != DetailKind::Remote) {
        add("smtp:", alias, kTenantDomain);
        if (kind == DetailKind::Person && (hash >> 20) % 3 == 0)
            add("smtp:", alias, kLegacyDomain);
        add(kX500Prefix, alias, "");
    }
    out.Texts(kAddresses, 4, count);
}

} // namespace

void GenerateDetails(uint64_t hash, DetailKind kind, const std::string& alias, const std::string& smtp,
                     RowView& row) {
    DetailWriter out(row);
    const Site& site = kSites[(hash >> 5) % (sizeof(kSites) / sizeof(kSites[0]))];
    const bool person = kind == DetailKind::Person || kind == DetailKind::Remote;
    if (person) {
        out.Static(kTitle, Pick(kTitles, hash >> 9));
        if (kind == DetailKind::Person)
            out.Static(kDepartment, Pick(kDepartments, hash >> 13));
        out.Static(kCompany,
                   kind == DetailKind::Remote ? Pick(kPartners, hash >> 17) : Pick(kCompanies, hash >> 17));
        if (out.Wants(kPhone)) {
            std::string& phone = out.Made(0);
            phone += site.phone;
            AppendDigits(phone, hash >> 23, 4);
            out.Text(kPhone, 0);
        }
        if (out.Wants(kMobile) && (hash >> 29) % 10 < 6) {
            std::string& mobile = out.Made(1);
            mobile += site.mobile;
            AppendDigits(mobile, hash >> 33, 3);
            out.Text(kMobile, 1);
        }
    }
    if (kind == DetailKind::Person || kind == DetailKind::Resource) {
        out.Static(kOffice, site.office);
        out.Static(kCity, site.city);
        out.Static(kCountry, site.country);
    }
    if (kind == DetailKind::Person) {
        if (out.Wants(kStreet)) {
            std::string& street = out.Made(3);
            street += std::to_string(1 + (hash >> 37) % 200);
            street += ' ';
            street += site.street;
            out.Text(kStreet, 3);
        }
        out.Static(kState, site.state);
        out.Static(kPostcode, site.postcode);
        // Cost centre and employee number, as many organisations keep them in the custom attributes.
        if (out.Wants(kCostCentre) && (hash >> 41) % 10 < 7) {
            std::string& centre = out.Made(5);
            centre += "CC-";
            AppendDigits(centre, hash >> 44, 4);
            out.Text(kCostCentre, 5);
        }
        if (out.Wants(kEmployeeId) && (hash >> 41) % 10 < 8) {
            std::string& number = out.Made(6);
            number += 'E';
            AppendDigits(number, hash >> 48, 6);
            out.Text(kEmployeeId, 6);
        }
        if ((hash >> 58) % 8 == 0)
            out.Static(kContract, "Contractor");
    }
    if (out.Wants(kAlias)) {
        out.Made(2) = alias;
        out.Text(kAlias, 2);
    }
    if (!smtp.empty() && out.Wants(kAddresses))
        ProxyAddresses(out, hash, kind, alias, smtp);
}

} // namespace mapisim
