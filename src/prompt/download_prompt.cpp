#include "prompt/download_prompt.h"

#include "core/outcomes.h"
#include "settings/contact_points.h"
#include "settings/settings_key.h"

namespace vrpph {
namespace {

constexpr std::uint32_t kNoRememberedAction = 0xFFFFFFFFu;

}  // namespace

PromptOutcome ShowDownloadPrompt(platform::Registry& registry, PromptDialog& dialog, std::atomic<OpenMode>& openMode,
                                 platform::WindowHandle owner, const std::string& url,
                                 const std::optional<std::string>& suggestedName,
                                 const std::optional<std::string>& extension) {
  if (!dialog.ModuleImageLoaded()) return PromptOutcome{prompt_result::ModuleMissing, openMode.load()};

  if (extension) {
    const std::uint32_t action =
        SettingsKey::User(registry, keys::DefAction).Dword(extension->c_str()).value_or(kNoRememberedAction);
    if (action == StoredAction(OpenMode::Open) || action == StoredAction(OpenMode::Save)) {
      const auto remembered = static_cast<OpenMode>(action);
      openMode.store(remembered);
      return PromptOutcome{prompt_result::Proceed, remembered};
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
