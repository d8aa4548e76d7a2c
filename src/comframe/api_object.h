// API: the automation class other programs create to hand a download to the
// download manager or to start its uninstaller. The object keeps no state
// of its own; each call stands alone.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "comframe/dual_dispatch.h"
#include "comframe/interface_table.h"
#include "vrpph_idl.h"

namespace vrpph::comframe {

inline TypeInfoCache& ApiTypeInfoOf(ModuleState& module) { return module.ApiTypeInfo(); }

class ApiMethods : public DualDispatch<IAPI, &ApiTypeInfoOf>, public ISupportErrorInfo {
 public:
  // Registered for both threading models: calls and references may come
  // from several threads at once.
  static constexpr bool kAnyThread = true;
  static constexpr InterfaceRow kRows[] = {
      {&IID_IDispatch, 0},
      {&IID_IAPI, 0},
      {&IID_ISupportErrorInfo, 1},
  };
  IUnknown* InterfaceAt(int pointer) {
    if (pointer == 0) return static_cast<IAPI*>(this);
    return static_cast<ISupportErrorInfo*>(this);
  }

  // IAPI. Both always answer S_OK; *result is 0 whatever happened.
  STDMETHODIMP DownloadFile(BSTR url, BSTR referer, BSTR path, short* result) override;
  STDMETHODIMP TQUninstall() override;
  // ISupportErrorInfo: S_OK for IAPI, S_FALSE for any other interface.
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

 protected:
  ~ApiMethods() = default;
};

// The class's CreateObject, for the class table.
HRESULT CreateApi(IUnknown* outer, REFIID iid, void** out);

}  // namespace vrpph::comframe
