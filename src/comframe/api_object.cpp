#include "comframe/api_object.h"

#include "automation/automation_api.h"
#include "comframe/com_object.h"
#include "platform/no_throw.h"
#include "platform/win32/win32_platform.h"
#include "prompt/win32/module_prompt.h"
#include "sequence/services.h"

namespace vrpph::comframe {
namespace {

// The interfaces that can carry error information: IAPI alone.
constexpr const IID* kErrorInfoInterfaces[] = {&IID_IAPI};

const char16_t* Text(BSTR text) { return reinterpret_cast<const char16_t*>(text); }

// The interfaces a script reaches the class through.
bool IsScriptedInterface(REFIID iid) { return IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IAPI); }

}  // namespace

HRESULT ApiMethods::DownloadFile(BSTR url, BSTR referer, BSTR path, short* result) {
  // A caller through the interface table may pass no result slot; one
  // through IDispatch always does.
  if (result) *result = 0;
  // Out of memory on the way: nothing sent, and still nothing to report.
  return NoThrow(S_OK, [&] {
    platform::Win32Platform win32;
    ModulePrompt prompt(Module().Instance(), win32.platform);
    ModuleServices services(win32.platform, Module().PromptOpenMode(), prompt.dialog);
    const bool untrusted = safety_.Restricted();
    vrpph::DownloadFile(win32.platform, services,
                        DownloadFileRequest{Text(url), Text(referer), untrusted ? nullptr : Text(path)});
    return S_OK;
  });
}

HRESULT ApiMethods::TQUninstall() {
  if (safety_.Restricted()) return S_OK;
  // As above: the uninstaller is simply not started.
  return NoThrow(S_OK, [] {
    platform::Win32Platform win32;
    vrpph::TQUninstall(win32.platform);
    return S_OK;
  });
}

HRESULT ApiMethods::InterfaceSupportsErrorInfo(REFIID iid) {
  for (const IID* supported : kErrorInfoInterfaces) {
    if (IsEqualIID(iid, *supported)) return S_OK;
  }
  return S_FALSE;
}

HRESULT ApiMethods::GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) {
  if (!supported || !enabled) return E_POINTER;
  if (!IsScriptedInterface(iid)) return E_NOINTERFACE;
  *supported = ScriptSafety::Supported;
  *enabled = safety_.Enabled();
  return S_OK;
}

HRESULT ApiMethods::SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) {
  if (!IsScriptedInterface(iid)) return E_NOINTERFACE;
  return safety_.Set(mask, enabled) ? S_OK : E_FAIL;
}

HRESULT CreateApi(IUnknown* outer, REFIID iid, void** out) { return CreateObject<ApiMethods>(outer, iid, out); }

}  // namespace vrpph::comframe
