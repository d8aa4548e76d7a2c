// The prompt's dialog as the module shows it: template 201 from the
// module's own resources, inside its visual-styles context. What Start, the
// automation class and DllShowOpenDialog hand to ShowDownloadPrompt.
#pragma once

#include <windows.h>

#include "platform/platform.h"
#include "prompt/download_prompt.h"
#include "prompt/hosted_prompt_dialog.h"
#include "prompt/win32/win32_dialog_host.h"

namespace vrpph {

class ModulePromptDialog : public PromptDialog {
 public:
  ModulePromptDialog(HMODULE module, platform::Platform& platform);

  bool ModuleImageLoaded() override { return dialog_.ModuleImageLoaded(); }
  PromptOutcome Run(platform::WindowHandle owner, const std::string& url,
                    const std::optional<std::string>& suggestedName,
                    const std::optional<std::string>& extension) override {
    return dialog_.Run(owner, url, suggestedName, extension);
  }

 private:
  Win32DialogHost host_;
  HostedPromptDialog dialog_;
};

}  // namespace vrpph
