// The name-space handlers registered for the browser:
// HKCR\PROTOCOLS\Name-Space Handler\<scheme>\<handler> with a CLSID value,
// as DllRegisterServer leaves them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace browser_host {

struct NameSpaceHandler {
  std::wstring scheme;
  std::wstring name;
  CLSID classId{};
  std::wstring classIdText;
  // HKCR\CLSID\{...}\InprocServer32's default value, "" when there is none.
  std::wstring inprocServer;
};

// Every handler of the given schemes that has a readable class id, scheme
// by scheme, each scheme's handlers in registry order.
std::vector<NameSpaceHandler> ReadNameSpaceHandlers(const std::vector<std::wstring>& schemes);

// The scheme of `url` in lower case (the text before its ':'), "" if none.
std::wstring SchemeOf(const std::wstring& url);

}  // namespace browser_host
