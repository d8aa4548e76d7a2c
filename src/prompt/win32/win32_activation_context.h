// The activation-context calls of kernel32, each reached by name so that a
// system without them answers with the fallback instead of failing to load
// the module.
#pragma once

#include <windows.h>

#include "prompt/visual_styles.h"

namespace vrpph {

class Win32ActivationContextApi : public ActivationContextApi {
 public:
  using ProcLookup = FARPROC (*)(const char*);

  // `module` carries the manifest resource; `lookup` finds kernel32's
  // functions (tests pass one that finds none).
  explicit Win32ActivationContextApi(HMODULE module, ProcLookup lookup);

  Handle Create() override;
  bool Activate(Handle context, std::uintptr_t* cookie) override;
  void Deactivate(std::uintptr_t cookie) override;
  void Release(Handle context) override;

 private:
  HMODULE module_;
  ProcLookup lookup_;
};

}  // namespace vrpph
