// The QueryInterface of every object form: which of an object's interface
// pointers answers an interface id, looked up row by row.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace vrpph::comframe {

struct InterfaceRow {
  const IID* iid;
  int pointer;  // index into the object's interface pointers
};

// `Object` has a static `kRows` table and `IUnknown* InterfaceAt(int)`.
// IUnknown is answered by the first row's pointer: the object's identity.
template <typename Object>
HRESULT FindInterface(Object& object, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  int pointer = -1;
  if (IsEqualIID(iid, IID_IUnknown)) {
    pointer = Object::kRows[0].pointer;
  } else {
    for (const InterfaceRow& row : Object::kRows) {
      if (IsEqualIID(iid, *row.iid)) {
        pointer = row.pointer;
        break;
      }
    }
  }
  if (pointer < 0) return E_NOINTERFACE;
  IUnknown* found = object.InterfaceAt(pointer);
  found->AddRef();
  *out = found;
  return S_OK;
}

}  // namespace vrpph::comframe
