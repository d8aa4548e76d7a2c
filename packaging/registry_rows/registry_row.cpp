#include "registry_rows/registry_row.h"

namespace vrpph::packaging {
namespace {

char Fold(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

}  // namespace

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

bool SameEntry(const RegistryRow& a, const RegistryRow& b) {
  return a.keyOnly == b.keyOnly && SameName(a.root, b.root) && SameName(a.key, b.key) &&
         (a.keyOnly || SameName(a.name, b.name));
}

bool SameRow(const RegistryRow& a, const RegistryRow& b) {
  return SameEntry(a, b) && a.type == b.type && a.data == b.data;
}

std::string Describe(const RegistryRow& row) {
  std::string text = row.root + "\\" + row.key;
  if (!row.keyOnly) text += " | " + (row.name.empty() ? std::string("@") : row.name);
  return text;
}

}  // namespace vrpph::packaging
