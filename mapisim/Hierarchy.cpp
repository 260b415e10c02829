#include "mapisim/Hierarchy.h"
#include <cstring>

namespace mapisim {
namespace {

// Entries of the containers that are not the Global Address List, so that a reader that
// opens the wrong one is seen at once.
std::shared_ptr<const Directory> Decoys(const char* containerName) {
    auto directory = std::make_shared<Directory>();
    for (int i = 1; i <= 2; ++i) {
        Entry entry;
        entry.hasType = entry.hasName = entry.hasSmtp = entry.hasDn = true;
        entry.displayType = static_cast<LONG>(DT_MAILUSER);
        entry.name = std::string("Not in the GAL: ") + containerName + " " + std::to_string(i);
        entry.smtp = "decoy" + std::to_string(i) + "@elsewhere.example";
        entry.dn = "/o=Elsewhere/cn=decoy" + std::to_string(i);
        directory->entries.push_back(entry);
    }
    return directory;
}

// The entry types Exchange's address book gives its containers and their entries.
constexpr ULONG kContainerEntryType = 0x100;
constexpr ULONG kEntryEntryType = 0;

void AppendUlong(std::string& bytes, ULONG value) {
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Shaped like an address-book provider's: four flag bytes, the provider's UID, a version and
// a type, then the container's own name (or, for an entry, its container and its index).
std::string EntryIdStart(const BYTE* provider, ULONG type) {
    std::string bytes(4, '\0');
    bytes.append(reinterpret_cast<const char*>(provider), 16);
    AppendUlong(bytes, 1);
    AppendUlong(bytes, type);
    return bytes;
}

std::string MakeEntryId(const BYTE* provider, const std::string& name) {
    std::string bytes = EntryIdStart(provider, kContainerEntryType);
    bytes += name;
    bytes += '\0';
    return bytes;
}

void Add(Scenario& scenario, const char* name, const BYTE* provider, LONG containerId, LONG displayType,
         int parent, std::shared_ptr<const Directory> contents) {
    scenario.containers.push_back(Container{name, MakeEntryId(provider, name), provider, containerId,
                                            displayType, parent, std::move(contents)});
}

} // namespace

std::string EntryIdPrefix(int container) {
    std::string bytes = EntryIdStart(kMuidEmsAb, kEntryEntryType);
    AppendUlong(bytes, static_cast<ULONG>(container));
    return bytes;
}

void AppendEntryIndex(std::string& entryId, size_t index) {
    AppendUlong(entryId, static_cast<ULONG>(index));
}

bool FindEntry(const Scenario& scenario, const void* entryId, ULONG size, int& container, size_t& index) {
    const std::string start = EntryIdStart(kMuidEmsAb, kEntryEntryType);
    const auto* bytes = static_cast<const unsigned char*>(entryId);
    if (size != start.size() + 8 || memcmp(bytes, start.data(), start.size()) != 0)
        return false;
    auto ulongAt = [&](size_t at) {
        return static_cast<ULONG>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                  static_cast<ULONG>(bytes[at + 3]) << 24);
    };
    const ULONG containerIndex = ulongAt(start.size());
    index = ulongAt(start.size() + 4);
    if (containerIndex >= scenario.containers.size() || !scenario.containers[containerIndex].contents ||
        index >= scenario.containers[containerIndex].contents->Count())
        return false;
    container = static_cast<int>(containerIndex);
    return true;
}

void BuildContainers(Scenario& scenario) {
    scenario.containers.clear();
    const LONG notSpecific = static_cast<LONG>(DT_NOT_SPECIFIC);
    // Another provider's containers carry container id 0 like the GAL: only the provider
    // tells them apart. The Exchange lists other than the GAL differ only in their id.
    Add(scenario, "Outlook Address Book", kMuidOtherProvider, 0, notSpecific, -1,
        Decoys("Outlook Address Book"));
    Add(scenario, "Contacts", kMuidOtherProvider, 0, notSpecific, 0, Decoys("Contacts"));
    Add(scenario, "All Address Lists", kMuidEmsAb, 0x101, notSpecific, -1, Decoys("All Address Lists"));
    Add(scenario, "All Users", kMuidEmsAb, 0x102, notSpecific, 2, Decoys("All Users"));
    const char* const galNames[] = {"Global Address List", "Global Address List (second account)"};
    for (int i = 0; i < scenario.galCount && i < 2; ++i)
        Add(scenario, galNames[i], kMuidEmsAb, 0, static_cast<LONG>(DT_GLOBAL), -1, scenario.directory);
}

void FillContainerRow(const Container& container, LONG depth, RowView& row) {
    row.Clear();
    row.AddBytes(PR_ENTRYID, container.entryId);
    row.AddText(PR_DISPLAY_NAME_A, container.name);
    row.AddBytes(PR_AB_PROVIDER_ID, container.provider, 16);
    row.AddLong(PR_EMS_AB_CONTAINERID, container.containerId);
    row.AddLong(PR_DISPLAY_TYPE, container.displayType);
    row.AddLong(PR_OBJECT_TYPE, static_cast<LONG>(MAPI_ABCONT));
    row.AddLong(PR_DEPTH, depth);
    row.AddLong(PR_CONTAINER_FLAGS, static_cast<LONG>(AB_RECIPIENTS | AB_UNMODIFIABLE));
}

int FindContainer(const Scenario& scenario, const void* entryId, ULONG size) {
    for (size_t i = 0; i < scenario.containers.size(); ++i) {
        const std::string& id = scenario.containers[i].entryId;
        if (id.size() == size && memcmp(id.data(), entryId, size) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace mapisim
