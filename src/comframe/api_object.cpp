#include "comframe/api_object.h"

#include "comframe/com_object.h"
#include "handoff/automation_api.h"
#include "handoff/module_download_services.h"
#include "platform/win32/win32_platform.h"
#include "prompt/win32/module_prompt_dialog.h"

namespace vrpph::comframe {
namespace {

// The interfaces that can carry error information: IAPI alone.
constexpr const IID* kErrorInfoInterfaces[] = {&IID_IAPI};

const char16_t* Text(BSTR text) { return reinterpret_cast<const char16_t*>(text); }

}  // namespace

HRESULT ApiMethods::DownloadFile(BSTR url, BSTR referer, BSTR path, short* result) {
  // A caller through the interface table may pass no result slot; one
  // through IDispatch always does.
  if (result) *result = 0;
  try {
    platform::Win32Platform win32;
    ModulePromptDialog dialog(Module().Instance(), win32.platform);
    ModuleDownloadServices services(win32.platform, Module().PromptOpenMode(), &dialog);
    vrpph::DownloadFile(win32.platform, services, DownloadFileRequest{Text(url), Text(referer), Text(path)});
  } catch (...) {
    // Out of memory on the way: nothing sent, and still nothing to report.
  }
  return S_OK;
}

HRESULT ApiMethods::TQUninstall() {
  try {
    platform::Win32Platform win32;
    vrpph::TQUninstall(win32.platform);
  } catch (...) {
    // As above: the uninstaller is simply not started.
  }
  return S_OK;
}

HRESULT ApiMethods::InterfaceSupportsErrorInfo(REFIID iid) {
  for (const IID* supported : kErrorInfoInterfaces) {
    if (IsEqualIID(iid, *supported)) return S_OK;
  }
  return S_FALSE;
}

HRESULT CreateApi(IUnknown* outer, REFIID iid, void** out) { return CreateObject<ApiMethods>(outer, iid, out); }

}  // namespace vrpph::comframe
