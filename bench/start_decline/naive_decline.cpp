#include "naive_decline.h"

#include "interception/key_rules.h"
#include "interception/window_probes.h"
#include "settings/contact_points.h"
#include "settings/settings_store.h"
#include "url/request_url.h"
#include "url/type_list.h"
#include "url/url_names.h"

namespace vrpph::bench {

namespace {

std::optional<std::string> Setting(platform::Platform& platform, const char* name) {
  return ReadSettingString(platform.registry, platform::root::CurrentUser, keys::Main, name);
}

bool NaiveComboHeld(platform::Platform& platform, const char* name) {
  platform::KeyStateTable table{};
  platform.keyboard.GetKeyState(table);
  auto stored = ReadBinarySetting(platform.registry, name);
  if (!stored || stored->empty()) return ComboHeld(table, DefaultKeyCombo(name));
  return ComboHeld(table, *stored);
}

std::string Upper(std::string text, const platform::Text& platformText) {
  platformText.UpperCase(text);
  return text;
}

}  // namespace

NavigationAnswer NaiveScreening(const char16_t* url, platform::Platform& platform) {
  constexpr auto kDecline = NavigationAnswer::Decline;
  if (NaiveComboHeld(platform, values::KeysToIgnore)) return kDecline;
  const bool forced = NaiveComboHeld(platform, values::KeysToAdd);
  if (!forced && IsFlag(Setting(platform, values::UseCtrlAlt), values::True)) return kDecline;
  auto decoded = DecodeRequestUrl(platform.text, url, Producer::Interception,
                                  UrlDecodingOn(ReadSettingString(platform.registry, platform::root::CurrentUser,
                                                                  keys::Main, values::DecodeUrls)));
  if (!decoded) return kDecline;
  const auto accepting = Setting(platform, values::AcceptingTypes);
  if (!forced) {
    auto extension = UrlExtension(*decoded);
    if (!extension) return kDecline;
    std::optional<std::string> fileName;
    if (IsRedirectPage(*decoded, platform.text)) fileName = EmbeddedFileName(*decoded, accepting, platform.text);
    if (!fileName) {
      if (decoded->find('?') != std::string::npos) return kDecline;
      if (!accepting || !ListContains(*accepting, Upper(*extension, platform.text))) return kDecline;
      auto excluded = Setting(platform, values::ExcludeFileNames);
      if (excluded && ListContains(Upper(*excluded, platform.text), Upper(UrlFileName(*decoded), platform.text))) {
        return kDecline;
      }
    }
  }
  ManagerClaimsUrl(platform.desktop, *decoded);
  return NavigationAnswer::Take;
}

}  // namespace vrpph::bench
