// One dual interface's type information, loaded from the registered type
// library the first time a late-bound caller needs it and kept until the
// module is unloaded, with its method names and dispatch ids beside it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <cstdint>

namespace vrpph::comframe {

class ModuleState;

class TypeInfoCache {
 public:
  constexpr TypeInfoCache(const IID& interfaceId, const GUID& libraryId, WORD major, WORD minor)
      : interfaceId_(&interfaceId), libraryId_(&libraryId), major_(major), minor_(minor) {}
  TypeInfoCache(const TypeInfoCache&) = delete;
  TypeInfoCache& operator=(const TypeInfoCache&) = delete;

  // S_OK once the information is there; the load's error otherwise. The
  // first successful load's locale stays in use from then on.
  HRESULT LoadTypeInfoOnce(ModuleState& module, LCID locale);

  // The IDispatch operations of every instance of the interface's class.
  HRESULT GetTypeInfo(ModuleState& module, LCID locale, ITypeInfo** out);
  HRESULT GetIDsOfNames(ModuleState& module, LPOLESTR* names, UINT count, LCID locale, DISPID* ids);
  HRESULT Invoke(ModuleState& module, IDispatch* self, DISPID id, LCID locale, WORD flags, DISPPARAMS* parameters,
                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError);

 private:
  struct DispIdCacheEntry {
    BSTR name;
    UINT length;
    DISPID id;
  };

  void BuildNames(ITypeInfo* info);
  // Registered with the module's exit cleanups after the first attempt.
  static void Clear(std::uintptr_t cache);

  const IID* interfaceId_;
  const GUID* libraryId_;
  WORD major_;
  WORD minor_;
  // Published last, so a reader that sees it also sees the names.
  std::atomic<ITypeInfo*> info_{nullptr};
  DispIdCacheEntry* dispIdCache_ = nullptr;
  int nameCount_ = 0;
  bool cleanupRegistered_ = false;
};

}  // namespace vrpph::comframe
