#include "win32_bridge_host.h"

namespace vrpph::bridge {
namespace {

// Keeps the calling thread in `threads` while it decides a request.
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
  }

 private:
  std::mutex& mutex_;
  std::set<DWORD>& threads_;
};

}  // namespace

DownloadAnswer Win32BridgeHost::Download(const BridgeRequest& request) {
  const ThreadEntry entry(mutex_, threads_);
  return BridgeHost::Download(request);
}

void Win32BridgeHost::EndInput() {
  BridgeHost::EndInput();
  std::lock_guard lock(mutex_);
  for (DWORD thread : threads_) PostThreadMessageW(thread, WM_QUIT, 0, 0);
}

}  // namespace vrpph::bridge
