// Entry points for hosts that want the download manager's About window or the
// download prompt without going through COM.
#include <windows.h>

#include <optional>
#include <string>

#include "comframe/module_state.h"
#include "core/outcomes.h"
#include "handoff/program_commands.h"
#include "platform/no_throw.h"
#include "platform/win32/win32_platform.h"
#include "prompt/download_prompt.h"
#include "prompt/win32/module_prompt.h"
#include "url/url_names.h"

extern "C" BOOL WINAPI DllShowAboutDialog() {
  // Nothing is started when the program is not found, nor when memory runs
  // out on the way; the answer is TRUE either way.
  return vrpph::NoThrow(TRUE, [] {
    vrpph::platform::Win32Platform world;
    vrpph::ShowProgramAbout(world.platform, 0);
    return TRUE;
  });
}

extern "C" BOOL WINAPI DllShowOpenDialog(HWND owner, LPCSTR url, LPCSTR fileName) {
  // A host that passes no URL gets no prompt rather than a crash.
  if (url == nullptr) return FALSE;
  // A failure on the way answers as Cancel.
  return vrpph::NoThrow(FALSE, [&] {
    vrpph::comframe::ModuleState& module = vrpph::comframe::Module();
    vrpph::platform::Win32Platform world;
    vrpph::ModulePrompt prompt(module.Instance(), world.platform);
    const std::optional<std::string> suggestedName =
        fileName ? std::optional<std::string>(fileName) : std::nullopt;
    const vrpph::PromptOutcome outcome =
        vrpph::ShowDownloadPrompt(world.registry, prompt.dialog, module.PromptOpenMode(),
                                  reinterpret_cast<vrpph::platform::WindowHandle>(owner), url, suggestedName,
                                  vrpph::UrlExtension(url));
    return outcome.result == vrpph::prompt_result::Proceed ? TRUE : FALSE;
  });
}
