#include "naive_decline.h"

#include "sequence/key_rules.h"
#include "sequence/window_probes.h"
#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "url/request_url.h"
#include "url/type_list.h"
#include "url/url_names.h"

namespace vrpph::bench {

namespace {

// Each value the simple way: its own open, query and close of the main key.
std::optional<std::string> ReadSetting(platform::Platform& platform, const char* name) {
  return SettingsKey::Main(platform.registry).Text(name);
}

bool NaiveComboHeld(platform::Platform& platform, const char* name) {
  platform::KeyStateTable table{};
  platform.keyboard.GetKeyState(table);
  auto stored = SettingsKey::Main(platform.registry).Bytes(name);
  if (!stored || stored->empty()) return ComboHeld(table, DefaultKeyCombo(name));
  return ComboHeld(table, *stored);
}

}  // namespace

NavigationAnswer NaiveScreening(const char16_t* url, platform::Platform& platform) {
  constexpr auto kDecline = NavigationAnswer::Decline;
  if (NaiveComboHeld(platform, values::KeysToIgnore)) return kDecline;
  const bool forced = NaiveComboHeld(platform, values::KeysToAdd);
  if (!forced && IsFlag(ReadSetting(platform, values::UseCtrlAlt), values::True)) return kDecline;
  auto decoded = DecodeRequestUrl(platform.text, url, UrlDecoding::WithoutQueryOnly,
                                  UrlDecodingOn(SettingsKey::Main(platform.registry).Text(values::DecodeUrls)));
  if (!decoded) return kDecline;
  const auto accepting = ReadSetting(platform, values::AcceptingTypes);
  if (!forced) {
    auto extension = UrlExtension(*decoded);
    if (!extension) return kDecline;
    std::optional<std::string> fileName;
    if (IsRedirectPage(*decoded, platform.text)) fileName = EmbeddedFileName(*decoded, accepting, platform.text);
    if (!fileName) {
      if (decoded->find('?') != std::string::npos) return kDecline;
      if (!accepting || !ListContains(*accepting, platform::UpperCased(*extension, platform.text))) return kDecline;
      auto excluded = ReadSetting(platform, values::ExcludeFileNames);
      if (excluded && ListContains(platform::UpperCased(*excluded, platform.text), platform::UpperCased(UrlFileName(*decoded), platform.text))) {
        return kDecline;
      }
    }
  }
  ManagerClaimsUrl(platform.desktop, *decoded);
  return NavigationAnswer::Take;
}

}  // namespace vrpph::bench
