#include "host_report.h"

#include <cstdio>
#include <cwchar>

namespace browser_host {
namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  return bytes;
}

void Write(std::FILE* stream, const std::wstring& line) {
  const std::string bytes = Utf8(line) + "\n";
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::fflush(stream);
}

std::wstring Hex(unsigned long value) {
  wchar_t text[16];
  std::swprintf(text, std::size(text), L"0x%08lX", value);
  return text;
}

std::wstring Padded(std::wstring text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), L' ');
  return text;
}

}  // namespace

void PrintLine(const std::wstring& line) { Write(stdout, line); }

void PrintError(const std::wstring& line) { Write(stderr, L"browser_host: " + line); }

std::wstring HandlerLine(const SessionHandlers::Loaded& loaded) {
  const NameSpaceHandler& handler = loaded.handler;
  const std::wstring status = SUCCEEDED(loaded.result) ? L"registered" : L"failed=" + Hex(loaded.result);
  return L"handler  " + Padded(handler.scheme, 6) + L" " + handler.name + L" " + handler.classIdText + L" " + status +
         L" " + (handler.inprocServer.empty() ? L"(no InprocServer32)" : handler.inprocServer);
}

std::wstring FrameLine(HWND frame) {
  return L"frame    " + Hex(static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(frame)));
}

bool IsDecision(const NavigationReport& report) {
  if (!report.startResult) return false;
  return *report.startResult == S_FALSE || *report.startResult == INET_E_USE_DEFAULT_PROTOCOLHANDLER;
}

std::wstring NavigationLine(const Navigation& navigation, const NavigationReport& report) {
  std::wstring decision = L"unanswered";
  std::wstring result = L"-         ";
  if (report.startResult) {
    result = Hex(static_cast<unsigned long>(*report.startResult));
    decision = *report.startResult == S_FALSE                              ? L"taken"
               : *report.startResult == INET_E_USE_DEFAULT_PROTOCOLHANDLER ? L"declined"
                                                                           : L"answered";
  }
  return Padded(decision, 9) + L" " + result + L" " + Padded(navigation.postBody ? L"POST" : L"GET", 4) + L" " +
         Padded(L"keys=" + navigation.keysText, 14) + L" " + navigation.url;
}

}  // namespace browser_host
