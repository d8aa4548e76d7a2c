// Stands between urlmon and a name-space handler. urlmon creates it through
// the host's class factory, aggregated as it aggregates any handler; it
// creates the real handler aggregated in turn, passes every call through and
// notes in the start log what the handler's Start answered.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include "start_log.h"

namespace browser_host {

class RecordingProtocol final : public IInternetProtocol {
 public:
  // The new object's interface `iid`; `outer` is the aggregating object or
  // null. The handler comes from `handlerFactory`.
  static HRESULT Create(IClassFactory& handlerFactory, IUnknown* outer, StartLog& log, REFIID iid, void** out);

  RecordingProtocol(const RecordingProtocol&) = delete;
  RecordingProtocol& operator=(const RecordingProtocol&) = delete;

  // IUnknown, on behalf of the controlling object.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return controlling_->QueryInterface(iid, out); }
  STDMETHODIMP_(ULONG) AddRef() override { return controlling_->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return controlling_->Release(); }

  // IInternetProtocolRoot
  STDMETHODIMP Start(LPCWSTR url, IInternetProtocolSink* sink, IInternetBindInfo* bindInfo, DWORD flags,
                     HANDLE_PTR reserved) override;
  STDMETHODIMP Continue(PROTOCOLDATA* data) override { return handler_->Continue(data); }
  STDMETHODIMP Abort(HRESULT reason, DWORD options) override { return handler_->Abort(reason, options); }
  STDMETHODIMP Terminate(DWORD options) override { return handler_->Terminate(options); }
  STDMETHODIMP Suspend() override { return handler_->Suspend(); }
  STDMETHODIMP Resume() override { return handler_->Resume(); }
  // IInternetProtocol
  STDMETHODIMP Read(void* buffer, ULONG size, ULONG* read) override { return handler_->Read(buffer, size, read); }
  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
    return handler_->Seek(move, origin, position);
  }
  STDMETHODIMP LockRequest(DWORD options) override { return handler_->LockRequest(options); }
  STDMETHODIMP UnlockRequest() override { return handler_->UnlockRequest(); }

 private:
  // This object's own identity: what an aggregating urlmon holds.
  class Inner final : public IUnknown {
   public:
    explicit Inner(RecordingProtocol& owner) : owner_(owner) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

   private:
    RecordingProtocol& owner_;
    LONG references_ = 1;
  };

  // The outer object the handler is aggregated into. The handler's own
  // interfaces count their references here; it lives as long as this object.
  class HandlerOuter final : public IUnknown {
   public:
    explicit HandlerOuter(RecordingProtocol& owner) : owner_(owner) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(InterlockedDecrement(&references_)); }

   private:
    RecordingProtocol& owner_;
    LONG references_ = 0;
  };

  RecordingProtocol(IUnknown* outer, StartLog& log);
  ~RecordingProtocol();
  HRESULT CreateHandler(IClassFactory& handlerFactory);

  Inner inner_{*this};
  HandlerOuter handlerOuter_{*this};
  IUnknown* controlling_;
  StartLog& log_;
  // The handler's own unknown, and its protocol interface, which counts on
  // handlerOuter_.
  IUnknown* handlerInner_ = nullptr;
  IInternetProtocol* handler_ = nullptr;
};

}  // namespace browser_host
