// HTTPPlugProt: the browser's name-space handler for http, https and ftp.
// Its only work is Start; the object keeps no state of its own.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include "comframe/dual_dispatch.h"
#include "comframe/interface_table.h"
#include "vrpph_idl.h"

namespace vrpph::comframe {

inline TypeInfoCache& PlugProtTypeInfoOf(ModuleState& module) { return module.PlugProtTypeInfo(); }

class PlugProtMethods : public DualDispatch<IHTTPPlugProt, &PlugProtTypeInfoOf>, public IInternetProtocol {
 public:
  using Interfaces = InterfaceList<IHTTPPlugProt, IDispatch, IInternetProtocol, IInternetProtocolRoot>;

  // IInternetProtocolRoot
  STDMETHODIMP Start(LPCWSTR url, IInternetProtocolSink* sink, IInternetBindInfo* bindInfo, DWORD flags,
                     HANDLE_PTR reserved) override;
  STDMETHODIMP Continue(PROTOCOLDATA*) override { return E_NOTIMPL; }
  STDMETHODIMP Abort(HRESULT, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Terminate(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Suspend() override { return E_NOTIMPL; }
  STDMETHODIMP Resume() override { return E_NOTIMPL; }
  // IInternetProtocol
  STDMETHODIMP Read(void*, ULONG, ULONG*) override { return E_NOTIMPL; }
  STDMETHODIMP Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP LockRequest(DWORD) override { return S_OK; }
  STDMETHODIMP UnlockRequest() override { return S_OK; }

 protected:
  ~PlugProtMethods() = default;
};

// The class's CreateObject, for the class table.
HRESULT CreatePlugProt(IUnknown* outer, REFIID iid, void** out);

}  // namespace vrpph::comframe
