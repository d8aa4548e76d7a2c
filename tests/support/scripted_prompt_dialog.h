// A prompt dialog that records what reaches it and answers as told: by
// default a dialog that cannot be created (-1), as when the module cannot
// show one, so only a remembered action lets a download proceed.
#pragma once

#include <optional>
#include <string>

#include "prompt/download_prompt.h"

namespace vrpph::testing {

class ScriptedPromptDialog : public PromptDialog {
 public:
  bool ModuleImageLoaded() override { return moduleLoaded; }
  PromptOutcome Run(platform::WindowHandle owner, const std::string& url,
                    const std::optional<std::string>& suggestedName,
                    const std::optional<std::string>& extension) override {
    ++runs;
    seenOwner = owner;
    seenUrl = url;
    seenName = suggestedName;
    seenExtension = extension;
    return PromptOutcome{result, chosenMode};
  }

  bool moduleLoaded = true;
  int result = prompt_result::DialogFailed;
  OpenMode chosenMode = OpenMode::Open;
  int runs = 0;
  platform::WindowHandle seenOwner = 0;
  std::string seenUrl;
  std::optional<std::string> seenName;
  std::optional<std::string> seenExtension;
};

}  // namespace vrpph::testing
