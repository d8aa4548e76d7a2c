// The outer object of an aggregation, as urlmon's binding is one: it lives
// on the test's stack and counts the references and queries that the inner
// object forwards to it.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace vrpph::wine_tests {

class CountingOuter final : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    ++queries;
    if (IsEqualIID(iid, IID_IUnknown)) {
      *out = this;
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--references); }

  LONG references = 1;
  int queries = 0;
};

}  // namespace vrpph::wine_tests
