#include "prompt/win32/kernel_procs.h"

namespace vrpph {

FARPROC LoadKernelProc(const char* name) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel ? GetProcAddress(kernel, name) : nullptr;
}

}  // namespace vrpph
