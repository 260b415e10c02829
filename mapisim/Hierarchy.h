#pragma once
#include "mapisim/Scenario.h"

namespace mapisim {

// A hierarchy-table row for container: entry identifier, name, provider, container id,
// display type, object type, depth and container flags.
void FillContainerRow(const Container& container, LONG depth, RowView& row);

// Index of the container whose entry identifier is these bytes; -1 when none.
int FindContainer(const Scenario& scenario, const void* entryId, ULONG size);

} // namespace mapisim
