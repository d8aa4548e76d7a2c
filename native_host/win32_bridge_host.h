// The host's handler on Windows. When the input ends, an open prompt is
// closed by posting WM_QUIT to its thread, which ends any modal loop; only
// the prompt is closed so: a paused-download question still waits for its
// answer, since closing it would count as No and drop the paused entry.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <set>

#include "bridge/bridge_host.h"
#include "prompt/download_prompt.h"

namespace vrpph::bridge {

// The prompt's dialog, with every thread that runs it known.
class QuittablePromptDialog : public PromptDialog {
 public:
  explicit QuittablePromptDialog(PromptDialog& inner) : inner_(inner) {}

  bool ModuleImageLoaded() override { return inner_.ModuleImageLoaded(); }
  // Once QuitAll was called, ends as a cancel without a dialog.
  PromptOutcome Run(platform::WindowHandle owner, const std::string& url,
                    const std::optional<std::string>& suggestedName,
                    const std::optional<std::string>& extension) override;
  // Ends every dialog open now, and every one about to open.
  void QuitAll();

 private:
  PromptDialog& inner_;
  std::atomic<bool> quit_{false};
  std::mutex mutex_;
  std::set<DWORD> threads_;
};

class Win32BridgeHost : public BridgeHost {
 public:
  Win32BridgeHost(platform::Platform& platform, QuittablePromptDialog& dialog,
                  std::optional<platform::WindowHandle> parentWindow, std::string version)
      : BridgeHost(platform, dialog, parentWindow, std::move(version)), dialog_(dialog) {}

  // In a single-threaded COM apartment, as a browser's thread is.
  DownloadAnswer Download(const BridgeRequest& request, CommitGate& gate) override;
  void EndInput() override {
    BridgeHost::EndInput();
    dialog_.QuitAll();
  }

 private:
  QuittablePromptDialog& dialog_;
};

}  // namespace vrpph::bridge
