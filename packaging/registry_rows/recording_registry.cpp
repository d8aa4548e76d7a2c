#include "registry_rows/recording_registry.h"

#include <algorithm>
#include <cstring>

namespace vrpph::packaging {

using platform::HKey;
namespace status = platform::status;

namespace {

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

unsigned char Fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

std::string Name(const char* name) { return name ? std::string(name) : std::string(); }

// The access rights each kind of call needs from its handle.
constexpr std::uint32_t kQueryValue = 0x0001;
constexpr std::uint32_t kSetValue = 0x0002;
constexpr std::uint32_t kEnumerateSubKeys = 0x0008;

}  // namespace

bool RecordingRegistry::CaseLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(),
      [](char x, char y) { return Fold(static_cast<unsigned char>(x)) < Fold(static_cast<unsigned char>(y)); });
}

RecordingRegistry::RecordingRegistry() {
  for (HKey root : {platform::root::ClassesRoot, platform::root::CurrentUser, platform::root::LocalMachine,
                    platform::root::Users, platform::root::PerformanceData, platform::root::CurrentConfig,
                    platform::root::DynData}) {
    roots_[root] = std::make_unique<Node>();
  }
}

RecordingRegistry::~RecordingRegistry() = default;

long RecordingRegistry::Resolve(HKey key, Node** node, std::uint32_t needed) const {
  if (auto root = roots_.find(key); root != roots_.end()) {
    *node = root->second.get();
    return status::Success;
  }
  auto handle = handles_.find(key);
  if (handle == handles_.end()) return status::InvalidHandle;
  if ((handle->second.access & needed) != needed) return status::AccessDenied;
  if (handle->second.node->deleted) return status::KeyDeleted;
  *node = handle->second.node;
  return status::Success;
}

RecordingRegistry::Node* RecordingRegistry::Find(Node* from, const std::string& path) const {
  Node* node = from;
  for (const std::string& part : SplitPath(path)) {
    auto child = node->children.find(part);
    if (child == node->children.end()) return nullptr;
    node = child->second.get();
  }
  return node;
}

std::string RecordingRegistry::FullPath(const Node* node) const {
  std::string path;
  for (; node && node->parent; node = node->parent) path = node->name + (path.empty() ? "" : "\\") + path;
  return path;
}

HKey RecordingRegistry::NewHandle(Node* node, std::uint32_t access) {
  HKey handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = Handle{node, access};
  return handle;
}

void RecordingRegistry::MarkDeleted(Node* node) {
  node->deleted = true;
  for (auto& [name, child] : node->children) MarkDeleted(child.get());
}

void RecordingRegistry::SplitView(HKey root, const std::string& prefix, const std::string& mirror) {
  splits_.push_back({root, prefix, mirror});
}

std::string RecordingRegistry::ViewPath(HKey parent, const std::string& path, std::uint32_t access) const {
  if (!(access & platform::access::View32)) return path;
  for (const Split& split : splits_) {
    if (split.root != parent || path.size() < split.prefix.size()) continue;
    const std::string head = path.substr(0, split.prefix.size());
    const bool boundary = path.size() == split.prefix.size() || path[split.prefix.size()] == '\\';
    if (boundary && !CaseLess()(head, split.prefix) && !CaseLess()(split.prefix, head)) {
      return split.mirror + path.substr(split.prefix.size());
    }
  }
  return path;
}

long RecordingRegistry::OpenKey(HKey parent, const char* path, std::uint32_t access, HKey* result) {
  Node* node = nullptr;
  if (long rc = Resolve(parent, &node); rc != status::Success) return rc;
  std::string rel = ViewPath(parent, Name(path), access);
  Node* target = Find(node, rel);
  if (!target) return status::FileNotFound;
  *result = NewHandle(target, access);
  return status::Success;
}

long RecordingRegistry::CreateKey(HKey parent, const char* path, const char* keyClass, std::uint32_t access,
                             HKey* result, bool* created) {
  Node* node = nullptr;
  if (long rc = Resolve(parent, &node); rc != status::Success) return rc;
  std::string rel = ViewPath(parent, Name(path), access);
  bool made = false;
  for (const std::string& part : SplitPath(rel)) {
    auto& child = node->children[part];
    if (!child) {
      child = std::make_unique<Node>();
      child->name = part;
      child->parent = node;
      child->keyClass = Name(keyClass);
      made = true;
    }
    node = child.get();
  }
  if (created) *created = made;
  *result = NewHandle(node, access);
  return status::Success;
}

long RecordingRegistry::CloseKey(HKey key) {
  if (roots_.count(key)) return status::Success;
  return handles_.erase(key) ? status::Success : status::InvalidHandle;
}

