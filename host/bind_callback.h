// The browser's side of one bind: it describes the request (GET, or POST
// with a body) and notes when and how urlmon ends the bind.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include <optional>
#include <string>

#include "start_log.h"

namespace browser_host {

class BindCallback final : public IBindStatusCallback {
 public:
  // A new callback with one reference; a body makes the request a POST.
  static ComRef<BindCallback> Create(std::optional<std::string> postBody);

  BindCallback(const BindCallback&) = delete;
  BindCallback& operator=(const BindCallback&) = delete;

  [[nodiscard]] bool Stopped() const { return stopped_; }
  // What OnStopBinding reported; meaningful once Stopped().
  [[nodiscard]] HRESULT StopResult() const { return stopResult_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return S_OK; }
  STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
  STDMETHODIMP OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override { return S_OK; }
  STDMETHODIMP OnStopBinding(HRESULT result, LPCWSTR) override;
  STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override;
  STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
  STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

 private:
  explicit BindCallback(std::optional<std::string> postBody) : postBody_(std::move(postBody)) {}
  ~BindCallback() = default;

  LONG references_ = 1;
  std::optional<std::string> postBody_;
  bool stopped_ = false;
  HRESULT stopResult_ = S_OK;
};

}  // namespace browser_host
