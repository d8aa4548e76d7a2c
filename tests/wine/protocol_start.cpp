#include "protocol_start.h"

#include <objbase.h>
#include <urlmon.h>

namespace vrpph::wine_tests {
namespace {

constexpr CLSID kHttpPlugProt = {0xE131C96E, 0x4DDB, 0x11D4, {0x84, 0xB8, 0x00, 0x80, 0x48, 0xB3, 0x3D, 0xEA}};

using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

// Both test objects live on the caller's stack for the one call: their
// reference counts are not what keeps them alive.
class TestBindInfo final : public IInternetBindInfo {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IInternetBindInfo)) {
      *out = static_cast<IInternetBindInfo*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO* info) override {
    if (!flags || !info) return E_POINTER;
    *flags = BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA;
    const ULONG size = info->cbSize;
    ZeroMemory(info, size);
    info->cbSize = size;
    info->dwBindVerb = BINDVERB_GET;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetBindString(ULONG, LPOLESTR*, ULONG, ULONG* fetched) override {
    if (fetched) *fetched = 0;
    return E_NOTIMPL;
  }
};

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

template <typename Interface>
struct Released {
  Interface* p = nullptr;
  Released() = default;
  Released(const Released&) = delete;
  Released& operator=(const Released&) = delete;
  ~Released() {
    if (p) p->Release();
  }
};

}  // namespace

HRESULT StartNavigation(const LoadedDll& dll, const std::wstring& url) {
  auto getClassObject = dll.Export<GetClassObject>("DllGetClassObject");
  if (!getClassObject) return E_UNEXPECTED;
  Released<IClassFactory> factory;
  HRESULT hr = getClassObject(kHttpPlugProt, IID_IClassFactory, reinterpret_cast<void**>(&factory.p));
  if (FAILED(hr)) return hr;
  Released<IInternetProtocolRoot> protocol;
  hr = factory.p->CreateInstance(nullptr, IID_IInternetProtocolRoot, reinterpret_cast<void**>(&protocol.p));
  if (FAILED(hr)) return hr;
  TestBindInfo bindInfo;
  QuietSink sink;
  return protocol.p->Start(url.c_str(), &sink, &bindInfo, PI_FORCE_ASYNC, 0);
}

}  // namespace vrpph::wine_tests
