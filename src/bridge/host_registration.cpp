#include "bridge/host_registration.h"

#include <nlohmann/json.hpp>

namespace vrpph::bridge {
namespace {

using Manifest = nlohmann::ordered_json;
using platform::root::CurrentUser;

constexpr const char* kDescription = "vrpph: hands the browser's downloads to Trevalon";

Manifest CommonFields(const std::string& programPath) {
  return Manifest{{"name", kHostName}, {"description", kDescription}, {"path", programPath}, {"type", "stdio"}};
}

std::string Dump(const Manifest& manifest) {
  return manifest.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

bool SetDefaultValue(platform::Registry& registry, const char* path, const std::string& text) {
  platform::HKey key{};
  if (registry.CreateKey(CurrentUser, path, nullptr, platform::access::Write, &key, nullptr) !=
      platform::status::Success) {
    return false;
  }
  const platform::RegKey owned(registry, key);
  // REG_SZ with its terminator, as the browsers read it.
  return registry.SetValue(key, nullptr, platform::value_type::Sz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                           static_cast<std::uint32_t>(text.size() + 1)) == platform::status::Success;
}

// Only the host's own key goes: the folders above it may hold other hosts
// or a browser's settings.
bool DeleteHostKey(platform::Registry& registry, const char* path) {
  const long deleted = registry.DeleteKey(CurrentUser, path);
  return deleted == platform::status::Success || deleted == platform::status::FileNotFound;
}

}  // namespace

std::vector<std::string> DefaultChromiumOrigins() {
  std::vector<std::string> origins{kChromiumOrigin};
  if (*kChromiumStoreId != '\0') origins.push_back(std::string("chrome-extension://") + kChromiumStoreId + "/");
  return origins;
}

std::string ChromiumManifest(const std::string& programPath, const AllowedCallers& callers) {
  Manifest manifest = CommonFields(programPath);
  manifest["allowed_origins"] = callers.chromiumOrigins;
  return Dump(manifest);
}

std::string FirefoxManifest(const std::string& programPath, const AllowedCallers& callers) {
  Manifest manifest = CommonFields(programPath);
  manifest["allowed_extensions"] = Manifest::array({callers.firefoxAddonId});
  return Dump(manifest);
}

bool RegisterHost(platform::Registry& registry, ManifestFiles& files, const std::string& programPath,
                  const AllowedCallers& callers) {
  if (!files.Write(kChromiumManifestName, ChromiumManifest(programPath, callers))) return false;
  if (!files.Write(kFirefoxManifestName, FirefoxManifest(programPath, callers))) return false;
  for (const HostKey& key : kHostKeys) {
    if (!SetDefaultValue(registry, key.path, files.AnsiPath(key.manifest))) return false;
  }
  return true;
}

bool UnregisterHost(platform::Registry& registry, ManifestFiles& files) {
  bool clean = true;
  for (const HostKey& key : kHostKeys) clean = DeleteHostKey(registry, key.path) && clean;
  clean = files.Remove(kChromiumManifestName) && clean;
  clean = files.Remove(kFirefoxManifestName) && clean;
  return clean;
}

}  // namespace vrpph::bridge
