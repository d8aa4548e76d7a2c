#include "interception/navigation_decision.h"

#include <optional>

#include "sequence/key_rules.h"
#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "url/readable_name.h"
#include "url/request_url.h"
#include "url/type_list.h"
#include "url/url_names.h"

namespace vrpph {

namespace {

// The name the URL's escaped letters spell, for a URL the road decodes.
std::optional<std::string> ReadableName(const platform::Text& text, const std::string& url, bool decode) {
  if (!DecodesUrl(url, kHandlerRoad.decoding, decode)) return std::nullopt;
  return ReadableFileName(text, url);
}

// The type tests of a navigation that is not forced: false when it is not
// for the download manager. An excluded name matches the URL's name as it
// stands or as it reads; the readable name is worked out only for that test.
bool PassesTypeTests(const ScreenedRequest& s, const std::optional<std::string>& accepting,
                     const SettingsKey& settings, const platform::Text& text, bool decode,
                     std::optional<std::string>& readableName) {
  if (s.url.find('?') != std::string::npos) return false;
  // Stored entries are compared as they are: only upper-case ones match.
  if (!accepting || !ListContains(*accepting, platform::UpperCased(*s.extension, text))) return false;
  readableName = ReadableName(text, s.url, decode);
  const auto excluded = settings.Text(values::ExcludeFileNames);
  if (readableName && IsExcludedName(*readableName, excluded, text)) return false;
  return !IsExcludedName(UrlFileName(s.url), excluded, text);
}

// The handler's own rules: the keys, the URL, the type tests. None leaves
// the navigation to the browser. The main key is open only for these reads,
// not while the prompt waits for the user.
std::optional<ScreenedRequest> Screen(const NavigationRequest& request, platform::Platform& platform) {
  const SettingsKey settings = SettingsKey::Main(platform.registry);
  if (KeyComboHeld(platform.keyboard, settings, values::KeysToIgnore)) return std::nullopt;
  ScreenedRequest s;
  s.forced = KeyComboHeld(platform.keyboard, settings, values::KeysToAdd);
  if (!s.forced && IsFlag(settings.Text(values::UseCtrlAlt), values::True)) return std::nullopt;
  const bool decode = UrlDecodingOn(settings.Text(values::DecodeUrls));
  auto url = DecodeRequestUrl(platform.text, request.url, kHandlerRoad.decoding, decode);
  // Nothing the ANSI tests could look at: leave it to the browser.
  if (!url) return std::nullopt;
  s.url = std::move(*url);
  s.extension = UrlExtension(s.url);
  // Checked before anything else is read: most fetches end here.
  if (!s.forced && !s.extension) return std::nullopt;
  const auto accepting = settings.Text(values::AcceptingTypes);
  // A redirect page's name already ends in an accepted extension, and is
  // never matched against the excluded names.
  if (!s.forced && IsRedirectPage(s.url, platform.text)) s.nameInUrl = EmbeddedFileName(s.url, accepting, platform.text);
  std::optional<std::string> readable;
  if (!s.forced && !s.nameInUrl && !PassesTypeTests(s, accepting, settings, platform.text, decode, readable)) {
    return std::nullopt;
  }
  if (!s.nameInUrl) s.nameInUrl = SuggestedFileName(s.url, accepting, platform.text);
  if (s.forced && !s.nameInUrl) readable = ReadableName(platform.text, s.url, decode);
  // A name found in the URL is sent as Trevalon's file name; else the one
  // its escaped letters spell, which Trevalon could not read from the URL.
  s.fileName = s.nameInUrl ? s.nameInUrl : readable;
  s.owner = request.owner;
  s.post = request.verb == RequestVerb::Post;
  if (s.post) s.body = request.body;
  return s;
}

}  // namespace

NavigationAnswer DecideNavigation(const NavigationRequest& request, platform::Platform& platform,
                                  SequenceServices& services) {
  std::optional<ScreenedRequest> screened = Screen(request, platform);
  if (!screened) return NavigationAnswer::Decline;
  const SequenceOutcome outcome = RunDownloadSequence(std::move(*screened), kHandlerRoad, platform, services);
  // After a cancel neither Trevalon nor the browser fetches it.
  const bool taken = outcome == SequenceOutcome::Claimed || outcome == SequenceOutcome::NotSent;
  return taken || outcome == SequenceOutcome::Sent ? NavigationAnswer::Take : NavigationAnswer::Decline;
}

}  // namespace vrpph
