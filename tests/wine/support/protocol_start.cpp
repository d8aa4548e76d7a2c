#include "wine/support/protocol_start.h"

#include <objbase.h>
#include <urlmon.h>

#include "wine/support/test_bind_info.h"

namespace vrpph::wine_tests {
namespace {

constexpr CLSID kHttpPlugProt = {0xE131C96E, 0x4DDB, 0x11D4, {0x84, 0xB8, 0x00, 0x80, 0x48, 0xB3, 0x3D, 0xEA}};

// The sink lives on the caller's stack for the one call: its reference
// count is not what keeps it alive.
class QuietSink final : public IInternetProtocolSink {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IInternetProtocolSink)) {
      *out = static_cast<IInternetProtocolSink*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Switch(PROTOCOLDATA*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ReportProgress(ULONG, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ReportData(DWORD, ULONG, ULONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ReportResult(HRESULT, DWORD, LPCWSTR) override { return S_OK; }
};

}  // namespace

HRESULT StartNavigation(const LoadedDll& dll, const std::wstring& url) {
  IInternetProtocolRoot* protocol = nullptr;
  const HRESULT hr = dll.CreateInstance(kHttpPlugProt, IID_IInternetProtocolRoot, reinterpret_cast<void**>(&protocol));
  if (FAILED(hr)) return hr;
  TestBindInfo bindInfo = TestBindInfo::Get();
  QuietSink sink;
  const HRESULT answer = protocol->Start(url.c_str(), &sink, &bindInfo, PI_FORCE_ASYNC, 0);
  protocol->Release();
  return answer;
}

}  // namespace vrpph::wine_tests
