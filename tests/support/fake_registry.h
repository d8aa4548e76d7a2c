// An in-memory registry with the Reg* status codes: key paths and value
// names compare without regard to case, subkeys enumerate in sorted order,
// handles to a deleted key answer KeyDeleted, and a handle only does what
// its access mask allows (no value written through a key opened to read).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace vrpph::testing {

class FakeRegistry : public platform::Registry {
 public:
  FakeRegistry();
  ~FakeRegistry() override;

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

  // Test aids.
  std::size_t OpenHandleCount() const { return handles_.size(); }
  // The class a key was created with, or "" when none or no such key.
  std::string KeyClass(platform::HKey root, const std::string& path) const;
  // Makes every OpenKey/CreateKey of this path (below any root, any case)
  // fail with `status`; Success clears it.
  void FailOpen(const std::string& path, long status);
  // Counts every call made through the Registry interface.
  std::size_t CallCount() const { return calls_; }
  // Counts the OpenKey calls alone.
  std::size_t OpenCount() const { return opens_; }
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
  std::map<std::string, long, CaseLess> failures_;
  // Nodes unlinked from the tree stay alive while handles may point at them.
  std::vector<std::unique_ptr<Node>> graveyard_;
  platform::HKey nextHandle_ = 0x1000;
  mutable std::size_t calls_ = 0;
  std::size_t opens_ = 0;
};

}  // namespace vrpph::testing
