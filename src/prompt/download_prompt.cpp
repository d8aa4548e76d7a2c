#include "prompt/download_prompt.h"

#include "interception/url_names.h"
#include "prompt/prompt_result.h"
#include "settings/contact_points.h"
#include "settings/settings_store.h"

namespace vrpph {
namespace {

constexpr std::uint32_t kNoRememberedAction = 0xFFFFFFFFu;

}  // namespace

int UnavailablePromptDialog::Run(platform::WindowHandle, const std::string&, const std::optional<std::string>&,
                                 const std::optional<std::string>&, std::atomic<int>&) {
  return prompt_result::DialogFailed;
}

int ShowDownloadPrompt(platform::Registry& registry, PromptDialog& dialog, std::atomic<int>& openMode,
                       platform::WindowHandle owner, const std::string& url,
                       const std::optional<std::string>& suggestedName) {
  if (!dialog.ModuleImageLoaded()) return prompt_result::ModuleMissing;

  std::optional<std::string> extension = UrlExtension(url);
  if (extension) {
    std::uint32_t action = ReadSettingDword(registry, keys::DefAction, extension->c_str(), kNoRememberedAction);
    if (action == open_mode::Open || action == open_mode::Save) {
      openMode = static_cast<int>(action);
      return prompt_result::Proceed;
    }
  }
  return dialog.Run(owner, url, suggestedName, extension, openMode);
}

}  // namespace vrpph
