// The four buttons of the prompt and the watch for Trevalon's options
// window that the Advanced button opens.
#include <string>

#include "handoff/program_commands.h"
#include "prompt/dialog_ids.h"
#include "prompt/prompt_dialog.h"
#include "settings/contact_points.h"

namespace vrpph {

namespace ctl = prompt_control;

void DownloadPromptDialog::Confirm() {
  const SettingsKey main = SettingsKey::Main(platform_.registry, SettingsKey::Access::ReadWrite);
  main.WriteText(values::SpeedMode, std::to_string(view_.TrackbarPosition()));
  if (view_.CheckState(ctl::RunChoice) == kButtonChecked) {
    main.WriteText(values::OpenMode, values::Open);
    openMode_ = OpenMode::Open;
  } else {
    main.WriteText(values::OpenMode, values::Save);
    openMode_ = OpenMode::Save;
  }
  rememberChoice_ = view_.CheckState(ctl::AlwaysAsk) != kButtonChecked;
  ReleaseResources();
  view_.EndDialog(prompt_result::Proceed);
}

void DownloadPromptDialog::Cancel() {
  ReleaseResources();
  view_.EndDialog(prompt_result::Cancelled);
}

void DownloadPromptDialog::OpenOptions() {
  // The start's own outcome is not known; the next activation finds out
  // whether a window came up.
  if (ShowProgramOptions(platform_)) optionsPending_ = true;
}

void DownloadPromptDialog::ShowAbout() { ShowProgramAbout(platform_, view_.Window()); }

bool DownloadPromptDialog::OptionsWindowOpen() {
  const std::string title =
      SettingsKey::User(platform_.registry, keys::Strings).Text(strings::OptionsTitle.id).value_or(
          strings::OptionsTitle.builtIn);
  const platform::WindowHandle window = platform_.desktop.FindTopLevelWindow(manager::WindowClass, title.c_str());
  if (window == 0) {
    optionsPending_ = false;
    return false;
  }
  // Posted, so the foreground changes after this activation is handled.
  view_.PostRaiseOptions(window);
  return true;
}

void DownloadPromptDialog::ReleaseResources() {
  strings_ = SettingsKey();
  font_.Reset();
}

}  // namespace vrpph
