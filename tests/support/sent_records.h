// The transfer records a fake desktop's manager window received, for the
// tests of the roads that send them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/contact_points.h"
#include "support/fake_desktop.h"

namespace vrpph::testing {

// Every record, claim queries left out, each checked to carry `owner`.
inline std::vector<std::string> SentRecords(const FakeDesktop& desktop, platform::WindowHandle owner) {
  std::vector<std::string> records;
  for (const auto& sent : desktop.copyData()) {
    if (sent.dwData == manager::ClaimQueryTag) continue;
    EXPECT_EQ(sent.dwData, owner);
    records.push_back(sent.bytes);
  }
  return records;
}

}  // namespace vrpph::testing
