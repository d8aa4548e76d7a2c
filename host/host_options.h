// The host's command line:
//
//   browser_host [--timeout MS] NAVIGATION...
//   NAVIGATION := [--keys KEYS] [--post BODY] [--from PAGE] URL
//
// The options before a URL belong to that navigation only. KEYS are the keys
// held down during the click, joined by '+': shift, ctrl, alt or a
// virtual-key code such as 0x5B. BODY makes the navigation a form POST with
// those bytes (the argument in the ANSI code page). PAGE is the page the link
// is on: the host's address bar shows it. MS bounds the wait for each Start.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace browser_host {

struct Navigation {
  std::wstring url;
  std::optional<std::string> postBody;
  // The key codes set down in the thread's key table, siblings included.
  std::vector<BYTE> heldCodes;
  // KEYS as given, "none" without.
  std::wstring keysText = L"none";
  std::optional<std::wstring> fromPage;
};

struct HostOptions {
  DWORD startTimeoutMs = 60000;
  std::vector<Navigation> navigations;
};

// The options, or what is wrong with the command line.
std::variant<HostOptions, std::wstring> ParseHostOptions(const std::vector<std::wstring>& arguments);

// The codes a keyboard sets down for KEYS: "ctrl" sets VK_CONTROL and
// VK_LCONTROL, as a real left Ctrl key does. None when a name is unknown.
std::optional<std::vector<BYTE>> KeyCodesFor(const std::wstring& keys);

}  // namespace browser_host
