// registry_rows: the package's registry rows, learnt from the built modules'
// own registration, and the native messaging host's rows and manifests,
// learnt from the host's own registration. Runs under Wine (64-bit) in a
// prefix kept for it.
//
//   registry_rows OUT_FOLDER [--host PROGRAM_NAME DIRECTORY_ID]
//                 --module BITS FILE_ID DIRECTORY_ID MODULE_PATH ...
//
// writes OUT_FOLDER\registry<BITS>.wxi for each module's component and
// OUT_FOLDER\registry-rows.tsv with every row and its place; with --host,
// also OUT_FOLDER\host64.wxi (the host's manifests and rows, for the 64-bit
// host's component), the manifests themselves and OUT_FOLDER\host-rows.tsv.
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "registry_rows/host_rows.h"
#include "registry_rows/package_rows.h"
#include "registry_rows/wix_rows.h"

namespace {

using vrpph::packaging::ModuleRegistration;
using vrpph::packaging::PackagedModule;

struct HostArguments {
  std::string programName;
  std::string directoryId;
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "registry_rows: %s\n", message.c_str());
  return 1;
}

bool ParseArguments(int argc, char** argv, std::vector<PackagedModule>* modules,
                    std::optional<HostArguments>* host) {
  int at = 2;
  if (at + 2 < argc && std::string(argv[at]) == "--host") {
    *host = HostArguments{argv[at + 1], argv[at + 2]};
    at += 3;
  }
  for (; at < argc; at += 5) {
    if (at + 4 >= argc || std::string(argv[at]) != "--module") return false;
    const std::string bits = argv[at + 1];
    if (bits != "64" && bits != "32") return false;
    modules->push_back(PackagedModule{bits == "64" ? 64 : 32, argv[at + 2], argv[at + 3], argv[at + 4]});
  }
  return !modules->empty();
}

// A new file at `path` with what `write` puts into it; false when either fails.
template <typename Write>
bool WriteWhole(const std::string& path, Write write) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  return write(out) && out.flush();
}

int WriteHost(const std::string& folder, const HostArguments& arguments) {
  vrpph::packaging::HostPackage host;
  std::string error;
  if (!vrpph::packaging::ReadHostRows(arguments.programName, arguments.directoryId, &host, &error)) {
    return Fail(error);
  }
  std::vector<vrpph::packaging::WixFile> files;
  for (const auto& manifest : host.manifests) {
    files.push_back(manifest.file);
    const std::string path = folder + manifest.file.name;
    if (!WriteWhole(path, [&](std::ostream& out) { return static_cast<bool>(out << manifest.contents); })) {
      return Fail("cannot write " + path);
    }
  }
  const std::string include = folder + "host64.wxi";
  if (!WriteWhole(include, [&](std::ostream& out) {
        return vrpph::packaging::WriteComponentInclude(out, "the native messaging host's own registration", files,
                                                       host.rows, 64, &error);
      })) {
    return Fail(error.empty() ? "cannot write " + include : error);
  }
  const std::string table = folder + "host-rows.tsv";
  if (!WriteWhole(table, [&](std::ostream& out) { return vrpph::packaging::WriteRowTable(out, host.rows, &error); })) {
    return Fail(error.empty() ? "cannot write " + table : error);
  }
  std::printf("registry_rows: the host's registration: %zu manifests, %zu rows under HKLM\n", host.manifests.size(),
              host.rows.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<PackagedModule> modules;
  std::optional<HostArguments> host;
  if (argc < 2 || !ParseArguments(argc, argv, &modules, &host)) {
    return Fail(
        "usage: registry_rows OUT_FOLDER [--host PROGRAM_NAME DIRECTORY_ID] "
        "--module 64|32 FILE_ID DIRECTORY_ID MODULE_PATH ...");
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
  return host ? WriteHost(folder, *host) : 0;
}
