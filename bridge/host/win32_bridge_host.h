// The host's handler on Windows: each request's thread gets a message queue
// before it may prompt, so that the end of input can close its prompt or
// question by posting WM_QUIT, which ends any modal loop.
#pragma once

#include <windows.h>

#include <mutex>
#include <set>

#include "bridge/bridge_host.h"

namespace vrpph::bridge {

class Win32BridgeHost : public BridgeHost {
 public:
  using BridgeHost::BridgeHost;

  DownloadAnswer Download(const BridgeRequest& request) override;
  void EndInput() override;

 private:
  std::mutex mutex_;
  std::set<DWORD> threads_;
};

}  // namespace vrpph::bridge
