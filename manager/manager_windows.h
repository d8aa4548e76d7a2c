// The stand-in's windows: the main window the module looks for, the options
// window (same class, titled from string 42) and an About window.
#pragma once

#include <windows.h>

#include <string>

#include "manager_config.h"
#include "manager_log.h"

namespace standin {

constexpr const char* kManagerClass = "{B966C3C5-9030-46FC-B930-1E1603701D5C}";
constexpr const char* kAboutClass = "TrevalonStandInAbout";

// Posted by a second start to the running instance; wParam names the switch.
enum class ForwardedSwitch : WPARAM { About = 1, Options = 2 };
UINT ForwardedSwitchMessage();

struct ManagerState {
  HINSTANCE instance = nullptr;
  ManagerConfig config;
  ManagerLog log;
  HWND main = nullptr;
};

bool RegisterManagerClasses(HINSTANCE instance);
// The main window, titled `title`; shown only when `visible`.
HWND CreateMainWindow(ManagerState& state, const std::string& title, bool visible);
void ShowAboutWindow(ManagerState& state);
void ShowOptionsWindow(ManagerState& state);

// ProgramTitle, or the title the module looks for by default.
std::string ManagerTitle();
// String 42 of the Strings key, or its built-in text.
std::string OptionsTitle();

}  // namespace standin
