// The host's output, one line per fact, fields separated by blanks so that
// scripts can read it:
//
//   handler  <scheme> <name> <CLSID> <status> <InprocServer32>
//   frame    <owner window handle>
//   <decision> <Start's result> <verb> keys=<KEYS> <URL>
//
// <decision> is "taken" (the handler keeps the navigation, the browser does
// not fetch it), "declined" (the browser fetches it itself), "answered" (any
// other result of Start) or "unanswered" (Start was not called in time).
#pragma once

#include <windows.h>

#include <string>

#include "host_options.h"
#include "navigator.h"
#include "session_handlers.h"

namespace browser_host {

// Writes one line to standard output as UTF-8, at once.
void PrintLine(const std::wstring& line);
void PrintError(const std::wstring& line);

std::wstring HandlerLine(const SessionHandlers::Loaded& loaded);
std::wstring FrameLine(HWND frame);
std::wstring NavigationLine(const Navigation& navigation, const NavigationReport& report);
// "taken" or "declined" for the two answers a handler may give.
bool IsDecision(const NavigationReport& report);

}  // namespace browser_host
