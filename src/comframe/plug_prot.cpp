#include "comframe/plug_prot.h"

#include "comframe/com_object.h"
#include "interception/win32/protocol_start.h"
#include "platform/no_throw.h"
#include "platform/win32/win32_platform.h"
#include "prompt/win32/module_prompt.h"
#include "sequence/services.h"

namespace vrpph::comframe {

HRESULT PlugProtMethods::Start(LPCWSTR url, IInternetProtocolSink* /*sink*/, IInternetBindInfo* bindInfo,
                               DWORD /*flags*/, HANDLE_PTR /*reserved*/) {
  // A failure on the way leaves the navigation to the browser.
  return NoThrow(INET_E_USE_DEFAULT_PROTOCOLHANDLER, [&] {
    platform::Win32Platform win32;
    ModulePrompt prompt(Module().Instance(), win32.platform);
    ModuleServices services(win32.platform, Module().PromptOpenMode(), prompt.dialog);
    return StartNavigation(url, bindInfo, win32.platform, services);
  });
}

HRESULT CreatePlugProt(IUnknown* outer, REFIID iid, void** out) { return CreateObject<PlugProtMethods>(outer, iid, out); }

}  // namespace vrpph::comframe
