#include "registry_rows/type_library_rows.h"

#include <windows.h>

#include <cstdio>

#include "registration/win32/type_library.h"
#include "registry_rows/registry_snapshot.h"

namespace vrpph::packaging {
namespace {

constexpr REGSAM kOwnView = sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
constexpr REGSAM kOtherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

struct BothViews {
  RegistryState own;
  RegistryState other;
};

BothViews ClassesRoot() {
  return {TakeSnapshot(HKEY_CLASSES_ROOT, "HKCR", "", kOwnView), TakeSnapshot(HKEY_CLASSES_ROOT, "HKCR", "", kOtherView)};
}

std::vector<RegistryRow> ValuesOnly(std::vector<RegistryRow> rows) {
  std::erase_if(rows, [](const RegistryRow& row) { return row.keyOnly; });
  return rows;
}

std::wstring Wide(const std::string& text) {
  const int needed = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), needed);
  wide.resize(static_cast<std::size_t>(needed) - 1);
  return wide;
}

}  // namespace

bool CaptureTypeLibraryRows(const std::string& modulePath, TypeLibraryRows* rows, std::string* error) {
  const std::wstring path = Wide(modulePath);
  const BothViews before = ClassesRoot();
  const HRESULT hr = RegisterTypeLibraryOf(path);
  const BothViews after = ClassesRoot();
  UnregisterTypeLibraryOf(path);
  const BothViews restored = ClassesRoot();

  if (FAILED(hr)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    *error = modulePath + ": registering its type library failed with " + code;
    return false;
  }
  for (const auto& [then, now] : {std::pair{&before.own, &after.own}, std::pair{&before.other, &after.other}}) {
    const std::vector<RegistryRow> changed = ValuesOnly(RowsNotIn(*then, *now));
    if (!changed.empty()) {
      *error = modulePath + ": registering its type library changed what was there before (is it registered in "
               "this prefix already?):\n" + Listing(changed, "- ");
      return false;
    }
  }
  for (const auto& [then, now] : {std::pair{&before.own, &restored.own}, std::pair{&before.other, &restored.other}}) {
    const std::string left = Listing(RowsNotIn(*now, *then), "+ ") + Listing(RowsNotIn(*then, *now), "- ");
    if (!left.empty()) {
      *error = modulePath + ": unregistering its type library did not restore the registry:\n" + left;
      return false;
    }
  }
  rows->own = RowsNotIn(after.own, before.own);
  RegistryState own;
  for (const RegistryRow& row : rows->own) AddRow(own, row);
  // A key both views share shows in each; only what the own view lacks is the other view's.
  rows->other = RowsNotIn(RegistryState(after.other.begin(), after.other.end()), before.other);
  std::erase_if(rows->other, [&own](const RegistryRow& row) {
    const auto found = own.find(EntryKey(row));
    return found != own.end() && SameRow(found->second, row);
  });
  if (rows->own.empty()) {
    *error = modulePath + ": registering its type library wrote nothing";
    return false;
  }
  return true;
}

}  // namespace vrpph::packaging
