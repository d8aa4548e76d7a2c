// A stand-in for the download manager: it honours the contact points the
// module relies on and logs what it receives, so the module can be tested
// and demonstrated against a real peer process.
#include <windows.h>

#include <cctype>
#include <string>

#include "manager_config.h"
#include "manager_log.h"
#include "manager_windows.h"

namespace {

enum class Switch { None, Invisible, About, Options, Uninstall, Other };

// The command line after the program name, exactly as given.
std::string CommandTail(const char* commandLine) {
  const char* p = commandLine ? commandLine : "";
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  return p;
}

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

Switch ParseSwitch(const std::string& tail) {
  std::size_t first = tail.find_first_not_of(" \t");
  if (first == std::string::npos) return Switch::None;
  std::size_t last = tail.find_last_not_of(" \t");
  std::string word = Lowered(tail.substr(first, last - first + 1));
  if (word == "/invisible") return Switch::Invisible;
  if (word == "/about") return Switch::About;
  if (word == "/options") return Switch::Options;
  if (word == "/uninstall") return Switch::Uninstall;
  return Switch::Other;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  standin::ManagerState state{instance, standin::ReadManagerConfig(standin::ExecutableStem()),
                              standin::ManagerLog(""), nullptr};
  state.log = standin::ManagerLog(state.config.logPath);
  const std::string tail = CommandTail(GetCommandLineA());
  state.log.Write("START", 0, tail);

  const Switch given = ParseSwitch(tail);
  if (given == Switch::Uninstall) {
    state.log.Write("UNINSTALL", 0, tail);
    return 0;
  }

  // One instance: a later start hands its switch to the running one.
  const std::string title = standin::ManagerTitle();
  if (HWND running = FindWindowA(standin::kManagerClass, title.c_str())) {
    if (given == Switch::About) {
      PostMessageA(running, standin::ForwardedSwitchMessage(), static_cast<WPARAM>(standin::ForwardedSwitch::About), 0);
    } else if (given == Switch::Options) {
      PostMessageA(running, standin::ForwardedSwitchMessage(),
                   static_cast<WPARAM>(standin::ForwardedSwitch::Options), 0);
    }
    return 0;
  }

  if (!standin::RegisterManagerClasses(instance)) return 1;
  if (!standin::CreateMainWindow(state, title, given == Switch::None || given == Switch::Other)) return 1;
  if (given == Switch::About) standin::ShowAboutWindow(state);
  if (given == Switch::Options) standin::ShowOptionsWindow(state);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
