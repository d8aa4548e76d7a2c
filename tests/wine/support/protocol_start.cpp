#include "wine/support/protocol_start.h"

#include <objbase.h>
#include <urlmon.h>

#include "wine/support/test_bind_info.h"

namespace vrpph::wine_tests {
namespace {

constexpr CLSID kHttpPlugProt = {0xE131C96E, 0x4DDB, 0x11D4, {0x84, 0xB8, 0x00, 0x80, 0x48, 0xB3, 0x3D, 0xEA}};

}  // namespace

HRESULT StartNavigation(const LoadedDll& dll, const std::wstring& url, StrictSink& sink) {
  IInternetProtocolRoot* protocol = nullptr;
  const HRESULT hr = dll.CreateInstance(kHttpPlugProt, IID_IInternetProtocolRoot, reinterpret_cast<void**>(&protocol));
  if (FAILED(hr)) return hr;
  TestBindInfo bindInfo = TestBindInfo::Get();
  const HRESULT answer = protocol->Start(url.c_str(), &sink, &bindInfo, PI_FORCE_ASYNC, 0);
  protocol->Release();
  return answer;
}

}  // namespace vrpph::wine_tests
