// The registered name-space handlers, each loaded through COM and
// registered with urlmon's internet session behind a recording factory,
// since Wine's urlmon does not read the Name-Space Handler keys itself.
// Unregistered again when the object goes.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include <vector>

#include "name_space_handlers.h"
#include "start_log.h"

namespace browser_host {

class SessionHandlers {
 public:
  struct Loaded {
    NameSpaceHandler handler;
    // CoGetClassObject's result, then RegisterNameSpace's.
    HRESULT result = E_UNEXPECTED;
  };

  // The handlers of `schemes`.
  SessionHandlers(const std::vector<std::wstring>& schemes, StartLog& log);
  SessionHandlers(const SessionHandlers&) = delete;
  SessionHandlers& operator=(const SessionHandlers&) = delete;
  ~SessionHandlers();

  [[nodiscard]] const std::vector<Loaded>& handlers() const { return handlers_; }
  [[nodiscard]] std::size_t RegisteredCount() const { return registered_.size(); }
  // Whether a handler was registered for `scheme` (lower case).
  [[nodiscard]] bool Handles(const std::wstring& scheme) const;

 private:
  struct Registered {
    std::wstring scheme;
    ComRef<IClassFactory> factory;
  };
  HRESULT Register(const NameSpaceHandler& handler, StartLog& log);

  ComRef<IInternetSession> session_;
  std::vector<Loaded> handlers_;
  std::vector<Registered> registered_;
};

}  // namespace browser_host
