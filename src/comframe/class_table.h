// The classes DllGetClassObject hands out, each with its class object made
// on first request and kept until the DLL is unloaded.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>
#include <vector>

#include "comframe/class_factory.h"

namespace vrpph::comframe {

class ModuleState;

struct ClassTableEntry {
  const CLSID* classId;
  // Id of the class's REGISTRY script resource.
  int registryScript;
  CreateObjectFunction createObject;
  // None until first requested; the table holds one reference.
  std::atomic<IUnknown*> classObject;
};

// The table's rows, ended by a row without a class id.
ClassTableEntry* ClassTableRows();

// DllGetClassObject: the cached class object of `classId`, made under the
// class-table lock when there is none yet, answering `iid`.
HRESULT GetClassObject(ModuleState& module, REFCLSID classId, REFIID iid, void** out);

// The rows' registration scripts, in table order.
std::vector<int> ClassScripts(ModuleState& module);

// Drops the table's references to every class object made so far.
void ReleaseClassObjects(ModuleState& module);

}  // namespace vrpph::comframe
