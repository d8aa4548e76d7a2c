// The QueryInterface of every object form: a class lists its interfaces once,
// as types (`using Interfaces = InterfaceList<...>`); each answers its own
// id through the class's one base of that type, so the list cannot name an
// interface the class does not implement. The first is the identity that
// answers IUnknown.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <type_traits>

namespace vrpph::comframe {

template <typename Identity, typename... Others>
struct InterfaceList {
  // IUnknown itself has as many bases as the class has interfaces: never listed.
  template <typename Object>
  static constexpr bool kListsBasesOf =
      ((std::is_base_of_v<Identity, Object> && ... && std::is_base_of_v<Others, Object>)) &&
      !std::is_same_v<Identity, IUnknown> && (!std::is_same_v<Others, IUnknown> && ...);

  template <typename Object>
  static IUnknown* IdentityOf(Object& object) {
    return static_cast<Identity*>(&object);
  }

  // The listed interface `iid` names, in list order; null when none.
  template <typename Object>
  static IUnknown* Find(Object& object, REFIID iid) {
    IUnknown* found = nullptr;
    (void)((IsEqualIID(iid, __uuidof(Identity)) && (found = static_cast<Identity*>(&object))) ||
           ... || (IsEqualIID(iid, __uuidof(Others)) && (found = static_cast<Others*>(&object))));
    return found;
  }
};

// `Object` derives from a class with an `Interfaces` list.
template <typename Object>
HRESULT FindInterface(Object& object, REFIID iid, void** out) {
  using List = typename Object::Interfaces;
  static_assert(List::template kListsBasesOf<Object>, "every listed interface is a base of the class");
  if (!out) return E_POINTER;
  IUnknown* found = IsEqualIID(iid, IID_IUnknown) ? List::IdentityOf(object) : List::Find(object, iid);
  *out = found;
  if (!found) return E_NOINTERFACE;
  found->AddRef();
  return S_OK;
}

}  // namespace vrpph::comframe
