#include "automation/script_safety.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace vrpph {
namespace {

TEST(ScriptSafetyTest, MaskedBitsReplaceTheEnabledOnesAndUntrustedCallersStick) {
  ScriptSafety safety;
  EXPECT_EQ(safety.Enabled(), 0u);
  EXPECT_FALSE(safety.Restricted());
  EXPECT_TRUE(safety.Set(ScriptSafety::UntrustedData, 0xFF));
  EXPECT_EQ(safety.Enabled(), ScriptSafety::UntrustedData) << "only the masked bit";
  EXPECT_FALSE(safety.Restricted()) << "untrusted data alone restricts nothing";
  EXPECT_FALSE(safety.Set(0x4 | ScriptSafety::UntrustedCaller, ScriptSafety::UntrustedCaller));
  EXPECT_FALSE(safety.Restricted()) << "a refused set changes nothing";

  EXPECT_TRUE(safety.Set(ScriptSafety::Supported, ScriptSafety::UntrustedCaller));
  EXPECT_EQ(safety.Enabled(), ScriptSafety::UntrustedCaller);
  EXPECT_TRUE(safety.Restricted());
  EXPECT_TRUE(safety.Set(ScriptSafety::Supported, 0));
  EXPECT_EQ(safety.Enabled(), 0u);
  EXPECT_TRUE(safety.Restricted()) << "for the rest of the object's life";
}

TEST(ScriptSafetyTest, SetsFromManyThreadsLoseNoBit) {
  ScriptSafety safety;
  std::vector<std::thread> threads;
  for (std::uint32_t bit : {ScriptSafety::UntrustedCaller, ScriptSafety::UntrustedData}) {
    threads.emplace_back([&safety, bit] {
      for (int i = 0; i < 20000; ++i) safety.Set(bit, i % 2 ? bit : 0);
      safety.Set(bit, bit);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(safety.Enabled(), ScriptSafety::Supported);
  EXPECT_TRUE(safety.Restricted());
}

}  // namespace
}  // namespace vrpph
