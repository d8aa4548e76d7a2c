#include "handoff/paused_download.h"

#include "handoff/transfer_record.h"
#include "settings/contact_points.h"
#include "settings/settings_key.h"

namespace vrpph {
namespace {

constexpr const char* kPartialFileSuffix = ".TQ";

std::string ResumeQuestion(platform::Registry& registry) {
  auto text = SettingsKey::User(registry, keys::Strings).Text(strings::ResumeQuestion.id);
  return text ? *text : std::string(strings::ResumeQuestion.builtIn);
}

void ForgetPausedEntry(platform::Registry& registry, const std::string& url, const std::string& pathValue) {
  platform::RegKey key =
      platform::OpenRegKey(registry, platform::root::CurrentUser, keys::PausedUrls, platform::access::Write);
  if (!key) return;
  (void)registry.DeleteValue(key.get(), url.c_str());
  (void)registry.DeleteValue(key.get(), pathValue.c_str());
}

}  // namespace

std::optional<std::string> CheckPausedDownload(platform::Platform& platform, platform::WindowHandle owner,
                                               const std::string& url) {
  const std::string pathValue = url + values::PausedFilenameSuffix;
  // No value can have such a name, and a registry given one may fail in its
  // own ways: nothing was paused under it.
  if (pathValue.size() > kMaxRegistryValueName) return std::nullopt;

  auto target =
      SettingsKey::User(platform.registry, keys::PausedUrls).Text(pathValue.c_str());
  // A target the record could not carry is not offered, nor forgotten.
  if (!target || !FitsInRecordField(*target)) return std::nullopt;

  const bool partialFileExists = platform.files.Exists(*target + kPartialFileSuffix);
  const std::string question = ResumeQuestion(platform.registry);
  if (partialFileExists) {
    int answer = platform.desktop.ShowMessageBox(owner, question, manager::MessageCaption,
                                             platform::message_box::YesNo | platform::message_box::IconQuestion);
    if (answer == platform::message_box::IdYes) return target;
  }
  ForgetPausedEntry(platform.registry, url, pathValue);
  return std::nullopt;
}

}  // namespace vrpph
