// The class factory the host registers with urlmon in place of a handler's
// own: each object it makes is a RecordingProtocol around a fresh handler
// from the handler's factory.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include "start_log.h"

namespace browser_host {

class RecordingFactory final : public IClassFactory {
 public:
  // A new factory with one reference; the log must outlive it.
  static ComRef<IClassFactory> Create(ComRef<IClassFactory> handlerFactory, StartLog& log);

  RecordingFactory(const RecordingFactory&) = delete;
  RecordingFactory& operator=(const RecordingFactory&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  STDMETHODIMP LockServer(BOOL lock) override { return handlerFactory_->LockServer(lock); }

 private:
  RecordingFactory(ComRef<IClassFactory> handlerFactory, StartLog& log)
      : handlerFactory_(std::move(handlerFactory)), log_(log) {}
  ~RecordingFactory() = default;

  LONG references_ = 1;
  ComRef<IClassFactory> handlerFactory_;
  StartLog& log_;
};

}  // namespace browser_host
