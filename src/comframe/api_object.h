// API: the automation class other programs create to hand a download to the
// download manager or to start its uninstaller. Each call stands alone; the
// object keeps only what the browser told it about its caller.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <objsafe.h>

#include "automation/script_safety.h"
#include "comframe/dual_dispatch.h"
#include "comframe/interface_table.h"
#include "vrpph_idl.h"

namespace vrpph::comframe {

inline TypeInfoCache& ApiTypeInfoOf(ModuleState& module) { return module.ApiTypeInfo(); }

class ApiMethods : public DualDispatch<IAPI, &ApiTypeInfoOf>, public ISupportErrorInfo, public IObjectSafety {
 public:
  // Registered for both threading models: calls and references may come
  // from several threads at once.
  static constexpr bool kAnyThread = true;
  static constexpr InterfaceRow kRows[] = {
      {&IID_IDispatch, 0},
      {&IID_IAPI, 0},
      {&IID_ISupportErrorInfo, 1},
      {&IID_IObjectSafety, 2},
  };
  IUnknown* InterfaceAt(int pointer) {
    if (pointer == 0) return static_cast<IAPI*>(this);
    if (pointer == 1) return static_cast<ISupportErrorInfo*>(this);
    return static_cast<IObjectSafety*>(this);
  }

  // IAPI. Both always answer S_OK; *result is 0 whatever happened. Once a
  // browser has said the caller may be untrusted, a path counts as absent
  // and the uninstaller is not started.
  STDMETHODIMP DownloadFile(BSTR url, BSTR referer, BSTR path, short* result) override;
  STDMETHODIMP TQUninstall() override;
  // ISupportErrorInfo: S_OK for IAPI, S_FALSE for any other interface.
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;
  // IObjectSafety, for IDispatch and IAPI alone (E_NOINTERFACE otherwise):
  // both options supported; setting an unknown option fails with E_FAIL.
  STDMETHODIMP GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) override;
  STDMETHODIMP SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) override;

 protected:
  ~ApiMethods() = default;

 private:
  ScriptSafety safety_;
};

// The class's CreateObject, for the class table.
HRESULT CreateApi(IUnknown* outer, REFIID iid, void** out);

}  // namespace vrpph::comframe
