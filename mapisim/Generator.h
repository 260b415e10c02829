#pragma once
#include "mapisim/RowView.h"
#include <cstddef>

namespace mapisim {

// The properties of generated entry `index`: the same index always gives the same entry.
// Mostly mail users, with every kind of entry (rooms, equipment and security groups told
// apart by PR_DISPLAY_TYPE_EX), names in many scripts (one with a character outside the
// Basic Multilingual Plane) and a few missing values; the first fifteen entries show each of
// these once, so even a short list has them all.
void GenerateEntry(size_t index, RowView& row);

} // namespace mapisim
