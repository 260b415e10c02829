#include "mapisim/Generator.h"
#include "mapisim/Directory.h"
#include "mapisim/GeneratedDetails.h"
#include <cstdint>

namespace mapisim {
namespace {

struct Word {
    const char* text; // UTF-8
    const char* ascii;
};

const Word kFirstNames[] = {
    {"Anna", "anna"},       {"Björn", "bjorn"},       {"Chloé", "chloe"},       {"Dmitri", "dmitri"},
    {"Élodie", "elodie"},   {"François", "francois"}, {"Guðrún", "gudrun"},     {"Hiroshi", "hiroshi"},
    {"Ingrid", "ingrid"},   {"José", "jose"},         {"Kofi", "kofi"},         {"Łucja", "lucja"},
    {"María", "maria"},     {"Noël", "noel"},         {"Oğuz", "oguz"},         {"Pål", "pal"},
    {"Quentin", "quentin"}, {"Renée", "renee"},       {"Siobhán", "siobhan"},   {"Tomáš", "tomas"},
    {"Ursula", "ursula"},   {"Văn", "van"},           {"Wojciech", "wojciech"}, {"Xiùlán", "xiulan"},
    {"Yusuf", "yusuf"},     {"Zoë", "zoe"},           {"John", "john"},         {"Mary", "mary"},
    {"Peter", "peter"},     {"Linda", "linda"},       {"David", "david"},       {"Sarah", "sarah"},
    {"明", "ming"},         {"さくら", "sakura"},     {"민준", "minjun"},       {"Αλέξης", "alexis"},
};

const Word kLastNames[] = {
    {"Andersson", "andersson"},
    {"Bæk", "baek"},
    {"Çelik", "celik"},
    {"Dvořák", "dvorak"},
    {"Eriksson", "eriksson"},
    {"Fernández", "fernandez"},
    {"García", "garcia"},
    {"Håkansson", "hakansson"},
    {"Ivanović", "ivanovic"},
    {"Jørgensen", "jorgensen"},
    {"Kowalski", "kowalski"},
    {"Lefèvre", "lefevre"},
    {"Müller", "muller"},
    {"Nakamura", "nakamura"},
    {"O'Brien", "obrien"},
    {"Petrović", "petrovic"},
    {"Quiñones", "quinones"},
    {"Rodríguez", "rodriguez"},
    {"Schröder", "schroder"},
    {"Tanaka", "tanaka"},
    {"Úlfarsson", "ulfarsson"},
    {"Vázquez", "vazquez"},
    {"Wiśniewski", "wisniewski"},
    {"Xu", "xu"},
    {"Yılmaz", "yilmaz"},
    {"Żak", "zak"},
    {"Smith", "smith"},
    {"Johnson", "johnson"},
    {"Brown", "brown"},
    {"Miller", "miller"},
    {"王", "wang"},
    {"李", "li"},
    {"张", "zhang"},
    {"佐藤", "sato"},
    {"鈴木", "suzuki"},
    {"김", "kim"},
    {"박", "park"},
    {"Παπαδόπουλος", "papadopoulos"},
    {"Кузнецов", "kuznetsov"},
};

const Word kTeams[] = {
    {"Ventes", "ventes"},
    {"Équipe Marketing", "marketing"},
    {"Entwicklung", "entwicklung"},
    {"Soporte Técnico", "soporte"},
    {"Finance", "finance"},
    {"営業部", "eigyo"},
    {"Ressources Humaines", "rh"},
    {"Logistik & Einkauf", "logistik"},
    {"Служба поддержки", "podderzhka"},
};

const Word kRoomNames[] = {
    {"Salle Lumière", "salle-lumiere"},
    {"Besprechungsraum Süd", "raum-sued"},
    {"会議室 富士", "kaigishitsu-fuji"},
    {"회의실 한강", "hoeuisil-hangang"},
    {"Aurora", "aurora"},
    {"Αίθουσα Ολύμπια", "olympia"},
};

const Word kDevices[] = {
    {"Projector", "projector"},
    {"Poolfahrzeug", "poolfahrzeug"},
    {"Caméra de visio", "camera"},
    {"Dienstfahrrad", "fahrrad"},
};

const char kDomain[] = "@rostermint.example";
const char kDnPrefix[] = "/o=Rostermint/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn=";

// A display type the classification does not know, as some directories carry.
constexpr LONG kLargeDisplayType = 0x40000000;
constexpr LONG kMissingType = -1; // marks "no display type" inside this file only

// PR_DISPLAY_TYPE_EX as Exchange gives it: the local type in the low byte, with
// DTE_FLAG_ACL_CAPABLE on mailboxes and security groups.
constexpr LONG kAclCapable = 0x40000000;
constexpr LONG kRoom = 7;
constexpr LONG kEquipment = 8;
constexpr LONG kSecurityGroup = 9;
constexpr LONG kNoTypeEx = -1; // marks "no PR_DISPLAY_TYPE_EX" inside this file only

template <size_t N> const Word& Pick(const Word (&words)[N], uint64_t hash) {
    return words[hash % N];
}

uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

void AppendNumber(std::string& text, uint64_t value) {
    char digits[24];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0)
        text += digits[--count];
}

// What one generated entry looks like before it becomes properties.
struct Shape {
    LONG type;
    bool hasSmtp;
    bool hasDn;
    bool hasName;
    LONG typeEx;
};

// The first entries: every kind once, the unusual texts and the missing values.
struct Showcase {
    LONG type;
    LONG typeEx;
    const char* name;
    const char* slug;
    bool hasSmtp;
};
const Showcase kShowcase[] = {
    {static_cast<LONG>(DT_MAILUSER), kAclCapable, "Zoë Ångström", "zoe.angstrom", true},
    {static_cast<LONG>(DT_DISTLIST), static_cast<LONG>(DT_DISTLIST), "Ventes – Équipe France",
     "dl-ventes-france", true},
    {static_cast<LONG>(DT_REMOTE_MAILUSER), static_cast<LONG>(DT_REMOTE_MAILUSER), "Müller, Jürgen (extern)",
     "juergen.mueller", true},
    {static_cast<LONG>(DT_FORUM), static_cast<LONG>(DT_FORUM), "公共フォルダー 東京", "pf-tokyo", false},
    {static_cast<LONG>(DT_AGENT), static_cast<LONG>(DT_AGENT), "Agent Özdemir", "agent-ozdemir", false},
    // U+20BB7, outside the Basic Multilingual Plane: four bytes in UTF-8, a surrogate pair in UTF-16.
    {static_cast<LONG>(DT_MAILUSER), kAclCapable, "\xF0\xA0\xAE\xB7田 太郎", "taro.yoshida", true},
    {static_cast<LONG>(DT_ORGANIZATION), kNoTypeEx, "Rostermint Organisation", "org-rostermint", false},
    {static_cast<LONG>(DT_PRIVATE_DISTLIST), kNoTypeEx, "Søren's private list", "pdl-soren", false},
    {kLargeDisplayType, kNoTypeEx, "Conference Room Åre", "room-are", true},
    {kMissingType, kNoTypeEx, "Sans Type, Aurélie", "aurelie.sanstype", true},
    {static_cast<LONG>(DT_MAILUSER), kNoTypeEx, "Nguyễn Thị Minh Khai", "minhkhai.nguyen", true},
    {static_cast<LONG>(DT_MAILUSER), kAclCapable, "Ольга Петрова", "olga.petrova", false},
    {static_cast<LONG>(DT_MAILUSER), kAclCapable | kRoom, "Room 회의실 한강", "room-hangang", true},
    {static_cast<LONG>(DT_MAILUSER), kAclCapable | kEquipment, "Beamer Ελλάδα 2", "equip-beamer2", true},
    {static_cast<LONG>(DT_DISTLIST), kAclCapable | kSecurityGroup, "SG Финансы", "sg-finansy", true},
};
constexpr size_t kShowcaseCount = sizeof(kShowcase) / sizeof(kShowcase[0]);

LONG RollType(uint64_t roll) {
    const uint64_t r = roll % 1000;
    if (r < 845)
        return static_cast<LONG>(DT_MAILUSER);
    if (r < 905)
        return static_cast<LONG>(DT_DISTLIST);
    if (r < 945)
        return static_cast<LONG>(DT_REMOTE_MAILUSER);
    if (r < 960)
        return static_cast<LONG>(DT_FORUM);
    if (r < 975)
        return static_cast<LONG>(DT_AGENT);
    if (r < 983)
        return static_cast<LONG>(DT_ORGANIZATION);
    if (r < 990)
        return static_cast<LONG>(DT_PRIVATE_DISTLIST);
    if (r < 995)
        return kLargeDisplayType;
    return kMissingType;
}

// PR_DISPLAY_TYPE_EX, and so the detailed kind: of the mail users about 2% are rooms, 0.6%
// equipment and a few carry none; about a third of the groups are security groups.
LONG RollTypeEx(LONG type, uint64_t roll) {
    const uint64_t r = roll % 1000;
    switch (type) {
    case static_cast<LONG>(DT_MAILUSER):
        if (r < 20)
            return kAclCapable | kRoom;
        if (r < 26)
            return kAclCapable | kEquipment;
        return r < 31 ? kNoTypeEx : kAclCapable;
    case static_cast<LONG>(DT_DISTLIST):
        return r < 350 ? kAclCapable | kSecurityGroup : type;
    case static_cast<LONG>(DT_REMOTE_MAILUSER):
    case static_cast<LONG>(DT_FORUM):
    case static_cast<LONG>(DT_AGENT):
        return type;
    default:
        return kNoTypeEx;
    }
}

// Name and address of a person-like entry; slug is the ASCII local part.
void MakePerson(uint64_t hash, bool familyFirst, std::string& name, std::string& slug) {
    const Word& first = Pick(kFirstNames, hash);
    const Word& last = Pick(kLastNames, hash >> 16);
    if (familyFirst) {
        name += last.text;
        name += ", ";
        name += first.text;
    } else {
        name += first.text;
        name += ' ';
        name += last.text;
    }
    slug += first.ascii;
    slug += '.';
    slug += last.ascii;
}

void MakeName(size_t index, uint64_t hash, LONG type, LONG typeEx, std::string& name, std::string& slug) {
    const LONG local = typeEx == kNoTypeEx ? kNoTypeEx : typeEx & 0xFF;
    if (type == static_cast<LONG>(DT_MAILUSER) && (local == kRoom || local == kEquipment)) {
        const Word& word = local == kRoom ? Pick(kRoomNames, hash) : Pick(kDevices, hash);
        name += local == kRoom ? "Room " : "";
        name += word.text;
        name += ' ';
        AppendNumber(name, index % 50);
        slug += local == kRoom ? "room-" : "equip-";
        slug += word.ascii;
        return;
    }
    switch (type) {
    case static_cast<LONG>(DT_DISTLIST):
    case static_cast<LONG>(DT_PRIVATE_DISTLIST): {
        const Word& team = Pick(kTeams, hash);
        const bool security = local == kSecurityGroup;
        name += security ? "SG " : "";
        name += team.text;
        name += ' ';
        AppendNumber(name, index % 97);
        slug += security ? "sg-" : type == static_cast<LONG>(DT_DISTLIST) ? "dl-" : "pdl-";
        slug += team.ascii;
        break;
    }
    case static_cast<LONG>(DT_FORUM):
        name += "Public Folder ";
        name += Pick(kTeams, hash).text;
        slug += "pf-";
        slug += Pick(kTeams, hash).ascii;
        break;
    case static_cast<LONG>(DT_AGENT):
        name += "Agent ";
        AppendNumber(name, index);
        slug += "agent";
        break;
    case static_cast<LONG>(DT_ORGANIZATION):
        name += "Organisation ";
        name += Pick(kLastNames, hash).text;
        slug += "org-";
        slug += Pick(kLastNames, hash).ascii;
        break;
    case static_cast<LONG>(DT_REMOTE_MAILUSER):
        MakePerson(hash, false, name, slug);
        name += " (external)";
        break;
    default:
        MakePerson(hash, (hash >> 40) % 10 < 3, name, slug);
        break;
    }
}

Shape RollShape(LONG type, LONG typeEx, uint64_t hash) {
    Shape shape{type, true, true, true, typeEx};
    const uint64_t r = (hash >> 8) % 1000;
    switch (type) {
    case static_cast<LONG>(DT_FORUM):
    case static_cast<LONG>(DT_AGENT):
        shape.hasSmtp = r < 500;
        break;
    case static_cast<LONG>(DT_ORGANIZATION):
    case static_cast<LONG>(DT_PRIVATE_DISTLIST):
        shape.hasSmtp = false;
        break;
    default:
        shape.hasSmtp = r >= 20;
        break;
    }
    shape.hasDn = (hash >> 24) % 1000 >= 2;
    shape.hasName = (hash >> 34) % 1000 >= 1;
    return shape;
}

void Emit(size_t index, const Shape& shape, RowView& row) {
    std::string& name = row.scratch[0];
    std::string& smtp = row.scratch[1];
    std::string& dn = row.scratch[2];
    if (shape.type != kMissingType)
        row.AddLong(PR_DISPLAY_TYPE, shape.type);
    if (shape.typeEx != kNoTypeEx)
        row.AddLong(PR_DISPLAY_TYPE_EX, shape.typeEx);
    row.AddLong(PR_OBJECT_TYPE, ObjectTypeOf(shape.type == kMissingType ? 0 : shape.type));
    if (shape.hasName)
        row.AddText(PR_DISPLAY_NAME_A, name);
    if (shape.hasSmtp) {
        AppendNumber(smtp, index);
        smtp += kDomain;
        row.AddText(PR_SMTP_ADDRESS_A, smtp);
    }
    if (shape.hasDn) {
        AppendNumber(dn, index);
        row.AddText(PR_EMS_AB_OBJ_DIST_NAME_A, dn);
    }
}

DetailKind KindOf(LONG type, LONG typeEx) {
    const LONG local = typeEx == kNoTypeEx ? kNoTypeEx : typeEx & 0xFF;
    switch (type) {
    case static_cast<LONG>(DT_MAILUSER):
        return local == kRoom || local == kEquipment ? DetailKind::Resource : DetailKind::Person;
    case static_cast<LONG>(DT_REMOTE_MAILUSER):
        return DetailKind::Remote;
    case static_cast<LONG>(DT_DISTLIST):
        return DetailKind::Group;
    default:
        return DetailKind::Other;
    }
}

// The entry's details after its own properties; smtp holds the slug until Emit makes the address.
void EmitWithDetails(size_t index, uint64_t hash, const Shape& shape, RowView& row) {
    if (row.wantedDetails == 0) {
        Emit(index, shape, row);
        return;
    }
    std::string& alias = row.detailScratch[7];
    alias = row.scratch[1];
    AppendNumber(alias, index);
    Emit(index, shape, row);
    static const std::string kNone;
    GenerateDetails(hash, KindOf(shape.type, shape.typeEx), alias, shape.hasSmtp ? row.scratch[1] : kNone,
                    row);
}

} // namespace

void GenerateEntry(size_t index, RowView& row) {
    std::string& name = row.scratch[0];
    std::string& smtp = row.scratch[1];
    std::string& dn = row.scratch[2];
    name.clear();
    smtp.clear();
    dn = kDnPrefix;
    // smtp holds the ASCII slug first; the address is the slug, the index and the domain.
    if (index < kShowcaseCount) {
        const Showcase& entry = kShowcase[index];
        name = entry.name;
        smtp = entry.slug;
        dn += entry.slug;
        EmitWithDetails(index, Mix(index), Shape{entry.type, entry.hasSmtp, true, true, entry.typeEx}, row);
        return;
    }
    const uint64_t hash = Mix(index);
    const LONG type = RollType(Mix(hash));
    const LONG typeEx = RollTypeEx(type, Mix(hash ^ 0x5A5A5A5Au));
    MakeName(index, hash, type, typeEx, name, smtp);
    dn += smtp;
    EmitWithDetails(index, Mix(hash ^ 0x3C3C3C3Cu), RollShape(type, typeEx, Mix(hash ^ 0xA5A5A5A5u)), row);
}

} // namespace mapisim
