#include "registry_rows/host_rows.h"

#include <algorithm>
#include <map>
#include <utility>

#include "bridge/host_registration.h"
#include "registry_rows/recorded_state.h"

namespace vrpph::packaging {
namespace {

constexpr std::uint32_t kText = 1;  // REG_SZ

// The manifests as the registration writes them, beside a program whose
// folder is the package's reference to it.
class RecordedFiles : public bridge::ManifestFiles {
 public:
  explicit RecordedFiles(std::string folder) : folder_(std::move(folder)) {}

  bool Write(const char* name, const std::string& contents) override {
    files_[name] = contents;
    return true;
  }
  bool Remove(const char* name) override {
    files_.erase(name);
    return true;
  }
  std::string AnsiPath(const char* name) const override { return folder_ + name; }

  const std::map<std::string, std::string>& files() const { return files_; }

 private:
  std::string folder_;
  std::map<std::string, std::string> files_;
};

// A File Id from the file's name: what an identifier cannot hold becomes '_'.
std::string IdOf(const std::string& name) {
  std::string id = name;
  for (char& c : id) {
    const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.';
    if (!kept) c = '_';
  }
  if (!id.empty() && id[0] >= '0' && id[0] <= '9') id.insert(0, "_");
  return id;
}

}  // namespace

bool ReadHostRows(const std::string& programName, const std::string& directoryId, HostPackage* host,
                  std::string* error) {
  const std::string folder = "[" + directoryId + "]";
  RecordingRegistry registry;
  RecordedFiles files(folder);
  if (!bridge::RegisterHost(registry, files, programName, bridge::AllowedCallers{})) {
    *error = "the host's registration failed";
    return false;
  }
  if (files.files().empty()) {
    *error = "the host's registration wrote no manifest";
    return false;
  }
  for (const auto& [name, contents] : files.files()) host->manifests.push_back({WixFile{IdOf(name), name}, contents});

  for (const auto& [entry, recorded] : RecordedState(registry)) {
    if (recorded.root != "HKCU") {
      *error = Describe(recorded) + ": the host's registration wrote outside the user's keys";
      return false;
    }
    RegistryRow row = recorded;
    row.root = "HKLM";
    if (!row.keyOnly) {
      const bool text = row.type == kText && !row.data.empty() && row.data.back() == 0;
      const std::string data = text ? std::string(row.data.begin(), row.data.end() - 1) : std::string();
      const bool namesManifest = data.compare(0, folder.size(), folder) == 0 &&
                                 files.files().count(data.substr(std::min(folder.size(), data.size()))) == 1;
      if (!namesManifest) {
        *error = Describe(row) + ": names no manifest the registration wrote beside the program";
        return false;
      }
    }
    host->rows.push_back(PackageRow{64, false, Placement::Component, false, row});
  }
  if (host->rows.empty()) {
    *error = "the host's registration wrote no registry row";
    return false;
  }
  return true;
}

}  // namespace vrpph::packaging
