#include "prompt/download_prompt.h"

#include "interception/url_names.h"
#include "prompt/prompt_result.h"
#include "settings/contact_points.h"
#include "settings/settings_store.h"

namespace vrpph {
namespace {

constexpr std::uint32_t kNoRememberedAction = 0xFFFFFFFFu;

}  // namespace

PromptOutcome UnavailablePromptDialog::Run(platform::WindowHandle, const std::string&,
                                           const std::optional<std::string>&, const std::optional<std::string>&) {
  return PromptOutcome{prompt_result::DialogFailed, open_mode::Open};
}

PromptOutcome ShowDownloadPrompt(platform::Registry& registry, PromptDialog& dialog, std::atomic<int>& openMode,
                                 platform::WindowHandle owner, const std::string& url,
                                 const std::optional<std::string>& suggestedName) {
  if (!dialog.ModuleImageLoaded()) return PromptOutcome{prompt_result::ModuleMissing, openMode.load()};

  std::optional<std::string> extension = UrlExtension(url);
  if (extension) {
    std::uint32_t action = ReadSettingDword(registry, keys::DefAction, extension->c_str(), kNoRememberedAction);
    if (action == open_mode::Open || action == open_mode::Save) {
      openMode.store(static_cast<int>(action));
      return PromptOutcome{prompt_result::Proceed, static_cast<int>(action)};
    }
  }
  PromptOutcome outcome = dialog.Run(owner, url, suggestedName, extension);
  if (outcome.result == prompt_result::Proceed) {
    openMode.store(outcome.openMode);
  } else {
    outcome.openMode = openMode.load();
  }
  return outcome;
}

}  // namespace vrpph
