// The prompt's dialog on Windows: template 201 of the module, run modal on
// the caller's thread inside the module's visual-styles context.
#pragma once

#include <windows.h>

#include "platform/platform.h"
#include "prompt/dialog_host.h"
#include "prompt/win32/win32_activation_context.h"

namespace vrpph {

// The dialog procedure of template 201. lParam of WM_INITDIALOG carries the
// dialog's own state, which every later message finds in DWLP_USER.
INT_PTR CALLBACK DownloadPromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

class Win32DialogHost : public DialogHost {
 public:
  // `module` holds the dialog template, bitmap and manifest; `lookup` finds
  // kernel32's activation-context functions.
  Win32DialogHost(HMODULE module, platform::Platform& platform,
                  Win32ActivationContextApi::ProcLookup lookup);

  bool ModuleImageLoaded() override;
  DialogOutcome RunModal(platform::WindowHandle owner, const PromptDialogTexts& texts) override;

 private:
  HMODULE module_;
  platform::Platform& platform_;
  Win32ActivationContextApi activation_;
};

}  // namespace vrpph
