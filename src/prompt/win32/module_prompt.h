// The prompt as the module shows it: its dialog host over template 201 of
// the module's own resources, inside its visual-styles context, and the
// prompt's steps around it. What Start, the automation class and
// DllShowOpenDialog hand to ShowDownloadPrompt (`dialog`).
#pragma once

#include <windows.h>

#include "platform/platform.h"
#include "prompt/hosted_prompt_dialog.h"
#include "prompt/win32/kernel_procs.h"
#include "prompt/win32/win32_dialog_host.h"

namespace vrpph {

struct ModulePrompt {
  ModulePrompt(HMODULE module, platform::Platform& platform)
      : host(module, platform, LoadKernelProc), dialog(platform, host) {}
  ModulePrompt(const ModulePrompt&) = delete;
  ModulePrompt& operator=(const ModulePrompt&) = delete;

  Win32DialogHost host;
  HostedPromptDialog dialog;
};

}  // namespace vrpph
