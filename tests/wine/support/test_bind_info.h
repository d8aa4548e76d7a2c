// A browser's bind information as Start receives it: the verb and, for a
// POST, the body in a medium of the test's choice. Each GetBindInfo hands
// out fresh copies, since the receiver releases what it gets; a counted
// object rides along in BINDINFO.pUnk to show that it is released.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include <string>

namespace vrpph::wine_tests {

class TestBindInfo final : public IInternetBindInfo {
 public:
  enum class Medium { Nothing, Global, Stream };

  static TestBindInfo Get() { return TestBindInfo(BINDVERB_GET, Medium::Nothing, ""); }
  static TestBindInfo Post(std::string body, Medium medium = Medium::Global) {
    return TestBindInfo(BINDVERB_POST, medium, std::move(body));
  }
  TestBindInfo(DWORD verb, Medium medium, std::string body);
  TestBindInfo(const TestBindInfo&) = delete;
  TestBindInfo& operator=(const TestBindInfo&) = delete;

  // The size field claims this many bytes, whatever the block holds.
  void ClaimSize(DWORD size) { claimedSize_ = size; }
  // GetBindInfo fills everything in and still answers `failure`.
  void FailWith(HRESULT failure) { failure_ = failure; }

  // References handed out in BINDINFO.pUnk and not released yet.
  [[nodiscard]] LONG Outstanding() const { return tracker_.count; }
  [[nodiscard]] int Calls() const { return calls_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override;
  STDMETHODIMP GetBindString(ULONG, LPOLESTR*, ULONG, ULONG*) override { return E_NOTIMPL; }

 private:
  struct Tracker final : IUnknown {
    LONG count = 0;
    STDMETHODIMP QueryInterface(REFIID, void** out) override {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++count); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--count); }
  };

  DWORD verb_;
  Medium medium_;
  std::string body_;
  DWORD claimedSize_;
  HRESULT failure_ = S_OK;
  int calls_ = 0;
  Tracker tracker_;
};

}  // namespace vrpph::wine_tests
