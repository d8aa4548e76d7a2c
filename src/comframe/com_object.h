// The two forms an instance of a class takes: standalone, or aggregated
// inside an outer object. `Methods` implements a class's interfaces apart
// from IUnknown and lists them (Interfaces).
// Every instance keeps the module loaded for as long as it lives.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>
#include <new>
#include <type_traits>

#include "comframe/interface_table.h"
#include "comframe/module_state.h"

namespace vrpph::comframe {

// An apartment-threaded class is called on its apartment's thread alone and
// counts plainly; a class that sets `kAnyThread` counts atomically.
template <typename Methods>
constexpr bool kCountsAtomically = requires { requires Methods::kAnyThread; };
template <typename Methods>
using InstanceCount = std::conditional_t<kCountsAtomically<Methods>, std::atomic<ULONG>, ULONG>;

// Release of either form: the last reference deletes the object.
template <typename Count, typename Object>
ULONG ReleaseReference(Count& references, Object* object) {
  const ULONG left = --references;
  if (left == 0) delete object;
  return left;
}

template <typename Methods>
class StandaloneObject final : public Methods {
 public:
  StandaloneObject() { Module().Lock(); }
  ~StandaloneObject() { Module().Unlock(); }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return FindInterface(*this, iid, out); }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseReference(references_, this); }

 private:
  InstanceCount<Methods> references_{0};
};

template <typename Methods>
class AggregatedObject final : public IUnknown {
 public:
  explicit AggregatedObject(IUnknown* outer) : contained_(outer) { Module().Lock(); }
  ~AggregatedObject() { Module().Unlock(); }

  // The non-delegating IUnknown the outer object holds.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown)) {
      AddRef();
      *out = static_cast<IUnknown*>(this);
      return S_OK;
    }
    return FindInterface(contained_, iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseReference(references_, this); }

 private:
  // The class's interfaces as the outer object exposes them: identity and
  // counting belong to the outer object, which is not counted here.
  class Contained final : public Methods {
   public:
    explicit Contained(IUnknown* outer) : outer_(outer) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
      HRESULT result = outer_->QueryInterface(iid, out);
      if (FAILED(result) && outer_ != Methods::Interfaces::IdentityOf(*this)) {
        result = FindInterface(*this, iid, out);
      }
      return result;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return outer_->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return outer_->Release(); }

   private:
    IUnknown* outer_;
  };

  InstanceCount<Methods> references_{0};
  Contained contained_;
};

// A class's CreateObject: standalone without an outer object, aggregated
// with one (the class object has already required IUnknown then). A failed
// first QueryInterface destroys the new instance again.
template <typename Methods>
HRESULT CreateObject(IUnknown* outer, REFIID iid, void** out) {
  if (!outer) {
    auto* object = new (std::nothrow) StandaloneObject<Methods>();
    if (!object) return E_OUTOFMEMORY;
    const HRESULT result = object->QueryInterface(iid, out);
    if (FAILED(result)) delete object;
    return result;
  }
  auto* object = new (std::nothrow) AggregatedObject<Methods>(outer);
  if (!object) return E_OUTOFMEMORY;
  const HRESULT result = object->QueryInterface(iid, out);
  if (FAILED(result)) delete object;
  return result;
}

}  // namespace vrpph::comframe
