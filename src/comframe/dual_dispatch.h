// The four IDispatch slots of a dual interface, answered through the
// interface's module-wide type information.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "comframe/module_state.h"
#include "comframe/type_info_cache.h"

namespace vrpph::comframe {

template <typename Dual, TypeInfoCache& (*CacheOf)(ModuleState&)>
class DualDispatch : public Dual {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  // Every index names the one type information there is.
  STDMETHODIMP GetTypeInfo(UINT /*index*/, LCID locale, ITypeInfo** out) override {
    return CacheOf(Module()).GetTypeInfo(Module(), locale, out);
  }
  STDMETHODIMP GetIDsOfNames(REFIID /*iid*/, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return CacheOf(Module()).GetIDsOfNames(Module(), names, count, locale, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID /*iid*/, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override {
    return CacheOf(Module()).Invoke(Module(), static_cast<Dual*>(this), id, locale, flags, parameters, result,
                                    exception, argumentError);
  }
};

}  // namespace vrpph::comframe
