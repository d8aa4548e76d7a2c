// The registry a registration runs against when the package learns its rows:
// in memory, with the Reg* status codes. Key paths and value names compare
// without regard to case, subkeys enumerate in sorted order, handles to a
// deleted key answer KeyDeleted, and a handle only does what its access mask
// allows (no value written through a key opened to read). The tests' fake
// registry is this one with failures and counters of its own, so the
// platform-parity suites hold its behaviour to the real registry's.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace vrpph::packaging {

class RecordingRegistry : public platform::Registry {
 public:
  RecordingRegistry();
  ~RecordingRegistry() override;

  long OpenKey(platform::HKey parent, const char* path, std::uint32_t access,
               platform::HKey* result) override;
  long CreateKey(platform::HKey parent, const char* path, const char* keyClass, std::uint32_t access,
                 platform::HKey* result, bool* created) override;
  long CloseKey(platform::HKey key) override;
  long QueryValue(platform::HKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override;
  long SetValue(platform::HKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override;
  long DeleteValue(platform::HKey key, const char* name) override;
  long DeleteKey(platform::HKey parent, const char* path) override;
  long EnumKey(platform::HKey key, std::uint32_t index, std::string* name,
               std::uint32_t capacity) override;
  long QuerySubkeyCount(platform::HKey key, std::uint32_t* count) override;

  std::size_t OpenHandleCount() const { return handles_.size(); }
  // The class a key was created with, or "" when none or no such key.
  std::string KeyClass(platform::HKey root, const std::string& path) const;
  // The key `path` below `parent` names, as a path below its root after the
  // view `access` asks for; none when `parent` is no open key.
  std::optional<std::string> NamedPath(platform::HKey parent, const char* path, std::uint32_t access) const;
  // Models a 64-bit process's views: a key below `root` whose path starts
  // with `prefix`, opened from the root with access::View32, is `mirror`
  // followed by the rest of the path (SOFTWARE -> SOFTWARE\Wow6432Node).
  // Without a split every key is shared, as on 32-bit Windows.
  void SplitView(platform::HKey root, const std::string& prefix, const std::string& mirror);

  struct ValueContents {
    std::string name;  // "" for the default value
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;
  };
  struct KeyContents {
    std::string path;  // below the root, as created
    std::vector<ValueContents> values;
  };
  // Every key below `root`, each before its subkeys, with its values, both in
  // sorted order: what a run of the registrar left behind.
  std::vector<KeyContents> Contents(platform::HKey root) const;

 private:
  struct Node;
  struct CaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  struct Value {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;
  };
  struct Node {
    std::string name;
    std::string keyClass;
    bool deleted = false;
    Node* parent = nullptr;
    std::map<std::string, std::unique_ptr<Node>, CaseLess> children;
    std::map<std::string, Value, CaseLess> values;
  };

  struct Handle {
    Node* node;
    std::uint32_t access;
  };
  long Resolve(platform::HKey key, Node** node, std::uint32_t needed = 0) const;
  Node* Find(Node* from, const std::string& path) const;
  std::string FullPath(const Node* node) const;
  platform::HKey NewHandle(Node* node, std::uint32_t access);
  static void MarkDeleted(Node* node);

  std::map<platform::HKey, std::unique_ptr<Node>> roots_;
  std::map<platform::HKey, Handle> handles_;
  std::string ViewPath(platform::HKey parent, const std::string& path, std::uint32_t access) const;

  struct Split {
    platform::HKey root;
    std::string prefix;
    std::string mirror;
  };
  std::vector<Split> splits_;
  // Nodes unlinked from the tree stay alive while handles may point at them.
  std::vector<std::unique_ptr<Node>> graveyard_;
  platform::HKey nextHandle_ = 0x1000;
};

}  // namespace vrpph::packaging
