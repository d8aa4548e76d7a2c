// Runs the prompt's dialog behaviour on a FakeDialogView: initialises it,
// then lets the test act as the user until something ends the dialog.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "prompt/dialog_host.h"
#include "prompt/dialog_ids.h"
#include "support/fake_dialog_view.h"

namespace vrpph::testing {

class FakeDialogHost : public DialogHost {
 public:
  using User = std::function<void(DownloadPromptDialog& dialog, FakeDialogView& view)>;

  explicit FakeDialogHost(platform::Platform& platform) : platform_(platform) {}

  bool ModuleImageLoaded() override { return moduleLoaded; }
  DialogOutcome RunModal(platform::WindowHandle owner, const PromptDialogTexts& texts) override {
    owners.push_back(owner);
    shownTexts.push_back(texts);
    if (cannotCreate) return DialogOutcome{};
    view = std::make_unique<FakeDialogView>();
    DownloadPromptDialog dialog(*view, platform_, texts);
    dialog.HandleMessage(prompt_message::InitDialog, 0, 0);
    if (user) user(dialog, *view);
    // A dialog nobody ended would run for ever; here it reads as not shown.
    return dialog.Outcome(view->endResult.value_or(prompt_result::DialogFailed));
  }

  bool moduleLoaded = true;
  bool cannotCreate = false;
  User user;
  std::vector<platform::WindowHandle> owners;
  std::vector<PromptDialogTexts> shownTexts;
  // The last dialog's window, kept for inspection.
  std::unique_ptr<FakeDialogView> view;

 private:
  platform::Platform& platform_;
};

// The user's gestures as the dialog procedure receives them.
inline std::intptr_t Press(DownloadPromptDialog& dialog, int button) {
  return dialog.HandleMessage(prompt_message::Command, static_cast<std::uintptr_t>(button), 0);
}

}  // namespace vrpph::testing
