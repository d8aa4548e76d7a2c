#include "comframe/class_table.h"

#include "comframe/api_object.h"
#include "comframe/module_state.h"
#include "comframe/plug_prot.h"
#include "resources/resource_ids.h"

namespace vrpph::comframe {

namespace {

constinit ClassTableEntry g_classes[] = {
    {&CLSID_HTTPPlugProt, VRPPH_PLUG_PROT_SCRIPT, &CreatePlugProt, nullptr},
    {&CLSID_API, VRPPH_API_SCRIPT, &CreateApi, nullptr},
    {nullptr, 0, nullptr, nullptr},
};

// The row's class object, made on first request.
HRESULT CachedClassObject(ModuleState& module, ClassTableEntry& row, IUnknown** object) {
  *object = row.classObject.load(std::memory_order_acquire);
  if (*object) return S_OK;
  SectionLock<ModuleSection> hold(module.ClassTableLock());
  *object = row.classObject.load(std::memory_order_acquire);
  if (*object) return S_OK;
  IUnknown* made = nullptr;
  const HRESULT result = CreateClassObject(row.createObject, IID_IUnknown, reinterpret_cast<void**>(&made));
  if (FAILED(result)) return result;
  row.classObject.store(made, std::memory_order_release);
  *object = made;
  return S_OK;
}

}  // namespace

ClassTableEntry* ClassTableRows() { return g_classes; }

HRESULT GetClassObject(ModuleState& module, REFCLSID classId, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (ClassTableEntry* row = module.ClassTable(); row && row->classId; ++row) {
    if (!IsEqualCLSID(classId, *row->classId)) continue;
    IUnknown* object = nullptr;
    const HRESULT result = CachedClassObject(module, *row, &object);
    if (FAILED(result)) return result;
    return object->QueryInterface(iid, out);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

std::vector<int> ClassScripts(ModuleState& module) {
  std::vector<int> scripts;
  for (ClassTableEntry* row = module.ClassTable(); row && row->classId; ++row) {
    scripts.push_back(row->registryScript);
  }
  return scripts;
}

void ReleaseClassObjects(ModuleState& module) {
  for (ClassTableEntry* row = module.ClassTable(); row && row->classId; ++row) {
    if (IUnknown* object = row->classObject.exchange(nullptr)) object->Release();
  }
}

}  // namespace vrpph::comframe
