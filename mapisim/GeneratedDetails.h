#pragma once
#include "mapisim/RowView.h"
#include <cstdint>
#include <string>

namespace mapisim {

// What kind of directory object a generated entry is, for the details it carries.
enum class DetailKind { Person, Remote, Resource, Group, Other };

// The details of the row's wanted ones that generated entry `index` has: people most of them,
// rooms, equipment and groups fewer. alias is the entry's ASCII local part, smtp its primary
// address (empty when it has none); the texts live in the row's detail scratch.
void GenerateDetails(uint64_t hash, DetailKind kind, const std::string& alias, const std::string& smtp,
                     RowView& row);

} // namespace mapisim
