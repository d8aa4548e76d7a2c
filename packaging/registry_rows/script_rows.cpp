#include "registry_rows/script_rows.h"

#include <windows.h>

#include <cstdio>

#include "platform/win32/handles.h"
#include "registration/win32/module_script.h"
#include "registry_rows/recorded_state.h"

namespace vrpph::packaging {
namespace {

BOOL CALLBACK CollectScriptId(HMODULE, LPCSTR, LPSTR name, LONG_PTR context) {
  // Scripts are numbered resources; a named one is no class script.
  if (IS_INTRESOURCE(name)) {
    reinterpret_cast<std::vector<int>*>(context)->push_back(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
  }
  return TRUE;
}

std::vector<int> ScriptIds(const std::string& modulePath) {
  std::vector<int> ids;
  platform::UniqueModule file(LoadLibraryExA(modulePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (file) EnumResourceNamesA(file.get(), "REGISTRY", CollectScriptId, reinterpret_cast<LONG_PTR>(&ids));
  return ids;
}

std::string Hex(long code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
  return text;
}

}  // namespace

bool ReadScriptRows(const std::string& modulePath, const std::string& registeredPath, std::vector<ScriptRow>* rows,
                    std::string* error) {
  const std::vector<int> ids = ScriptIds(modulePath);
  if (ids.empty()) {
    *error = modulePath + ": no REGISTRY resources";
    return false;
  }
  RecordingRegistry registry;
  for (const bool doRegister : {true, false}) {
    if (!doRegister) {
      for (const auto& [key, row] : RecordedState(registry)) rows->push_back(ScriptRow{row, false});
    }
    for (const int id : ids) {
      const HRESULT hr = RunFileScript(modulePath, id, registeredPath, registry, doRegister);
      if (FAILED(hr)) {
        *error = modulePath + ": script " + std::to_string(id) + (doRegister ? " register" : " unregister") +
                 " pass failed with " + Hex(hr);
        return false;
      }
    }
  }
  const RegistryState kept = RecordedState(registry);
  for (ScriptRow& script : *rows) {
    const auto found = kept.find(EntryKey(script.row));
    script.keptByUnregistration = found != kept.end() && SameRow(found->second, script.row);
  }
  return true;
}

}  // namespace vrpph::packaging
