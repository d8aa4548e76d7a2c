#include "registration/win32/type_library.h"

#include <optional>

#include "platform/win32/handles.h"
#include "platform/win32/module_file.h"
#include "registration/win32/last_error.h"

namespace vrpph {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/' || c == L':'; }

// Only a dot in the file name starts an extension, never one in a folder's.
std::wstring TypeLibraryFileBeside(const std::wstring& path) {
  std::size_t nameStart = path.size();
  while (nameStart > 0 && !IsSeparator(path[nameStart - 1])) --nameStart;
  const std::size_t dot = path.rfind(L'.');
  const std::size_t stem = dot != std::wstring::npos && dot >= nameStart ? dot : path.size();
  return path.substr(0, stem) + L".tlb";
}

// Up to and including the last separator.
std::wstring FolderOf(const std::wstring& path) {
  std::size_t end = path.size();
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  return path.substr(0, end);
}

// Gives the library's attributes back however the caller leaves.
class LibraryAttributes {
 public:
  explicit LibraryAttributes(ITypeLib* library) : library_(library) {
    if (FAILED(library_->GetLibAttr(&attributes_))) attributes_ = nullptr;
  }
  LibraryAttributes(const LibraryAttributes&) = delete;
  LibraryAttributes& operator=(const LibraryAttributes&) = delete;
  ~LibraryAttributes() {
    if (attributes_) library_->ReleaseTLibAttr(attributes_);
  }
  [[nodiscard]] const TLIBATTR* get() const { return attributes_; }

 private:
  ITypeLib* library_;
  TLIBATTR* attributes_ = nullptr;
};

using UnRegisterTypeLibFunction = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

}  // namespace

HRESULT LoadTypeLibraryBeside(const std::wstring& path, LoadedTypeLibrary& out) {
  out.library.reset();
  out.path = path;
  HRESULT result = LoadTypeLib(out.path.c_str(), out.library.put());
  if (SUCCEEDED(result)) return result;
  out.path = TypeLibraryFileBeside(path);
  result = LoadTypeLib(out.path.c_str(), out.library.put());
  if (FAILED(result)) out.path.clear();
  return result;
}

HRESULT RegisterTypeLibrary(HMODULE module) {
  const std::optional<std::wstring> path = platform::ModuleFileNameW(module);
  if (!path) return LastErrorResult();
  return RegisterTypeLibraryOf(*path);
}

void UnregisterTypeLibrary(HMODULE module) {
  if (const std::optional<std::wstring> path = platform::ModuleFileNameW(module)) UnregisterTypeLibraryOf(*path);
}

HRESULT RegisterTypeLibraryOf(const std::wstring& modulePath) {
  LoadedTypeLibrary loaded;
  const HRESULT result = LoadTypeLibraryBeside(modulePath, loaded);
  if (FAILED(result)) return result;
  std::wstring helpDirectory = FolderOf(loaded.path);
  return RegisterTypeLib(loaded.library.get(), loaded.path.data(), helpDirectory.data());
}

void UnregisterTypeLibraryOf(const std::wstring& modulePath) {
  LoadedTypeLibrary loaded;
  if (FAILED(LoadTypeLibraryBeside(modulePath, loaded))) return;
  LibraryAttributes attributes(loaded.library.get());
  const TLIBATTR* a = attributes.get();
  if (!a) return;
  // Found by name at run time: an oleaut32 without it still lets the module
  // load and unregister the rest.
  platform::UniqueModule oleaut(LoadLibraryA("oleaut32.dll"));
  if (auto unregister = platform::GetProc<UnRegisterTypeLibFunction>(oleaut.get(), "UnRegisterTypeLib")) {
    (void)unregister(a->guid, a->wMajorVerNum, a->wMinorVerNum, a->lcid, a->syskind);
  }
}

}  // namespace vrpph
