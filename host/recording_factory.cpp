#include "recording_factory.h"

#include <new>

#include "recording_protocol.h"

namespace browser_host {

ComRef<IClassFactory> RecordingFactory::Create(ComRef<IClassFactory> handlerFactory, StartLog& log) {
  ComRef<IClassFactory> factory;
  factory.reset(new (std::nothrow) RecordingFactory(std::move(handlerFactory), log));
  return factory;
}

HRESULT RecordingFactory::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG RecordingFactory::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT RecordingFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  return RecordingProtocol::Create(*handlerFactory_.get(), outer, log_, iid, out);
}

}  // namespace browser_host
