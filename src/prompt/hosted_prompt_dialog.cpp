#include "prompt/hosted_prompt_dialog.h"

#include <cstring>

#include "settings/contact_points.h"
#include "settings/settings_key.h"
#include "url/url_names.h"

namespace vrpph {
namespace {

// The first `size` - 1 bytes, ending at an embedded zero byte as a C text would.
std::string CutText(const std::string& text, std::size_t size) {
  return text.substr(0, std::min(size - 1, std::strlen(text.c_str())));
}

}  // namespace

PromptOutcome HostedPromptDialog::Run(platform::WindowHandle owner, const std::string& url,
                                      const std::optional<std::string>& suggestedName,
                                      const std::optional<std::string>& extension) {
  PromptDialogTexts texts;
  texts.fileText = suggestedName ? CutText(*suggestedName, kFileTextSize) : UrlFileName(url, kFileTextSize);
  texts.hostText = UrlHost(url, kHostTextSize);

  const DialogOutcome dialog = host_.RunModal(owner, texts);
  // Only this dialog's own OK can ask to remember: a dialog that never came
  // up or was cancelled leaves nothing to store.
  if (dialog.result == prompt_result::Proceed && dialog.rememberChoice && extension) {
    SettingsKey::Create(platform_.registry, keys::DefAction)
        .WriteDword(extension->c_str(), StoredAction(dialog.openMode));
  }
  return PromptOutcome{dialog.result, dialog.openMode};
}

}  // namespace vrpph
