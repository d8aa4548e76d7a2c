#include "registry_rows/package_rows.h"

#include <algorithm>
#include <optional>

namespace vrpph::packaging {
namespace {

constexpr std::uint32_t kTextType = 1;  // REG_SZ

std::optional<std::string> TextOf(const RegistryRow& row) {
  if (row.type != kTextType || row.data.empty() || row.data.back() != 0) return std::nullopt;
  return std::string(row.data.begin(), row.data.end() - 1);
}

RegistryRow WithText(RegistryRow row, const std::string& text) {
  row.data.assign(text.begin(), text.end());
  row.data.push_back(0);
  return row;
}

bool ContainsFolded(const std::string& text, const std::string& part) {
  if (part.empty() || part.size() > text.size()) return false;
  for (std::size_t at = 0; at + part.size() <= text.size(); ++at) {
    if (SameName(text.substr(at, part.size()), part)) return true;
  }
  return false;
}

// The type library's rows name the built module: its path becomes the
// package's file reference and its folder the directory reference; any
// other text that holds the folder is something the package cannot say.
bool ToPackageReferences(const PackagedModule& module, std::vector<RegistryRow>& rows, std::string* error) {
  const std::string& path = module.builtPath;
  const std::string folder = path.substr(0, path.find_last_of('\\') + 1);
  for (RegistryRow& row : rows) {
    const std::optional<std::string> text = TextOf(row);
    if (!text) continue;
    if (*text == path) {
      row = WithText(row, "[#" + module.fileId + "]");
    } else if (*text == folder) {
      row = WithText(row, "[" + module.directoryId + "]");
    } else if (ContainsFolded(*text, folder)) {
      *error = Describe(row) + " holds '" + *text + "': only the module's path or folder can become a reference";
      return false;
    }
  }
  return true;
}

// Below these keys of HKEY_CLASSES_ROOT each view of 64-bit Windows keeps
// its own keys; everywhere else in it the two views see one key.
bool ViewsKeepApart(const RegistryRow& row) {
  if (!SameName(row.root, "HKCR")) return SameName(row.root, "HKLM");
  for (const char* apart : {"CLSID", "Interface", "DirectShow", "Media Type", "MediaFoundation"}) {
    const std::string prefix = std::string(apart) + "\\";
    if (row.key.size() >= prefix.size() && SameName(row.key.substr(0, prefix.size()), prefix)) return true;
  }
  return false;
}

const PackageRow* FindEntry(const std::vector<PackageRow>& rows, int bits, const RegistryRow& row) {
  for (const PackageRow& candidate : rows) {
    if (candidate.bits == bits && !candidate.otherView && candidate.placement == Placement::Component &&
        SameEntry(candidate.row, row)) {
      return &candidate;
    }
  }
  return nullptr;
}

}  // namespace

const char* PlacementName(Placement placement) {
  switch (placement) {
    case Placement::Component: return "component";
    case Placement::Platform: return "platform";
    case Placement::OtherComponent: return "other-component";
    case Placement::SharedWith64: return "shared-with-64";
  }
  return "?";
}

bool PlaceRows(const std::vector<ModuleRegistration>& modules, std::vector<PackageRow>* rows, std::string* error) {
  for (const ModuleRegistration& registration : modules) {
    const int bits = registration.module.bits;
    for (const ScriptRow& script : registration.scripts) {
      const bool platformValue = script.keptByUnregistration && !script.row.keyOnly;
      rows->push_back(PackageRow{bits, false, platformValue ? Placement::Platform : Placement::Component,
                                 script.keptByUnregistration && script.row.keyOnly, script.row});
    }
    std::vector<RegistryRow> own = registration.typeLibrary.own;
    std::vector<RegistryRow> other = registration.typeLibrary.other;
    if (!ToPackageReferences(registration.module, own, error) ||
        !ToPackageReferences(registration.module, other, error)) {
      return false;
    }
    for (RegistryRow& row : own) rows->push_back(PackageRow{bits, false, Placement::Component, false, row});
    for (RegistryRow& row : other) rows->push_back(PackageRow{bits, true, Placement::OtherComponent, false, row});
  }

  for (const PackageRow& placed : *rows) {
    if (!placed.otherView) continue;
    const PackageRow* there = FindEntry(*rows, placed.bits == 64 ? 32 : 64, placed.row);
    if (!there || !SameRow(there->row, placed.row)) {
      *error = Describe(placed.row) + ": the " + std::to_string(placed.bits) +
               "-bit registration writes it into the other view, where no component writes it alike";
      return false;
    }
  }
  // A shared key holds one value: where the two modules' data differ (the
  // type library's help folder), the 32-bit component leaves it to the 64-bit one.
  for (PackageRow& placed : *rows) {
    if (placed.bits != 32 || placed.otherView || placed.placement != Placement::Component) continue;
    if (ViewsKeepApart(placed.row)) continue;
    const PackageRow* there = FindEntry(*rows, 64, placed.row);
    if (there && !SameRow(there->row, placed.row)) placed.placement = Placement::SharedWith64;
  }
  return true;
}

}  // namespace vrpph::packaging
