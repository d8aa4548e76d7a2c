// The class object of both classes: creates instances through the class's
// CreateObject, and keeps the module loaded while a client holds it beyond
// the class table's own reference.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>

#include "comframe/critical_section.h"
#include "comframe/interface_table.h"

namespace vrpph::comframe {

using CreateObjectFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

class CachedClassFactory final : public IClassFactory {
 public:
  using Interfaces = InterfaceList<IClassFactory>;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  friend HRESULT CreateClassObject(CreateObjectFunction, REFIID, void**);
  explicit CachedClassFactory(CreateObjectFunction create) : create_(create) {}
  ~CachedClassFactory() = default;

  std::atomic<LONG> references_{0};
  CreateObjectFunction create_;
  OwnedSection countLock_;
};

// A new class object bound to `create`, answering `iid`.
HRESULT CreateClassObject(CreateObjectFunction create, REFIID iid, void** out);

}  // namespace vrpph::comframe
