#include "name_space_handlers.h"

#include <objbase.h>

#include <cwctype>

#include "registry_key.h"

namespace browser_host {
namespace {

constexpr const wchar_t* kNameSpaceRoot = L"PROTOCOLS\\Name-Space Handler";

std::wstring InprocServerOf(const std::wstring& classIdText) {
  auto key = RegistryKey::Open(HKEY_CLASSES_ROOT, L"CLSID\\" + classIdText + L"\\InprocServer32");
  if (!key) return L"";
  return key->Text(L"").value_or(L"");
}

}  // namespace

std::wstring SchemeOf(const std::wstring& url) {
  const std::size_t colon = url.find(L':');
  if (colon == std::wstring::npos || colon == 0) return L"";
  std::wstring scheme = url.substr(0, colon);
  for (wchar_t& c : scheme) c = static_cast<wchar_t>(std::towlower(c));
  return scheme;
}

std::vector<NameSpaceHandler> ReadNameSpaceHandlers(const std::vector<std::wstring>& schemes) {
  std::vector<NameSpaceHandler> handlers;
  auto root = RegistryKey::Open(HKEY_CLASSES_ROOT, kNameSpaceRoot);
  if (!root) return handlers;
  for (const std::wstring& scheme : schemes) {
    auto schemeKey = RegistryKey::Open(root->get(), scheme);
    if (!schemeKey) continue;
    for (const std::wstring& name : schemeKey->SubkeyNames()) {
      auto handlerKey = RegistryKey::Open(schemeKey->get(), name);
      if (!handlerKey) continue;
      auto classIdText = handlerKey->Text(L"CLSID");
      NameSpaceHandler handler;
      if (!classIdText || FAILED(CLSIDFromString(classIdText->c_str(), &handler.classId))) continue;
      handler.scheme = scheme;
      handler.name = name;
      handler.classIdText = *classIdText;
      handler.inprocServer = InprocServerOf(*classIdText);
      handlers.push_back(std::move(handler));
    }
  }
  return handlers;
}

}  // namespace browser_host
