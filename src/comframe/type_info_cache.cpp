#include "comframe/type_info_cache.h"

#include <cwchar>
#include <new>

#include "comframe/module_state.h"
#include "platform/win32/com_ref.h"

namespace vrpph::comframe {

namespace {

using platform::ComRef;
// VRPPHLib's locale, under which it is registered.
constexpr LCID kLibraryLocale = 0x0409;
}  // namespace

HRESULT TypeInfoCache::LoadTypeInfoOnce(ModuleState& module, LCID locale) {
  if (info_.load(std::memory_order_acquire)) return S_OK;
  SectionLock<ModuleSection> hold(module.TypeInfoLock());
  if (info_.load(std::memory_order_acquire)) return S_OK;
  if (!cleanupRegistered_) {
    cleanupRegistered_ = SUCCEEDED(module.AddExitCleanup(&TypeInfoCache::Clear, reinterpret_cast<std::uintptr_t>(this)));
  }
  ComRef<ITypeLib> library;
  HRESULT result = LoadRegTypeLib(*libraryId_, major_, minor_, locale, library.put());
  // The library exists in its own locale only; a caller in another one
  // (script engines pass 0) is served by it rather than refused.
  if (FAILED(result) && locale != kLibraryLocale &&
      SUCCEEDED(LoadRegTypeLib(*libraryId_, major_, minor_, kLibraryLocale, library.put()))) {
    result = S_OK;
  }
  if (FAILED(result)) return result;
  ComRef<ITypeInfo> info;
  result = library->GetTypeInfoOfGuid(*interfaceId_, info.put());
  if (FAILED(result)) return result;
  ComRef<ITypeInfo2> info2;
  if (SUCCEEDED(info->QueryInterface(IID_ITypeInfo2, reinterpret_cast<void**>(info2.put())))) {
    info.reset(info2.release());
  }
  BuildNames(info.get());
  info_.store(info.release(), std::memory_order_release);
  return S_OK;
}

void TypeInfoCache::BuildNames(ITypeInfo* info) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes))) return;
  const int count = attributes->cFuncs;
  if (count > 0) dispIdCache_ = new (std::nothrow) DispIdCacheEntry[count]();
  nameCount_ = dispIdCache_ ? count : 0;
  for (int index = 0; index < nameCount_; ++index) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(static_cast<UINT>(index), &function))) continue;
    BSTR name = nullptr;
    if (SUCCEEDED(info->GetDocumentation(function->memid, &name, nullptr, nullptr, nullptr)) && name) {
      dispIdCache_[index] = {name, SysStringLen(name), function->memid};
    }
    info->ReleaseFuncDesc(function);
  }
  info->ReleaseTypeAttr(attributes);
}

void TypeInfoCache::Clear(std::uintptr_t cache) {
  auto* self = reinterpret_cast<TypeInfoCache*>(cache);
  if (ITypeInfo* info = self->info_.exchange(nullptr)) info->Release();
  for (int index = 0; index < self->nameCount_; ++index) SysFreeString(self->dispIdCache_[index].name);
  delete[] self->dispIdCache_;
  self->dispIdCache_ = nullptr;
  self->nameCount_ = 0;
  self->cleanupRegistered_ = false;
}

HRESULT TypeInfoCache::GetTypeInfo(ModuleState& module, LCID locale, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  const HRESULT result = LoadTypeInfoOnce(module, locale);
  ITypeInfo* info = info_.load(std::memory_order_acquire);
  if (!info) return result;
  info->AddRef();
  *out = info;
  return S_OK;
}

HRESULT TypeInfoCache::GetIDsOfNames(ModuleState& module, LPOLESTR* names, UINT count, LCID locale,
                                     DISPID* ids) {
  const HRESULT loaded = LoadTypeInfoOnce(module, locale);
  ITypeInfo* info = info_.load(std::memory_order_acquire);
  if (!info) return loaded;
  if (count > 0 && (!names || !ids)) return E_POINTER;
  for (UINT n = 0; n < count; ++n) {
    const std::size_t length = names[n] ? std::wcslen(names[n]) : 0;
    bool hit = false;
    // Last entry first.
    for (int index = nameCount_ - 1; index >= 0 && !hit; --index) {
      const DispIdCacheEntry& entry = dispIdCache_[index];
      if (entry.name && entry.length == length && std::wmemcmp(entry.name, names[n], length) == 0) {
        ids[n] = entry.id;
        hit = true;
      }
    }
    if (hit) continue;
    const HRESULT result = info->GetIDsOfNames(&names[n], 1, &ids[n]);
    if (FAILED(result)) return result;
  }
  return S_OK;
}

HRESULT TypeInfoCache::Invoke(ModuleState& module, IDispatch* self, DISPID id, LCID locale, WORD flags,
                              DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  const HRESULT loaded = LoadTypeInfoOnce(module, locale);
  ITypeInfo* info = info_.load(std::memory_order_acquire);
  if (!info) return loaded;
  return info->Invoke(self, id, flags, parameters, result, exception, argumentError);
}

}  // namespace vrpph::comframe
