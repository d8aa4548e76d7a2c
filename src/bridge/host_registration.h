// Telling the browsers where the host is: a manifest for the Chromium
// family and one for Firefox beside the program, and the per-user registry
// entries that name them.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace vrpph::bridge {

constexpr const char* kHostName = "vrpph.bridge";
// The extension's ids: the key in its manifest pins the Chromium one when it
// is loaded unpacked, its gecko id the Firefox one.
constexpr const char* kChromiumOrigin = "chrome-extension://bojnomdfpppnenooliehgpnkfejjnfdd/";
constexpr const char* kFirefoxAddonId = "bridge@vrpph";
// A store gives the extension it publishes (without the key) an id of its
// own, which the build names (VRPPH_CHROMIUM_STORE_ID); empty when none.
#ifndef VRPPH_CHROMIUM_STORE_ID
#define VRPPH_CHROMIUM_STORE_ID ""
#endif
constexpr const char* kChromiumStoreId = VRPPH_CHROMIUM_STORE_ID;

constexpr const char* kChromiumManifestName = "vrpph.bridge-chromium.json";
constexpr const char* kFirefoxManifestName = "vrpph.bridge-firefox.json";

struct HostKey {
  const char* path;      // below HKEY_CURRENT_USER
  const char* manifest;  // the manifest its default value names
};

// The per-user keys the browsers read on Windows, each naming its manifest
// (docs/admin-guide.md says which browser reads which). Google Chrome's is
// the one every Chromium-based browser reads, Vivaldi and Opera included;
// Edge and Chromium read their own as well, and Brave's own is written for a
// Brave that reads it, as it reads a folder of its own elsewhere.
constexpr std::array<HostKey, 5> kHostKeys = {{
    {"Software\\Google\\Chrome\\NativeMessagingHosts\\vrpph.bridge", kChromiumManifestName},
    {"Software\\Microsoft\\Edge\\NativeMessagingHosts\\vrpph.bridge", kChromiumManifestName},
    {"Software\\Chromium\\NativeMessagingHosts\\vrpph.bridge", kChromiumManifestName},
    {"Software\\BraveSoftware\\Brave-Browser\\NativeMessagingHosts\\vrpph.bridge", kChromiumManifestName},
    {"Software\\Mozilla\\NativeMessagingHosts\\vrpph.bridge", kFirefoxManifestName},
}};

// The unpacked key's origin, then the store's when the build names one.
std::vector<std::string> DefaultChromiumOrigins();

// Who may start the host: the Chromium origins and the Firefox add-on id.
struct AllowedCallers {
  std::vector<std::string> chromiumOrigins = DefaultChromiumOrigins();
  std::string firefoxAddonId = kFirefoxAddonId;
};

// The manifests' texts; `programPath` in UTF-8.
std::string ChromiumManifest(const std::string& programPath, const AllowedCallers& callers);
std::string FirefoxManifest(const std::string& programPath, const AllowedCallers& callers);

// The files beside the program.
class ManifestFiles {
 public:
  virtual ~ManifestFiles() = default;
  // Replaces the file `name` with `contents`; false when it cannot.
  virtual bool Write(const char* name, const std::string& contents) = 0;
  // Removes the file; true when it is gone (also when it was never there).
  virtual bool Remove(const char* name) = 0;
  // The file's full path in the ANSI code page, for the registry.
  virtual std::string AnsiPath(const char* name) const = 0;
};

// Writes both manifests, then each key's default value; false at the first
// step that fails.
bool RegisterHost(platform::Registry& registry, ManifestFiles& files, const std::string& programPath,
                  const AllowedCallers& callers);

// Removes exactly the host's keys and both manifests; false when one stays.
bool UnregisterHost(platform::Registry& registry, ManifestFiles& files);

}  // namespace vrpph::bridge
