#include "comframe/class_factory.h"

#include <new>

#include "comframe/module_state.h"

namespace vrpph::comframe {

HRESULT CreateClassObject(CreateObjectFunction create, REFIID iid, void** out) {
  auto* factory = new (std::nothrow) CachedClassFactory(create);
  if (!factory) return E_OUTOFMEMORY;
  const HRESULT result = factory->QueryInterface(iid, out);
  if (FAILED(result)) delete factory;
  return result;
}

HRESULT CachedClassFactory::QueryInterface(REFIID iid, void** out) { return FindInterface(*this, iid, out); }

// The class table holds the first reference: the second one is a client's.
ULONG CachedClassFactory::AddRef() {
  SectionLock<OwnedSection> hold(countLock_);
  const LONG count = ++references_;
  if (count == 2) Module().Lock();
  return static_cast<ULONG>(count);
}

ULONG CachedClassFactory::Release() {
  LONG count;
  {
    SectionLock<OwnedSection> hold(countLock_);
    count = --references_;
  }
  if (count == 0) {
    delete this;
  } else if (count == 1) {
    Module().Unlock();
  }
  return static_cast<ULONG>(count);
}

HRESULT CachedClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  // An outer object may only ask for the inner object's own IUnknown.
  if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  return create_(outer, iid, out);
}

HRESULT CachedClassFactory::LockServer(BOOL lock) {
  if (lock) {
    Module().Lock();
  } else {
    Module().Unlock();
  }
  return S_OK;
}

}  // namespace vrpph::comframe
