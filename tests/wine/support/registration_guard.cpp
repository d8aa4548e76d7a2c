#include "wine/support/registration_guard.h"

#include <cstdio>

#include "platform/win32/handles.h"
#include "wine/support/child_process.h"

namespace vrpph::wine_tests {

// A key's values, as KeyValues writes them.
std::string KeyValuesOf(HKEY key);

namespace {

// `path` below `root` opened with `access`; empty when it cannot be.
platform::UniqueKey OpenKey(HKEY root, const std::string& path, REGSAM access) {
  platform::UniqueKey key;
  if (RegOpenKeyExA(root, path.c_str(), 0, access, key.put()) != ERROR_SUCCESS) key.reset();
  return key;
}

template <typename Visit>
void EachValue(HKEY key, Visit visit) {
  for (DWORD index = 0;; ++index) {
    char name[16384];
    DWORD nameLength = sizeof name;
    BYTE data[4096];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) return;
    visit(std::string(name, nameLength), type, std::vector<BYTE>(data, data + size));
  }
}

void AppendTree(HKEY key, const std::string& prefix, std::string& out) {
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return;
    const std::string path = prefix + std::string(name, length);
    out += path + "\n";
    platform::UniqueKey child = OpenKey(key, name, KEY_READ);
    if (child.get()) AppendTree(child.get(), path + "\\", out);
  }
}

// Every key below `key` with its values, one line a key and one a value;
// the 32-bit view that a 64-bit process sees below Wow6432Node is left out
// (it is dumped as a view of its own).
void AppendDump(HKEY key, const std::string& prefix, std::string& out, const std::string& skip = "") {
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return;
    if (lstrcmpiA(name, "Wow6432Node") == 0 || (!skip.empty() && lstrcmpiA(name, skip.c_str()) == 0)) continue;
    const std::string path = prefix + std::string(name, length);
    platform::UniqueKey child = OpenKey(key, name, KEY_READ);
    out += path + (child.get() ? "\n" : " <cannot open>\n");
    if (!child.get()) continue;
    std::string values = KeyValuesOf(child.get());
    for (std::size_t start = 0; start < values.size();) {
      const std::size_t end = values.find('\n', start);
      out += path + " | " + values.substr(start, end - start) + "\n";
      start = end + 1;
    }
    AppendDump(child.get(), path + "\\", out);
  }
}

void DeleteTree(HKEY root, const std::string& path) {
  {
    platform::UniqueKey key = OpenKey(root, path, KEY_ALL_ACCESS);
    if (!key.get()) return;
    char name[256];
    DWORD length = sizeof name;
    while (RegEnumKeyExA(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
      DeleteTree(root, path + "\\" + name);
      length = sizeof name;
    }
  }
  RegDeleteKeyA(root, path.c_str());
}

}  // namespace

std::string KeyValuesOf(HKEY key) {
  std::string out;
  EachValue(key, [&out](const std::string& name, DWORD type, const std::vector<BYTE>& bytes) {
    out += (name.empty() ? "@" : name) + " type " + std::to_string(type) + ": ";
    if (type == REG_SZ && !bytes.empty() && bytes.back() == 0) {
      out += "'" + std::string(bytes.begin(), bytes.end() - 1) + "'";
    } else {
      for (BYTE b : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", b);
        out += hex;
      }
    }
    out += "\n";
  });
  return out;
}

std::string KeyValues(HKEY root, const std::string& path) {
  platform::UniqueKey key = OpenKey(root, path, KEY_READ);
  if (!key.get()) return "<missing>";
  return KeyValuesOf(key.get());
}

std::string ViewDump(HKEY root, const std::string& path, REGSAM view, const std::string& skip) {
  platform::UniqueKey key = OpenKey(root, path, KEY_READ | view);
  if (!key.get()) return "<missing>";
  std::string out;
  AppendDump(key.get(), "", out, skip);
  return out;
}

std::string KeyTree(HKEY root, const std::string& path) {
  platform::UniqueKey key = OpenKey(root, path, KEY_READ);
  if (!key.get()) return "<missing>";
  std::string out;
  AppendTree(key.get(), "", out);
  return out;
}

RegistrationGuard::RegistrationGuard(std::function<void()> unregister) : unregister_(std::move(unregister)) {
  for (const char* scheme : kHandlerSchemes) {
    SavedKey saved{std::string("PROTOCOLS\\Handler\\") + scheme, false, {}};
    platform::UniqueKey key = OpenKey(HKEY_CLASSES_ROOT, saved.path, KEY_READ);
    saved.existed = key.get() != nullptr;
    if (saved.existed) {
      EachValue(key.get(), [&saved](const std::string& name, DWORD type, const std::vector<BYTE>& bytes) {
        saved.values.push_back({name, type, bytes});
      });
    }
    saved_.push_back(std::move(saved));
    const std::string nameSpace = std::string("PROTOCOLS\\Name-Space Handler\\") + scheme;
    if (!OpenKey(HKEY_CLASSES_ROOT, nameSpace, KEY_READ)) created_.push_back(nameSpace);
  }
}

RegistrationGuard::~RegistrationGuard() {
  if (unregister_) unregister_();
  // Only when empty: whatever another party put there stays.
  for (const std::string& path : created_) RegDeleteKeyA(HKEY_CLASSES_ROOT, path.c_str());
  for (const SavedKey& saved : saved_) {
    DeleteTree(HKEY_CLASSES_ROOT, saved.path);
    if (!saved.existed) continue;
    platform::UniqueKey key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, saved.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS) {
      continue;
    }
    for (const SavedValue& value : saved.values) {
      RegSetValueExA(key.get(), value.name.c_str(), 0, value.type, value.bytes.data(),
                     static_cast<DWORD>(value.bytes.size()));
    }
  }
}

long RunRegsvr32(const std::string& dllPath, bool unregister, const std::string& program) {
  const std::string line = Quoted(program) + " /s " + (unregister ? "/u " : "") + Quoted(dllPath);
  const ChildRun run = RunChild(line, 60000);
  return run.finished ? static_cast<long>(run.exitCode) : -1;
}

}  // namespace vrpph::wine_tests
