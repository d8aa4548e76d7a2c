// RegistrarTest: one fake registry per test (with the real one's access checks), code page 1252, and no
// key left open at the end.
#pragma once

#include <gtest/gtest.h>

#include "registration/register_script.h"
#include "support/fake_registry.h"
#include "support/fake_text.h"
#include "support/registry_tools.h"

namespace vrpph::testing {

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
  FakeRegistry registry;
  FakeText text;
};

}  // namespace vrpph::testing
