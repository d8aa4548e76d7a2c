#include "wine/support/test_bind_info.h"

#include <cstring>

namespace vrpph::wine_tests {

TestBindInfo::TestBindInfo(DWORD verb, Medium medium, std::string body)
    : verb_(verb), medium_(medium), body_(std::move(body)), claimedSize_(static_cast<DWORD>(body_.size())) {}

HRESULT TestBindInfo::QueryInterface(REFIID iid, void** out) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IInternetBindInfo)) {
    *out = static_cast<IInternetBindInfo*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT TestBindInfo::GetBindInfo(DWORD* flags, BINDINFO* info) {
  ++calls_;
  *flags = BINDF_ASYNCHRONOUS;
  const DWORD size = info->cbSize;
  std::memset(info, 0, size);
  info->cbSize = size;
  info->dwBindVerb = verb_;
  info->cbstgmedData = claimedSize_;
  if (medium_ == Medium::Global) {
    // Fixed memory, as the browser hands a POST body over.
    HGLOBAL copy = GlobalAlloc(GMEM_FIXED, body_.size());
    if (copy && !body_.empty()) std::memcpy(reinterpret_cast<void*>(copy), body_.data(), body_.size());
    info->stgmedData.tymed = TYMED_HGLOBAL;
    info->stgmedData.hGlobal = copy;
  } else if (medium_ == Medium::Stream) {
    IStream* stream = nullptr;
    if (SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
      ULONG written = 0;
      stream->Write(body_.data(), static_cast<ULONG>(body_.size()), &written);
    }
    info->stgmedData.tymed = TYMED_ISTREAM;
    info->stgmedData.pstm = stream;
  }
  tracker_.AddRef();
  info->pUnk = &tracker_;
  return failure_;
}

}  // namespace vrpph::wine_tests
