#include "prompt/win32/module_prompt_dialog.h"

#include "prompt/win32/kernel_procs.h"

namespace vrpph {

ModulePromptDialog::ModulePromptDialog(HMODULE module, platform::Platform& platform)
    : host_(module, platform, LoadKernelProc), dialog_(platform, host_) {}

}  // namespace vrpph
