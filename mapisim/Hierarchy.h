#pragma once
#include "mapisim/Scenario.h"

namespace mapisim {

// A hierarchy-table row for container: entry identifier, name, provider, container id,
// display type, object type, depth and container flags.
void FillContainerRow(const Container& container, LONG depth, RowView& row);

// Index of the container whose entry identifier is these bytes; -1 when none.
int FindContainer(const Scenario& scenario, const void* entryId, ULONG size);

// An entry's identifier is the prefix of its container followed by its index there.
std::string EntryIdPrefix(int container);
void AppendEntryIndex(std::string& entryId, size_t index);
// The container and the entry an identifier names; false when it names no entry.
bool FindEntry(const Scenario& scenario, const void* entryId, ULONG size, int& container, size_t& index);

} // namespace mapisim
