// A second, deliberately plain reading of the interception rules up to the
// prompt, step by step as the rules are stated: what a navigation must come
// to, computed from the stored values, the key table and the URL. Bad-input
// tests and the fuzz targets hold DecideNavigation against it. It shares no
// code with the module beyond the platform's own services (the ANSI
// conversions and upper-casing), so a rule broken in one
// place shows as a disagreement.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "interception/navigation_decision.h"
#include "platform/keyboard.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace vrpph::testing {

struct ExpectedScreening {
  enum class Outcome {
    Decline,  // before the prompt
    Claimed,  // a running download manager claims the URL: taken, no prompt
    Prompt,   // the prompt is asked with `url` and `fileName`
  };
  Outcome outcome = Outcome::Decline;
  // The URL as every rule sees it (after conversion and decoding); empty
  // when the call ends before it is made.
  std::string url;
  bool forced = false;
  std::optional<std::string> fileName;
};

struct OracleWorld {
  platform::Registry& registry;
  const platform::Text& text;
  platform::KeyStateTable keys{};
  // Whether a running download manager claims this URL.
  std::function<bool(const std::string&)> claims = [](const std::string&) { return false; };
};

ExpectedScreening ExpectScreening(const OracleWorld& world, const char16_t* url, RequestVerb verb);

// The pieces, for tests that check one rule alone.
namespace oracle {
std::optional<std::string> Extension(const std::string& url);
std::string FileName(const std::string& url);
bool ListHas(const std::string& list, const std::string& candidate);
std::optional<std::string> Embedded(const std::string& url, const std::optional<std::string>& accepting,
                                    const platform::Text& text);
bool Held(platform::KeyStateTable table, const std::string& codes);
}  // namespace oracle

}  // namespace vrpph::testing
