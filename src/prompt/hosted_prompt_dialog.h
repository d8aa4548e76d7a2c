// The prompt's steps from the file line to the remembered choice, around a
// dialog that a host runs.
#pragma once

#include "platform/platform.h"
#include "prompt/dialog_host.h"
#include "prompt/download_prompt.h"

namespace vrpph {

// At most this many bytes of file name and host reach the file line.
constexpr std::size_t kFileTextSize = 40;
constexpr std::size_t kHostTextSize = 50;

class HostedPromptDialog : public PromptDialog {
 public:
  HostedPromptDialog(platform::Platform& platform, DialogHost& host) : platform_(platform), host_(host) {}

  bool ModuleImageLoaded() override { return host_.ModuleImageLoaded(); }
  // Shows the suggested name (its first 39 bytes) or the URL's file name,
  // and the URL's host; after OK with the always-ask box unchecked, stores
  // the chosen mode under the extension in DefAction.
  PromptOutcome Run(platform::WindowHandle owner, const std::string& url,
                    const std::optional<std::string>& suggestedName,
                    const std::optional<std::string>& extension) override;

 private:
  platform::Platform& platform_;
  DialogHost& host_;
};

}  // namespace vrpph
