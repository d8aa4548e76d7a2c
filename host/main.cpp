// browser_host: a small browser for the download handler. It loads the
// name-space handlers registered for http, https and ftp the way the browser
// does, navigates to the given URLs through urlmon and reports, for each
// navigation, whether the handler took it or left it to the browser.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "browser_frame.h"
#include "host_options.h"
#include "host_report.h"
#include "navigator.h"
#include "session_handlers.h"
#include "start_log.h"

namespace {

constexpr const wchar_t* kUsage =
    L"usage: browser_host [--timeout MS] [--keys KEYS] [--post BODY] [--from PAGE] URL ...\n"
    L"  options before a URL apply to that URL only; KEYS: shift, ctrl, alt or 0xNN joined by '+'";

class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  [[nodiscard]] HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

std::vector<std::wstring> ArgumentsAfterProgram() {
  int count = 0;
  LPWSTR* raw = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> arguments;
  if (!raw) return arguments;
  for (int i = 1; i < count; ++i) arguments.emplace_back(raw[i]);
  LocalFree(raw);
  return arguments;
}

// Each scheme once, in the order the URLs name them.
std::vector<std::wstring> SchemesOf(const std::vector<browser_host::Navigation>& navigations) {
  std::vector<std::wstring> schemes;
  for (const auto& navigation : navigations) {
    const std::wstring scheme = browser_host::SchemeOf(navigation.url);
    if (!scheme.empty() && std::find(schemes.begin(), schemes.end(), scheme) == schemes.end()) {
      schemes.push_back(scheme);
    }
  }
  return schemes;
}

int Run(const browser_host::HostOptions& options) {
  using namespace browser_host;
  ComApartment apartment;
  if (FAILED(apartment.result())) {
    PrintError(L"COM could not be initialised");
    return 1;
  }
  BrowserFrame frame;
  StartLog log;
  SessionHandlers session(SchemesOf(options.navigations), log);
  for (const auto& loaded : session.handlers()) PrintLine(HandlerLine(loaded));
  if (session.RegisteredCount() == 0) {
    PrintError(L"no name-space handler could be registered (HKCR\\PROTOCOLS\\Name-Space Handler)");
    return 1;
  }
  PrintLine(FrameLine(frame.window()));

  int status = 0;
  for (const Navigation& navigation : options.navigations) {
    // Without a handler urlmon would fetch the URL itself, from the network.
    if (!session.Handles(SchemeOf(navigation.url))) {
      PrintLine(NavigationLine(navigation, NavigationReport{}));
      PrintError(L"no name-space handler for " + navigation.url + L"; not navigated");
      status = 1;
      continue;
    }
    frame.Present(navigation.fromPage);
    const NavigationReport report = Navigate(navigation, log, options.startTimeoutMs);
    PrintLine(NavigationLine(navigation, report));
    if (!IsDecision(report)) status = 1;
    if (report.startResult && !report.bindEnded) {
      PrintError(L"the bind of " + navigation.url + L" did not end");
      status = 1;
    }
  }
  return status;
}

}  // namespace

int main() {
  auto parsed = browser_host::ParseHostOptions(ArgumentsAfterProgram());
  if (auto* problem = std::get_if<std::wstring>(&parsed)) {
    browser_host::PrintError(*problem);
    browser_host::PrintError(kUsage);
    return 2;
  }
  return Run(std::get<browser_host::HostOptions>(parsed));
}
