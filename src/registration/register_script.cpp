#include "registration/register_script.h"

#include <new>
#include <optional>
#include <string>

#include "registration/expand_script.h"
#include "registration/script_runner.h"

namespace vrpph {

HResult RegisterScriptText(platform::Registry& registry, const platform::Text& text, std::string_view scriptText,
                           const ScriptVariables& variables, bool doRegister) {
  std::string expanded;
  if (HResult hr = ExpandScript(text, scriptText, variables, &expanded); hresult::Failed(hr)) return hr;
  return RunScript(registry, text, expanded, doRegister);
}

HResult RegisterClassScript(platform::Registry& registry, const platform::Text& text, std::string_view scriptText,
                            std::string_view moduleShortPath, bool doRegister) {
  std::optional<ScriptVariables> variables = ClassScriptVariables(text, moduleShortPath);
  if (!variables) return hresult::Fail;
  return RegisterScriptText(registry, text, scriptText, *variables, doRegister);
}

}  // namespace vrpph
