// A registry tree as a set of rows (registry_row.h): its values and its empty
// leaf keys, which together name every key. Two states compare row by row.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "registry_rows/registry_row.h"

namespace vrpph::packaging {

// Keyed by the row's root, key and name with the letter case folded.
using RegistryState = std::map<std::string, RegistryRow>;

std::string EntryKey(const RegistryRow& row);
void AddRow(RegistryState& state, RegistryRow row);

// The rows of `from` that `other` lacks or holds with another type or data.
std::vector<RegistryRow> RowsNotIn(const RegistryState& from, const RegistryState& other);

// "+ " or "- " and the row, one a line, for a failure message.
std::string Listing(const std::vector<RegistryRow>& rows, const std::string& mark);

}  // namespace vrpph::packaging
