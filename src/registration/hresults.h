// HRESULT values the registrar returns, as plain constants: the portable code
// sees no Windows headers, and the names differ from the Windows macros so
// that both can meet in one translation unit of the Windows layer.
#pragma once

#include <cstdint>

namespace vrpph {

using HResult = std::int32_t;

namespace hresult {

constexpr HResult Ok = 0;
constexpr HResult Fail = static_cast<HResult>(0x80004005u);
constexpr HResult OutOfMemory = static_cast<HResult>(0x8007000Eu);
constexpr HResult DispException = static_cast<HResult>(0x80020009u);

constexpr bool Failed(HResult hr) { return hr < 0; }

// A Win32 error code as an HRESULT: 0x80070000 with the code's low 16 bits;
// no error code at all stays a success.
constexpr HResult FromWin32(long code) {
  if (code == 0) return Ok;
  return static_cast<HResult>(0x80070000u | (static_cast<std::uint32_t>(code) & 0xFFFFu));
}

}  // namespace hresult
}  // namespace vrpph
