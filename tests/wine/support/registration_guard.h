// What registering vrpph.dll changes beyond its own keys, put back after a
// test: the platform's protocol handler keys for http, https and ftp (which
// registration rewrites), the name-space handler scheme keys it creates and
// unregistration leaves, and the module's own registration.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vrpph::wine_tests {

constexpr const char* kHandlerSchemes[] = {"http", "https", "ftp"};

// Every value of a key, one line each in enumeration order: its name ("@"
// for the default), type and data (a terminated text in quotes, anything
// else in hex); "<missing>" when the key does not exist.
std::string KeyValues(HKEY root, const std::string& path);

// Every key below `path`, one relative path a line, in enumeration order.
std::string KeyTree(HKEY root, const std::string& path);

// Every key below `path` in registry view `view` (KEY_WOW64_64KEY or
// KEY_WOW64_32KEY) with every value, as KeyValues writes them, one line
// each; Wow6432Node subkeys, and the subkey `skip` of `path` itself, are
// left out. "<missing>" when there is none.
std::string ViewDump(HKEY root, const std::string& path, REGSAM view, const std::string& skip = "");

class RegistrationGuard {
 public:
  // Snapshots the handler keys now; `unregister` runs first at the end.
  explicit RegistrationGuard(std::function<void()> unregister);
  RegistrationGuard(const RegistrationGuard&) = delete;
  RegistrationGuard& operator=(const RegistrationGuard&) = delete;
  ~RegistrationGuard();

 private:
  struct SavedValue {
    std::string name;
    DWORD type;
    std::vector<BYTE> bytes;
  };
  struct SavedKey {
    std::string path;
    bool existed;
    std::vector<SavedValue> values;
  };
  std::function<void()> unregister_;
  std::vector<SavedKey> saved_;
  // Name-space handler keys that did not exist before.
  std::vector<std::string> created_;
};

// `regsvr32 /s` (with "/u" to unregister) on `dllPath`; its exit code, or
// -1 when it did not run to its end. `program` names another regsvr32 (the
// 32-bit one of a 64-bit Windows).
long RunRegsvr32(const std::string& dllPath, bool unregister, const std::string& program = "regsvr32.exe");

}  // namespace vrpph::wine_tests
