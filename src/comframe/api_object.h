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

// objsafe.h gives IObjectSafety no __uuidof.
__CRT_UUID_DECL(IObjectSafety, 0xcb5bdc81, 0x93c1, 0x11cf, 0x8f, 0x20, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64)

namespace vrpph::comframe {

inline TypeInfoCache& ApiTypeInfoOf(ModuleState& module) { return module.ApiTypeInfo(); }

class ApiMethods : public DualDispatch<IAPI, &ApiTypeInfoOf>, public ISupportErrorInfo, public IObjectSafety {
 public:
  // Registered for both threading models: calls and references may come
  // from several threads at once.
  static constexpr bool kAnyThread = true;
  using Interfaces = InterfaceList<IDispatch, IAPI, ISupportErrorInfo, IObjectSafety>;

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
