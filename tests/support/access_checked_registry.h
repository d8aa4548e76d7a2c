// The fake registry with the real one's access checks: no value is set or deleted through a key opened
// without KEY_SET_VALUE (AccessDenied). RegistrarTest: one such registry per test, code page 1252, no key left open.
#pragma once

#include <gtest/gtest.h>

#include <set>

#include "registration/register_script.h"
#include "support/fake_registry.h"
#include "support/fake_text.h"
#include "support/registry_tools.h"

namespace vrpph::testing {

class AccessCheckedRegistry : public FakeRegistry {
 public:
  using HKey = platform::HKey;
  long OpenKey(HKey parent, const char* path, std::uint32_t access, HKey* out) override {
    return Track(FakeRegistry::OpenKey(parent, path, access, out), out, access);
  }
  long CreateKey(HKey parent, const char* path, const char* cls, std::uint32_t access, HKey* out,
                 bool* created) override {
    return Track(FakeRegistry::CreateKey(parent, path, cls, access, out, created), out, access);
  }
  long CloseKey(HKey key) override {
    readOnly_.erase(key);
    return FakeRegistry::CloseKey(key);
  }
  long SetValue(HKey key, const char* name, std::uint32_t type, const std::uint8_t* data, std::uint32_t size) override {
    return readOnly_.count(key) ? platform::status::AccessDenied : FakeRegistry::SetValue(key, name, type, data, size);
  }
  long DeleteValue(HKey key, const char* name) override {
    return readOnly_.count(key) ? platform::status::AccessDenied : FakeRegistry::DeleteValue(key, name);
  }

 private:
  long Track(long rc, const HKey* key, std::uint32_t access) {
    if (rc == platform::status::Success && !(access & 0x0002 /* KEY_SET_VALUE */)) readOnly_.insert(*key);
    return rc;
  }
  std::set<HKey> readOnly_;
};

class RegistrarTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(registry.OpenHandleCount(), 0u); }
  HResult Run(std::string_view script, bool doRegister) {
    return RegisterScriptText(registry, text, script, ScriptVariables(), doRegister);
  }
  bool Exists(const std::string& path) { return KeyExists(registry, platform::root::CurrentUser, path); }
  std::optional<StoredValue> Value(const std::string& path, const char* name) {
    return GetValue(registry, platform::root::CurrentUser, path, name);
  }
  static StoredValue Sz(std::string_view s) {
    StoredValue v{platform::value_type::Sz, {s.begin(), s.end()}};
    v.bytes.push_back(0);
    return v;
  }
  AccessCheckedRegistry registry;
  FakeText text;
};

}  // namespace vrpph::testing
