#include "sequence/auto_learn.h"

#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "url/type_list.h"
#include "url/url_names.h"

namespace vrpph {

namespace {

constexpr std::uint32_t kOfferStyle = platform::message_box::YesNo | platform::message_box::IconQuestion;

std::string LocalText(const SettingsKey& strings, const StringId& id) {
  std::string text = strings.Text(id.id).value_or(id.builtIn);
  if (text.size() > kOfferTextBuffer - 1) text.resize(kOfferTextBuffer - 1);
  return text;
}

bool AutoLearnOn(platform::Registry& registry) {
  return IsFlag(SettingsKey::Main(registry).Text(values::AutoLearn), values::True);
}

bool UserSaysYes(platform::Platform& platform, platform::WindowHandle owner, const std::string& message) {
  return platform.desktop.ShowMessageBox(owner, message, manager::MessageCaption, kOfferStyle) ==
         platform::message_box::IdYes;
}

}  // namespace

void OfferTurnOff(platform::Platform& platform, platform::WindowHandle owner, const std::string& url,
                  const std::optional<std::string>& fileName) {
  platform::Registry& registry = platform.registry;
  if (!AutoLearnOn(registry)) return;
  auto extension = fileName ? FileNameExtension(*fileName) : UrlExtension(url);
  if (!extension) return;
  const std::string upper = platform::UpperCased(*extension, platform.text);
  const SettingsKey texts = SettingsKey::User(registry, keys::Strings);
  const std::string message = LocalText(texts, strings::TurnOffQuestion) + upper +
                              LocalText(texts, strings::ExtensionTail) + LocalText(texts, strings::TurnOnLaterHint);
  if (!UserSaysYes(platform, owner, message)) return;
  // The list may have changed while the question was open.
  const SettingsKey main = SettingsKey::Main(registry, SettingsKey::Access::ReadWrite);
  auto list = main.Text(values::AcceptingTypes);
  if (!list || !ListContains(*list, upper)) return;
  main.WriteText(values::AcceptingTypes, ListRemove(*list, upper).list);
}

void OfferTurnOn(platform::Platform& platform, platform::WindowHandle owner, const std::string& url) {
  platform::Registry& registry = platform.registry;
  if (!AutoLearnOn(registry)) return;
  auto extension = UrlExtension(url);
  // 'http://h/file.' has an empty extension: appending it would put an empty
  // entry into the list, which hides every entry after it from the readers.
  if (!extension || extension->empty()) return;
  const std::string upper = platform::UpperCased(*extension, platform.text);
  auto list = SettingsKey::Main(registry).Text(values::AcceptingTypes);
  if (!list || ListContains(*list, upper)) return;
  const SettingsKey texts = SettingsKey::User(registry, keys::Strings);
  const std::string message =
      LocalText(texts, strings::TurnOnQuestion) + upper + LocalText(texts, strings::ExtensionTail);
  if (!UserSaysYes(platform, owner, message)) return;
  SettingsKey::Main(registry, SettingsKey::Access::ReadWrite).WriteText(values::AcceptingTypes, ListAppend(*list, upper));
}

}  // namespace vrpph
