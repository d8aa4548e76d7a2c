// The download prompt's dialog as behaviour: every message its procedure
// handles, over a view of the real window. One object per dialog holds all
// of that dialog's state, so prompts on different threads share nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/outcomes.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "prompt/dialog_font.h"
#include "prompt/dialog_strings.h"
#include "prompt/dialog_view.h"
#include "settings/settings_key.h"

namespace vrpph {

// The file name (at most 39 bytes) and host (at most 49) shown in the file
// line.
struct PromptDialogTexts {
  std::string fileText;
  std::string hostText;
};

// What one dialog leaves behind once it has ended.
struct DialogOutcome {
  int result = prompt_result::DialogFailed;
  // Confirmed with the always-ask box unchecked.
  bool rememberChoice = false;
  // The mode chosen by OK; open when the dialog ended otherwise.
  OpenMode openMode = OpenMode::Open;
};

class DownloadPromptDialog {
 public:
  DownloadPromptDialog(DialogView& view, platform::Platform& platform, PromptDialogTexts texts);
  DownloadPromptDialog(const DownloadPromptDialog&) = delete;
  DownloadPromptDialog& operator=(const DownloadPromptDialog&) = delete;

  // The dialog procedure's answer to one message: nonzero when handled
  // (WM_INITDIALOG: 0, the focus is set).
  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  // The outcome for the platform's dialog result `result`.
  [[nodiscard]] DialogOutcome Outcome(int result) const;
  [[nodiscard]] bool OptionsPending() const { return optionsPending_; }

  // Places the trackbar at `mode` (kept within 0 to 3) and shows that
  // position's label.
  void SetSpeedMode(int mode);

 private:
  std::intptr_t Initialise();
  void CentreOnScreen();
  void Confirm();
  void Cancel();
  void OpenOptions();
  void ShowAbout();
  // True while Trevalon's options window is up (and asked to the front).
  bool OptionsWindowOpen();
  void ReleaseResources();

  DialogView& view_;
  platform::Platform& platform_;
  PromptDialogTexts texts_;

  bool optionsPending_ = false;
  bool rememberChoice_ = false;
  OpenMode openMode_ = OpenMode::Open;
  SettingsKey strings_;
  ScopedFont font_;
  DialogText text_{};
  // The speed label last set, so repeated trackbar notifications repaint
  // nothing that is already shown.
  std::optional<std::string> shownSpeedLabel_;
};

// "SpeedMode" as the C library's atoi reads it: leading blanks and a sign,
// then digits; no digits gives 0; values beyond an int saturate.
int ParseSpeedMode(const std::string& text);

}  // namespace vrpph
