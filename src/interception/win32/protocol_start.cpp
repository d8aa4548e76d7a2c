#include "interception/win32/protocol_start.h"

#include <algorithm>

namespace vrpph {

namespace {

// The structure as this module's callers know it: every field up to
// dwReserved, 84 bytes in a 32-bit process and 128 in a 64-bit one.
static_assert(sizeof(BINDINFO) == (sizeof(void*) == 4 ? 84 : 128));

// Gives back what GetBindInfo handed out, however the call went.
class BindInfoHolder {
 public:
  BindInfoHolder() { info_.cbSize = sizeof info_; }
  BindInfoHolder(const BindInfoHolder&) = delete;
  BindInfoHolder& operator=(const BindInfoHolder&) = delete;
  ~BindInfoHolder() { ReleaseBindInfo(&info_); }
  BINDINFO& get() { return info_; }

 private:
  BINDINFO info_{};
};

// At most `size` bytes of a global-memory block, never beyond the block.
std::string ReadGlobalBytes(HGLOBAL memory, DWORD size) {
  if (!memory || size == 0) return {};
  const SIZE_T available = GlobalSize(memory);
  const void* bytes = GlobalLock(memory);
  if (!bytes) return {};
  std::string copy(static_cast<const char*>(bytes), std::min<SIZE_T>(size, available));
  GlobalUnlock(memory);
  return copy;
}

}  // namespace

RequestContent ReadRequestContent(IInternetBindInfo* bindInfo) {
  RequestContent content;
  if (!bindInfo) return content;
  BindInfoHolder holder;
  BINDINFO& info = holder.get();
  DWORD bindFlags = 0;
  if (FAILED(bindInfo->GetBindInfo(&bindFlags, &info))) return content;
  if (info.dwBindVerb != BINDVERB_POST) {
    content.verb = info.dwBindVerb == BINDVERB_GET ? RequestVerb::Get : RequestVerb::Other;
    return content;
  }
  content.verb = RequestVerb::Post;
  if (info.stgmedData.tymed == TYMED_HGLOBAL) content.body = ReadGlobalBytes(info.stgmedData.hGlobal, info.cbstgmedData);
  return content;
}

HRESULT StartNavigation(LPCWSTR url, IInternetBindInfo* bindInfo, platform::Platform& platform,
                        SequenceServices& services) {
  NavigationRequest request;
  // The window in front before anything else happens.
  request.owner = platform.desktop.ForegroundWindow();
  request.url = reinterpret_cast<const char16_t*>(url);
  RequestContent content = ReadRequestContent(bindInfo);
  request.verb = content.verb;
  request.body = std::move(content.body);
  return DecideNavigation(request, platform, services) == NavigationAnswer::Take ? S_FALSE
                                                                                 : INET_E_USE_DEFAULT_PROTOCOLHANDLER;
}

}  // namespace vrpph
