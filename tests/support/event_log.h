// One ordered record of what the fakes were asked to do, so tests can assert
// the order of platform calls across seams.
#pragma once

#include <string>
#include <vector>

namespace vrpph::testing {

struct EventLog {
  std::vector<std::string> events;
  void Add(std::string event) { events.push_back(std::move(event)); }
  std::size_t Count(const std::string& prefix) const {
    std::size_t n = 0;
    for (const auto& e : events) n += e.rfind(prefix, 0) == 0;
    return n;
  }
};

}  // namespace vrpph::testing
