// The two registry views of 64-bit Windows as registration meets them: a
// 32-bit and a 64-bit module see the keys of HKCR\CLSID apart, and each can
// look into the other's view.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vrpph {

// The access flag that reaches the other module's view: View32 from a
// 64-bit module, View64 from a 32-bit one on 64-bit Windows; 0 on 32-bit
// Windows, which has one view only.
std::uint32_t OtherRegistryView();

// Whether `view` registers `classId`: HKCR\CLSID\{classId}\InprocServer32
// exists there.
bool ViewRegistersClass(std::uint32_t view, REFCLSID classId);

}  // namespace vrpph
