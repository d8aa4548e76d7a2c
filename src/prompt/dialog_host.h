// Where the prompt's dialog runs: the module's dialog template on Windows,
// a scripted stand-in in tests.
#pragma once

#include "platform/desktop.h"
#include "prompt/prompt_dialog.h"

namespace vrpph {

class DialogHost {
 public:
  virtual ~DialogHost() = default;
  // The module's loaded image found under the file name "VRPPH.DLL".
  virtual bool ModuleImageLoaded() = 0;
  // Runs one modal dialog owned by `owner` around a fresh
  // DownloadPromptDialog, and returns what that dialog left; the result is
  // the platform's (-1 when the dialog cannot be created).
  virtual DialogOutcome RunModal(platform::WindowHandle owner, const PromptDialogTexts& texts) = 0;
};

}  // namespace vrpph
