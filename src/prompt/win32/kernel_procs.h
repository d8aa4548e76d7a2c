// Functions of kernel32 that older systems lack, found at run time so that
// the module still loads there.
#pragma once

#include <windows.h>

#include "platform/win32/handles.h"

namespace vrpph {

// The export `name` of the already loaded "kernel32.dll", looked up at
// every call; null when the library or the function is missing.
FARPROC LoadKernelProc(const char* name);

// The export as a function of type `Function`, or null.
template <typename Function>
Function LoadKernelFunction(FARPROC (*lookup)(const char*), const char* name) {
  return platform::FunctionFrom<Function>(lookup(name));
}

}  // namespace vrpph
