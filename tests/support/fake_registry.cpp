#include "support/fake_registry.h"

namespace vrpph::testing {

using platform::HKey;
namespace status = platform::status;

namespace {

std::string Upper(std::string path) {
  for (char& c : path) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return path;
}

}  // namespace

long FakeRegistry::Failure(HKey parent, const char* path, std::uint32_t access) const {
  const auto named = NamedPath(parent, path, access);
  if (!named) return status::Success;
  const auto failure = failures_.find(Upper(*named));
  return failure == failures_.end() ? status::Success : failure->second;
}

long FakeRegistry::OpenKey(HKey parent, const char* path, std::uint32_t access, HKey* result) {
  ++calls_;
  ++opens_;
  if (long rc = Failure(parent, path, access); rc != status::Success) return rc;
  return RecordingRegistry::OpenKey(parent, path, access, result);
}

long FakeRegistry::CreateKey(HKey parent, const char* path, const char* keyClass, std::uint32_t access, HKey* result,
                             bool* created) {
  ++calls_;
  if (long rc = Failure(parent, path, access); rc != status::Success) return rc;
  return RecordingRegistry::CreateKey(parent, path, keyClass, access, result, created);
}

long FakeRegistry::CloseKey(HKey key) {
  ++calls_;
  return RecordingRegistry::CloseKey(key);
}

long FakeRegistry::QueryValue(HKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* size) {
  ++calls_;
  return RecordingRegistry::QueryValue(key, name, type, data, size);
}

long FakeRegistry::SetValue(HKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                            std::uint32_t size) {
  ++calls_;
  return RecordingRegistry::SetValue(key, name, type, data, size);
}

long FakeRegistry::DeleteValue(HKey key, const char* name) {
  ++calls_;
  return RecordingRegistry::DeleteValue(key, name);
}

long FakeRegistry::DeleteKey(HKey parent, const char* path) {
  ++calls_;
  return RecordingRegistry::DeleteKey(parent, path);
}

long FakeRegistry::EnumKey(HKey key, std::uint32_t index, std::string* name, std::uint32_t capacity) {
  ++calls_;
  return RecordingRegistry::EnumKey(key, index, name, capacity);
}

long FakeRegistry::QuerySubkeyCount(HKey key, std::uint32_t* count) {
  ++calls_;
  return RecordingRegistry::QuerySubkeyCount(key, count);
}

void FakeRegistry::FailOpen(const std::string& path, long rc) {
  if (rc == status::Success) {
    failures_.erase(Upper(path));
  } else {
    failures_[Upper(path)] = rc;
  }
}

}  // namespace vrpph::testing
