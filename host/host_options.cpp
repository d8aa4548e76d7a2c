#include "host_options.h"

#include <cwchar>
#include <cwctype>

namespace browser_host {
namespace {

std::wstring Lowered(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::optional<std::vector<BYTE>> CodesForName(const std::wstring& name) {
  const std::wstring word = Lowered(name);
  if (word == L"shift") return std::vector<BYTE>{VK_SHIFT, VK_LSHIFT};
  if (word == L"ctrl") return std::vector<BYTE>{VK_CONTROL, VK_LCONTROL};
  if (word == L"alt") return std::vector<BYTE>{VK_MENU, VK_LMENU};
  if (word.size() > 2 && word.size() <= 4 && word.compare(0, 2, L"0x") == 0) {
    wchar_t* end = nullptr;
    const unsigned long code = std::wcstoul(word.c_str() + 2, &end, 16);
    if (*end == L'\0' && code > 0 && code < 256) return std::vector<BYTE>{static_cast<BYTE>(code)};
  }
  return std::nullopt;
}

// ANSI bytes of a wide argument, as a form would post them.
std::optional<std::string> AnsiBytes(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  if (size <= 0) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  return bytes;
}

}  // namespace

std::optional<std::vector<BYTE>> KeyCodesFor(const std::wstring& keys) {
  std::vector<BYTE> codes;
  std::size_t start = 0;
  for (;;) {
    const std::size_t plus = keys.find(L'+', start);
    auto named = CodesForName(keys.substr(start, plus == std::wstring::npos ? std::wstring::npos : plus - start));
    if (!named) return std::nullopt;
    codes.insert(codes.end(), named->begin(), named->end());
    if (plus == std::wstring::npos) return codes;
    start = plus + 1;
  }
}

std::variant<HostOptions, std::wstring> ParseHostOptions(const std::vector<std::wstring>& arguments) {
  HostOptions options;
  Navigation next;
  bool pendingOptions = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == L"--timeout" || argument == L"--keys" || argument == L"--post" || argument == L"--from") {
      if (!hasValue) return argument + L" needs a value";
      const std::wstring& value = arguments[++i];
      if (argument == L"--timeout") {
        wchar_t* end = nullptr;
        const unsigned long ms = std::wcstoul(value.c_str(), &end, 10);
        if (value.empty() || *end != L'\0' || ms == 0) return L"--timeout needs a number of milliseconds";
        options.startTimeoutMs = static_cast<DWORD>(ms);
        continue;
      }
      pendingOptions = true;
      if (argument == L"--keys") {
        auto codes = KeyCodesFor(value);
        if (!codes) return L"unknown key in '" + value + L"' (shift, ctrl, alt or 0xNN, joined by '+')";
        next.heldCodes = std::move(*codes);
        next.keysText = value;
      } else if (argument == L"--post") {
        next.postBody = AnsiBytes(value);
        if (!next.postBody) return L"the POST body has no ANSI form";
      } else {
        next.fromPage = value;
      }
      continue;
    }
    if (argument.compare(0, 2, L"--") == 0) return L"unknown option " + argument;
    next.url = argument;
    options.navigations.push_back(std::move(next));
    next = Navigation();
    pendingOptions = false;
  }
  if (pendingOptions) return L"options after the last URL";
  if (options.navigations.empty()) return L"no URL to navigate to";
  return options;
}

}  // namespace browser_host
