#include "registry_rows/registry_state.h"

#include <cstdio>

namespace vrpph::packaging {
namespace {

std::string Folded(const std::string& text) {
  std::string folded = text;
  for (char& c : folded) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
  return folded;
}

std::string DataText(const RegistryRow& row) {
  if (row.type == 1 && !row.data.empty() && row.data.back() == 0) {
    return "'" + std::string(row.data.begin(), row.data.end() - 1) + "'";
  }
  std::string hex = "type " + std::to_string(row.type) + ":";
  for (std::uint8_t byte : row.data) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02x", byte);
    hex += digits;
  }
  return hex;
}

}  // namespace

std::string EntryKey(const RegistryRow& row) {
  // A key row sorts before the values of its key; "\x01" cannot occur in a name.
  return Folded(row.root + "\\" + row.key) + (row.keyOnly ? std::string("\x01") : "\x02" + Folded(row.name));
}

void AddRow(RegistryState& state, RegistryRow row) {
  std::string key = EntryKey(row);
  state.insert_or_assign(std::move(key), std::move(row));
}

std::vector<RegistryRow> RowsNotIn(const RegistryState& from, const RegistryState& other) {
  std::vector<RegistryRow> rows;
  for (const auto& [key, row] : from) {
    const auto found = other.find(key);
    if (found == other.end() || !SameRow(row, found->second)) rows.push_back(row);
  }
  return rows;
}

std::string Listing(const std::vector<RegistryRow>& rows, const std::string& mark) {
  std::string text;
  for (const RegistryRow& row : rows) {
    text += mark + Describe(row) + (row.keyOnly ? "" : " = " + DataText(row)) + "\n";
  }
  return text;
}

}  // namespace vrpph::packaging
