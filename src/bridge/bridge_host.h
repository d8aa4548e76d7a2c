// The host's answers over the platform: hello from the settings, and each
// download through the rules, the module's prompt and the delivery.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "bridge/bridge_session.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "prompt/download_prompt.h"
#include "sequence/services.h"

namespace vrpph::bridge {

// The key combinations and UseCtrlAlt as they stand now.
HelloInfo ReadHelloInfo(platform::Registry& registry, std::string version);

// The window that owns a request's prompt and tags its record: the browser
// window the browser named, else the window in front when the request came.
platform::WindowHandle RequestOwner(const std::optional<platform::WindowHandle>& parentWindow,
                                    const platform::Desktop& desktop);

class BridgeHost : public BridgeHandler {
 public:
  BridgeHost(platform::Platform& platform, PromptDialog& dialog, std::optional<platform::WindowHandle> parentWindow,
             std::string version)
      : platform_(platform),
        parentWindow_(parentWindow),
        version_(std::move(version)),
        services_(platform, openMode_, dialog, &inputEnded_) {}

  HelloInfo Hello() override;
  HostStatus Status() override;
  DownloadAnswer Download(const BridgeRequest& request, CommitGate& gate) override;
  BatchAnswer Batch(const BridgeRequest& request, CommitGate& gate, const BatchProgress& progress) override;
  void EndInput() override { inputEnded_.store(true); }

 private:
  platform::Platform& platform_;
  std::optional<platform::WindowHandle> parentWindow_;
  std::string version_;
  std::atomic<bool> inputEnded_{false};
  // The module-wide PromptOpenMode of this process.
  std::atomic<OpenMode> openMode_{OpenMode::Open};
  ModuleServices services_;
};

}  // namespace vrpph::bridge
