#include "prompt/win32/win32_dialog_host.h"

#include <commctrl.h>

#include "platform/no_throw.h"
#include "prompt/dialog_ids.h"
#include "prompt/prompt_dialog.h"
#include "prompt/visual_styles.h"
#include "prompt/win32/win32_dialog_view.h"

namespace vrpph {
namespace {

// One dialog's window view and behaviour; the view outlives the behaviour,
// which deletes its font through it.
struct PromptSession {
  PromptSession(platform::Platform& platform, const PromptDialogTexts& texts) : dialog(view, platform, texts) {}
  Win32DialogView view;
  DownloadPromptDialog dialog;
};

// A host that never initialised the common controls has no trackbar class,
// and the dialog could not be created without it.
void RegisterTrackbarClass() {
  INITCOMMONCONTROLSEX classes = {};
  classes.dwSize = sizeof classes;
  classes.dwICC = ICC_BAR_CLASSES;
  InitCommonControlsEx(&classes);
}

}  // namespace

INT_PTR CALLBACK DownloadPromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* session = reinterpret_cast<PromptSession*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (message == WM_INITDIALOG) {
    session = reinterpret_cast<PromptSession*>(lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    if (session) session->view.Attach(dialog);
  }
  // Messages before WM_INITDIALOG get the dialog manager's defaults.
  if (!session) return FALSE;
  // Nothing may unwind through the window manager: a failure ends the
  // dialog as Cancel.
  constexpr INT_PTR kFailed = -2;
  const INT_PTR handled = NoThrow(kFailed, [&] {
    return static_cast<INT_PTR>(session->dialog.HandleMessage(message, wParam, lParam));
  });
  if (handled != kFailed) return handled;
  EndDialog(dialog, prompt_result::Cancelled);
  return TRUE;
}

Win32DialogHost::Win32DialogHost(HMODULE module, platform::Platform& platform,
                                 Win32ActivationContextApi::ProcLookup lookup)
    : module_(module), platform_(platform), activation_(module, lookup) {}

// Found through the module's own handle, not its file name, so a renamed
// file still prompts.
bool Win32DialogHost::ModuleImageLoaded() {
  return module_ && FindResourceA(module_, MAKEINTRESOURCEA(prompt_resource::DialogTemplate), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
}

DialogOutcome Win32DialogHost::RunModal(platform::WindowHandle owner, const PromptDialogTexts& texts) {
  // Per prompt and per thread: another thread's prompt has its own context.
  VisualStyles styles(activation_);
  styles.Activate();
  RegisterTrackbarClass();
  PromptSession session(platform_, texts);
  const INT_PTR result =
      DialogBoxParamA(module_, MAKEINTRESOURCEA(prompt_resource::DialogTemplate), reinterpret_cast<HWND>(owner),
                      DownloadPromptProc, reinterpret_cast<LPARAM>(&session));
  styles.Deactivate();
  return session.dialog.Outcome(static_cast<int>(result));
}

}  // namespace vrpph
