// registry_rows: the package's registry rows, learnt from the built modules'
// own registration. Runs under Wine (64-bit) in a prefix kept for it.
//
//   registry_rows OUT_FOLDER --module BITS FILE_ID DIRECTORY_ID MODULE_PATH ...
//
// writes OUT_FOLDER\registry<BITS>.wxi for each module's component and
// OUT_FOLDER\registry-rows.tsv with every row and its place.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "registry_rows/package_rows.h"
#include "registry_rows/wix_rows.h"

namespace {

using vrpph::packaging::ModuleRegistration;
using vrpph::packaging::PackagedModule;

int Fail(const std::string& message) {
  std::fprintf(stderr, "registry_rows: %s\n", message.c_str());
  return 1;
}

bool ParseModules(int argc, char** argv, std::vector<PackagedModule>* modules) {
  for (int at = 2; at < argc; at += 5) {
    if (at + 4 >= argc || std::string(argv[at]) != "--module") return false;
    const std::string bits = argv[at + 1];
    if (bits != "64" && bits != "32") return false;
    modules->push_back(PackagedModule{bits == "64" ? 64 : 32, argv[at + 2], argv[at + 3], argv[at + 4]});
  }
  return !modules->empty();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<PackagedModule> modules;
  if (argc < 2 || !ParseModules(argc, argv, &modules)) {
    return Fail("usage: registry_rows OUT_FOLDER --module 64|32 FILE_ID DIRECTORY_ID MODULE_PATH ...");
  }
  const std::string folder = std::string(argv[1]) + "\\";

  std::vector<ModuleRegistration> registrations;
  std::string error;
  for (const PackagedModule& module : modules) {
    ModuleRegistration registration{module, {}, {}};
    if (!vrpph::packaging::ReadScriptRows(module.builtPath, "[!" + module.fileId + "]", &registration.scripts,
                                          &error) ||
        !vrpph::packaging::CaptureTypeLibraryRows(module.builtPath, &registration.typeLibrary, &error)) {
      return Fail(error);
    }
    registrations.push_back(std::move(registration));
  }
  std::vector<vrpph::packaging::PackageRow> rows;
  if (!vrpph::packaging::PlaceRows(registrations, &rows, &error)) return Fail(error);

  for (const PackagedModule& module : modules) {
    const std::string path = folder + "registry" + std::to_string(module.bits) + ".wxi";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!vrpph::packaging::WriteComponentRows(out, rows, module.bits, &error)) return Fail(error);
    if (!out.flush()) return Fail("cannot write " + path);
  }
  const std::string table = folder + "registry-rows.tsv";
  std::ofstream out(table, std::ios::binary | std::ios::trunc);
  if (!vrpph::packaging::WriteRowTable(out, rows, &error)) return Fail(error);
  if (!out.flush()) return Fail("cannot write " + table);

  for (vrpph::packaging::Placement placement :
       {vrpph::packaging::Placement::Component, vrpph::packaging::Placement::Platform,
        vrpph::packaging::Placement::OtherComponent, vrpph::packaging::Placement::SharedWith64}) {
    for (const PackagedModule& module : modules) {
      int count = 0;
      for (const auto& row : rows) count += row.bits == module.bits && row.placement == placement;
      std::printf("registry_rows: %d-bit registration, %-15s %d rows\n", module.bits,
                  vrpph::packaging::PlacementName(placement), count);
    }
  }
  return 0;
}
