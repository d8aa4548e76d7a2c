#include "registration/register_script.h"

#include <new>
#include <optional>
#include <string>

#include "registration/expand_script.h"
#include "registration/script_runner.h"

namespace vrpph {

HResult RegisterScriptText(platform::Registry& registry, const platform::Text& text, std::string_view scriptText,
                           const ScriptVariables& variables, bool doRegister) {
  // The Windows layer calls this from DllRegisterServer: no exception may
  // leave, and memory is the only thing that can throw here.
  try {
    std::string expanded;
    if (HResult hr = ExpandScript(text, scriptText, variables, &expanded); hresult::Failed(hr)) return hr;
    return RunScript(registry, text, expanded, doRegister);
  } catch (const std::bad_alloc&) {
    return hresult::OutOfMemory;
  }
}

HResult RegisterClassScript(platform::Registry& registry, const platform::Text& text, std::string_view scriptText,
                            std::string_view moduleShortPath, bool doRegister) {
  try {
    std::optional<ScriptVariables> variables = ClassScriptVariables(text, moduleShortPath);
    if (!variables) return hresult::Fail;
    return RegisterScriptText(registry, text, scriptText, *variables, doRegister);
  } catch (const std::bad_alloc&) {
    return hresult::OutOfMemory;
  }
}

}  // namespace vrpph
