// The download prompt up to the point where a dialog is needed: a missing
// module image, and a remembered action for the URL's extension.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "core/outcomes.h"
#include "platform/desktop.h"
#include "platform/registry.h"

namespace vrpph {

// What the prompt needs from the Windows side: the module's own image and
// the modal dialog itself.
class PromptDialog {
 public:
  virtual ~PromptDialog() = default;
  // The module's loaded image found under the file name "VRPPH.DLL".
  virtual bool ModuleImageLoaded() = 0;
  // Shows the dialog and stores a remembered choice; the dialog's result
  // and, after Proceed, the mode this dialog chose. Each call keeps its own
  // state, so prompts on several threads never share a choice.
  virtual PromptOutcome Run(platform::WindowHandle owner, const std::string& url,
                            const std::optional<std::string>& suggestedName,
                            const std::optional<std::string>& extension) = 0;
};

// The prompt's result (prompt_result) with the mode this prompt chose after
// Proceed, else the mode `openMode` held. After Proceed the mode is also
// stored into `openMode`, the module-wide PromptOpenMode; otherwise it is
// left alone. A DefAction number of 0 or 1 for `extension` (the URL's, or
// the name a browser gave a download) applies without a dialog.
PromptOutcome ShowDownloadPrompt(platform::Registry& registry, PromptDialog& dialog, std::atomic<OpenMode>& openMode,
                                 platform::WindowHandle owner, const std::string& url,
                                 const std::optional<std::string>& suggestedName,
                                 const std::optional<std::string>& extension);

}  // namespace vrpph
