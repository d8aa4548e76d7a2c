#include "session_handlers.h"

#include "recording_factory.h"

namespace browser_host {

SessionHandlers::SessionHandlers(const std::vector<std::wstring>& schemes, StartLog& log) {
  if (FAILED(CoInternetGetSession(0, session_.put(), 0))) return;
  for (NameSpaceHandler& handler : ReadNameSpaceHandlers(schemes)) {
    Loaded loaded{std::move(handler), E_UNEXPECTED};
    loaded.result = Register(loaded.handler, log);
    handlers_.push_back(std::move(loaded));
  }
}

SessionHandlers::~SessionHandlers() {
  for (Registered& registered : registered_) {
    session_->UnregisterNameSpace(registered.factory.get(), registered.scheme.c_str());
  }
}

bool SessionHandlers::Handles(const std::wstring& scheme) const {
  for (const Registered& registered : registered_) {
    if (registered.scheme == scheme) return true;
  }
  return false;
}

HRESULT SessionHandlers::Register(const NameSpaceHandler& handler, StartLog& log) {
  // Through COM, so that InprocServer32 decides which module is loaded.
  ComRef<IClassFactory> handlerFactory;
  HRESULT hr = CoGetClassObject(handler.classId, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                reinterpret_cast<void**>(handlerFactory.put()));
  if (FAILED(hr)) return hr;
  ComRef<IClassFactory> factory = RecordingFactory::Create(std::move(handlerFactory), log);
  if (!factory) return E_OUTOFMEMORY;
  hr = session_->RegisterNameSpace(factory.get(), handler.classId, handler.scheme.c_str(), 0, nullptr, 0);
  if (FAILED(hr)) return hr;
  registered_.push_back({handler.scheme, std::move(factory)});
  return S_OK;
}

}  // namespace browser_host
