#include "win32_bridge_host.h"

#include <objbase.h>

#include "core/outcomes.h"

namespace vrpph::bridge {
namespace {

// Keeps the calling thread in `threads` while it shows the prompt.
class ThreadEntry {
 public:
  ThreadEntry(std::mutex& mutex, std::set<DWORD>& threads) : mutex_(mutex), threads_(threads) {
    // A thread has no queue until it asks for one; a WM_QUIT posted to it
    // before would be lost.
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    std::lock_guard lock(mutex_);
    threads_.insert(GetCurrentThreadId());
  }
  ThreadEntry(const ThreadEntry&) = delete;
  ThreadEntry& operator=(const ThreadEntry&) = delete;
  ~ThreadEntry() {
    std::lock_guard lock(mutex_);
    threads_.erase(GetCurrentThreadId());
    // A quit that came after the dialog ended must not reach a later one.
    MSG message;
    PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }

 private:
  std::mutex& mutex_;
  std::set<DWORD>& threads_;
};

// Starting Trevalon goes through ShellExecute, which may hand the start to
// shell extensions: they need COM on the calling thread.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }

 private:
  HRESULT result_;
};

}  // namespace

DownloadAnswer Win32BridgeHost::Download(const BridgeRequest& request, CommitGate& gate) {
  const ComApartment apartment;
  return BridgeHost::Download(request, gate);
}

PromptOutcome QuittablePromptDialog::Run(platform::WindowHandle owner, const std::string& url,
                                         const std::optional<std::string>& suggestedName,
                                         const std::optional<std::string>& extension) {
  const ThreadEntry entry(mutex_, threads_);
  // Known before looking: a QuitAll from now on reaches this thread.
  if (quit_.load()) return PromptOutcome{prompt_result::Cancelled, OpenMode::Open};
  return inner_.Run(owner, url, suggestedName, extension);
}

void QuittablePromptDialog::QuitAll() {
  quit_.store(true);
  std::lock_guard lock(mutex_);
  for (DWORD thread : threads_) PostThreadMessageW(thread, WM_QUIT, 0, 0);
}

}  // namespace vrpph::bridge