long RecordingRegistry::QueryValue(HKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* size) {
  Node* node = nullptr;
  if (long rc = Resolve(key, &node, kQueryValue); rc != status::Success) return rc;
  if (data && !size) return status::InvalidParameter;
  auto value = node->values.find(Name(name));
  if (value == node->values.end()) return status::FileNotFound;
  const auto& bytes = value->second.bytes;
  if (type) *type = value->second.type;
  if (!size) return status::Success;
  std::uint32_t needed = static_cast<std::uint32_t>(bytes.size());
  if (data && *size < needed) {
    *size = needed;
    return status::MoreData;
  }
  if (data) std::copy(bytes.begin(), bytes.end(), data);
  *size = needed;
  return status::Success;
}

long RecordingRegistry::SetValue(HKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                            std::uint32_t size) {
  Node* node = nullptr;
  if (long rc = Resolve(key, &node, kSetValue); rc != status::Success) return rc;
  if (!data && size) return status::InvalidParameter;
  Value& value = node->values[Name(name)];
  value.type = type;
  value.bytes.assign(data, data + size);
  // Texts stored without their terminator gain one, as Wine's RegSetValueExA does.
  bool text = type == platform::value_type::Sz || type == 2 /* REG_EXPAND_SZ */ || type == 7 /* REG_MULTI_SZ */;
  if (text && size > 0 && data[size - 1] != 0) value.bytes.push_back(0);
  return status::Success;
}

long RecordingRegistry::DeleteValue(HKey key, const char* name) {
  Node* node = nullptr;
  if (long rc = Resolve(key, &node, kSetValue); rc != status::Success) return rc;
  return node->values.erase(Name(name)) ? status::Success : status::FileNotFound;
}

long RecordingRegistry::DeleteKey(HKey parent, const char* path) {
  Node* node = nullptr;
  if (long rc = Resolve(parent, &node); rc != status::Success) return rc;
  if (Name(path).empty()) return status::InvalidParameter;
  Node* target = Find(node, Name(path));
  if (!target) return status::FileNotFound;
  if (!target->children.empty()) return status::AccessDenied;
  Node* owner = target->parent;
  auto it = owner->children.find(target->name);
  MarkDeleted(target);
  graveyard_.push_back(std::move(it->second));
  owner->children.erase(it);
  return status::Success;
}

long RecordingRegistry::EnumKey(HKey key, std::uint32_t index, std::string* name, std::uint32_t capacity) {
  Node* node = nullptr;
  if (long rc = Resolve(key, &node, kEnumerateSubKeys); rc != status::Success) return rc;
  if (index >= node->children.size()) return status::NoMoreItems;
  auto it = std::next(node->children.begin(), index);
  if (it->second->name.size() >= capacity) return status::MoreData;
  *name = it->second->name;
  return status::Success;
}

long RecordingRegistry::QuerySubkeyCount(HKey key, std::uint32_t* count) {
  Node* node = nullptr;
  if (long rc = Resolve(key, &node, kQueryValue); rc != status::Success) return rc;
  *count = static_cast<std::uint32_t>(node->children.size());
  return status::Success;
}

std::string RecordingRegistry::KeyClass(HKey root, const std::string& path) const {
  auto r = roots_.find(root);
  if (r == roots_.end()) return {};
  Node* node = Find(r->second.get(), path);
  return node ? node->keyClass : std::string();
}

std::vector<RecordingRegistry::KeyContents> RecordingRegistry::Contents(HKey root) const {
  std::vector<KeyContents> keys;
  auto r = roots_.find(root);
  if (r == roots_.end()) return keys;
  auto visit = [&keys](const Node& node, const std::string& path, auto& self) -> void {
    for (const auto& [name, child] : node.children) {
      const std::string childPath = path.empty() ? child->name : path + "\\" + child->name;
      KeyContents key{childPath, {}};
      for (const auto& [valueName, value] : child->values) {
        key.values.push_back({valueName, value.type, value.bytes});
      }
      keys.push_back(std::move(key));
      self(*child, childPath, self);
    }
  };
  visit(*r->second, "", visit);
  return keys;
}

std::optional<std::string> RecordingRegistry::NamedPath(HKey parent, const char* path, std::uint32_t access) const {
  Node* node = nullptr;
  if (Resolve(parent, &node) != status::Success) return std::nullopt;
  const std::string full = FullPath(node);
  const std::string rel = ViewPath(parent, Name(path), access);
  return full.empty() ? rel : full + "\\" + rel;
}

}  // namespace vrpph::packaging
