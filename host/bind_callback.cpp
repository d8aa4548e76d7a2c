#include "bind_callback.h"

#include <cstring>
#include <new>

namespace browser_host {

ComRef<BindCallback> BindCallback::Create(std::optional<std::string> postBody) {
  ComRef<BindCallback> callback;
  callback.reset(new (std::nothrow) BindCallback(std::move(postBody)));
  return callback;
}

HRESULT BindCallback::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IBindStatusCallback)) {
    *out = static_cast<IBindStatusCallback*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG BindCallback::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT BindCallback::OnStopBinding(HRESULT result, LPCWSTR) {
  stopped_ = true;
  stopResult_ = result;
  return S_OK;
}

HRESULT BindCallback::GetBindInfo(DWORD* flags, BINDINFO* info) {
  if (!flags || !info) return E_POINTER;
  *flags = BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA | BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE;
  const ULONG size = info->cbSize;
  std::memset(info, 0, size);
  info->cbSize = size;
  if (!postBody_) {
    info->dwBindVerb = BINDVERB_GET;
    return S_OK;
  }
  // The receiver releases the block with the bind information, so each
  // call hands out a fresh copy.
  const SIZE_T length = postBody_->size();
  HGLOBAL body = GlobalAlloc(GMEM_FIXED, length ? length : 1);
  if (!body) return E_OUTOFMEMORY;
  if (length) std::memcpy(static_cast<void*>(body), postBody_->data(), length);
  info->dwBindVerb = BINDVERB_POST;
  info->stgmedData.tymed = TYMED_HGLOBAL;
  info->stgmedData.hGlobal = body;
  info->cbstgmedData = static_cast<DWORD>(length);
  return S_OK;
}

}  // namespace browser_host
