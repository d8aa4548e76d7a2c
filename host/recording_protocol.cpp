#include "recording_protocol.h"

#include <new>

namespace browser_host {
namespace {

bool IsProtocolInterface(REFIID iid) {
  return IsEqualIID(iid, IID_IInternetProtocol) || IsEqualIID(iid, IID_IInternetProtocolRoot);
}

}  // namespace

HRESULT RecordingProtocol::Create(IClassFactory& handlerFactory, IUnknown* outer, StartLog& log, REFIID iid,
                                  void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  // An aggregate's inner part is reached through its own unknown only.
  if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  auto* object = new (std::nothrow) RecordingProtocol(outer, log);
  if (!object) return E_OUTOFMEMORY;
  HRESULT hr = object->CreateHandler(handlerFactory);
  if (SUCCEEDED(hr)) hr = object->inner_.QueryInterface(iid, out);
  object->inner_.Release();
  return hr;
}

RecordingProtocol::RecordingProtocol(IUnknown* outer, StartLog& log)
    : controlling_(outer ? outer : &inner_), log_(log) {}

RecordingProtocol::~RecordingProtocol() {
  if (handler_) {
    // Give back the reference dropped when handler_ was cached.
    handlerOuter_.AddRef();
    handler_->Release();
  }
  if (handlerInner_) handlerInner_->Release();
}

HRESULT RecordingProtocol::CreateHandler(IClassFactory& handlerFactory) {
  HRESULT hr = handlerFactory.CreateInstance(&handlerOuter_, IID_IUnknown, reinterpret_cast<void**>(&handlerInner_));
  if (FAILED(hr)) {
    handlerInner_ = nullptr;
    return hr;
  }
  hr = handlerInner_->QueryInterface(IID_IInternetProtocol, reinterpret_cast<void**>(&handler_));
  if (FAILED(hr)) {
    handler_ = nullptr;
    return hr;
  }
  // The usual rule for a cached interface of an aggregated object: it must
  // not keep its own outer object alive.
  handlerOuter_.Release();
  return S_OK;
}

HRESULT RecordingProtocol::Start(LPCWSTR url, IInternetProtocolSink* sink, IInternetBindInfo* bindInfo, DWORD flags,
                                 HANDLE_PTR reserved) {
  const HRESULT result = handler_->Start(url, sink, bindInfo, flags, reserved);
  log_.Add(url, result, sink);
  return result;
}

HRESULT RecordingProtocol::Inner::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown)) {
    *out = static_cast<IUnknown*>(this);
  } else if (IsProtocolInterface(iid)) {
    *out = static_cast<IInternetProtocol*>(&owner_);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  static_cast<IUnknown*>(*out)->AddRef();
  return S_OK;
}

ULONG RecordingProtocol::Inner::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG RecordingProtocol::Inner::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete &owner_;
  return static_cast<ULONG>(left);
}

HRESULT RecordingProtocol::HandlerOuter::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown)) {
    *out = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  // What the aggregate offers comes from the handler.
  if (owner_.handlerInner_) return owner_.handlerInner_->QueryInterface(iid, out);
  *out = nullptr;
  return E_NOINTERFACE;
}

}  // namespace browser_host
