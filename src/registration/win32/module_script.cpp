#include "registration/win32/module_script.h"

#include <optional>

#include "platform/win32/handles.h"
#include "platform/win32/module_file.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_text.h"
#include "registration/fill_in_registry.h"
#include "registration/register_script.h"
#include "registration/win32/last_error.h"

namespace vrpph {
namespace {

// Runs script `scriptId` of the module's file through `registry`.
HRESULT RunModuleScript(HMODULE module, int scriptId, platform::Registry& registry, bool doRegister) {
  const std::optional<std::string> path = platform::ModuleFileNameA(module);
  if (!path) return LastErrorResult();
  // The short form keeps blanks out of the registered server path.
  const std::string shortPath = platform::ShortPathOf(*path);
  return RunFileScript(shortPath, scriptId, shortPath, registry, doRegister);
}

}  // namespace

HRESULT RunFileScript(const std::string& path, int scriptId, std::string_view modulePath,
                      platform::Registry& registry, bool doRegister) {
  platform::UniqueModule file(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!file) return LastErrorResult();
  HRSRC found = FindResourceA(file.get(), MAKEINTRESOURCEA(scriptId), "REGISTRY");
  if (!found) return LastErrorResult();
  HGLOBAL loaded = LoadResource(file.get(), found);
  if (!loaded) return LastErrorResult();
  const DWORD size = SizeofResource(file.get(), found);
  const char* bytes = static_cast<const char*>(LockResource(loaded));
  if (!bytes) return LastErrorResult();

  platform::Win32Text text;
  return static_cast<HRESULT>(
      RegisterClassScript(registry, text, std::string_view(bytes, size), modulePath, doRegister));
}

HRESULT RegisterFromScript(HMODULE module, int scriptId, bool doRegister) {
  platform::Win32Registry registry;
  return RunModuleScript(module, scriptId, registry, doRegister);
}

HRESULT FillInFromScript(HMODULE module, int scriptId, std::uint32_t view) {
  platform::Win32Registry registry;
  FillInRegistry fillIn(registry, view);
  return RunModuleScript(module, scriptId, fillIn, true);
}

}  // namespace vrpph
