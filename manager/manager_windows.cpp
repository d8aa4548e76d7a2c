#include "manager_windows.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/win32/handles.h"

namespace standin {
namespace {

constexpr ULONG_PTR kClaimQuery = 1;

std::string ReadUserString(const char* path, const char* name, const char* fallback) {
  vrpph::platform::UniqueKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return fallback;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return fallback;
  std::vector<char> data(size + 1, '\0');
  if (RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS) {
    return fallback;
  }
  return std::string(data.data());
}

ManagerState* StateOf(HWND window) {
  return reinterpret_cast<ManagerState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT OnCopyData(ManagerState& state, const COPYDATASTRUCT& data) {
  const char* bytes = static_cast<const char*>(data.lpData);
  std::string text(bytes ? bytes : "", bytes ? data.cbData : 0);
  if (data.dwData == kClaimQuery) {
    const auto& claimed = state.config.claimedUrls;
    const auto& prefixes = state.config.claimedPrefixes;
    const bool byPrefix = std::any_of(prefixes.begin(), prefixes.end(),
                                      [&text](const std::string& prefix) { return text.rfind(prefix, 0) == 0; });
    LRESULT reply = byPrefix || std::find(claimed.begin(), claimed.end(), text) != claimed.end() ? 1 : 0;
    state.log.Write("CLAIM", static_cast<std::uintptr_t>(reply), text);
    return reply;
  }
  state.log.Write("RECORD", data.dwData, text);
  return TRUE;
}

LRESULT CALLBACK ManagerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  ManagerState* state = StateOf(window);
  if (!state) return DefWindowProcA(window, message, wParam, lParam);

  if (message == WM_COPYDATA && lParam) return OnCopyData(*state, *reinterpret_cast<COPYDATASTRUCT*>(lParam));
  if (message == ForwardedSwitchMessage() && window == state->main) {
    if (wParam == static_cast<WPARAM>(ForwardedSwitch::About)) ShowAboutWindow(*state);
    if (wParam == static_cast<WPARAM>(ForwardedSwitch::Options)) ShowOptionsWindow(*state);
    return 0;
  }
  if (message == WM_DESTROY && window == state->main) {
    state->main = nullptr;
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateTopLevel(ManagerState& state, const char* windowClass, const std::string& title, DWORD style) {
  return CreateWindowExA(0, windowClass, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, 360, 160, nullptr,
                         nullptr, state.instance, &state);
}

}  // namespace

UINT ForwardedSwitchMessage() {
  static const UINT message = RegisterWindowMessageA("TrevalonStandInForwardedSwitch");
  return message;
}

bool RegisterManagerClasses(HINSTANCE instance) {
  WNDCLASSA manager{};
  manager.lpfnWndProc = ManagerProc;
  manager.hInstance = instance;
  manager.hCursor = LoadCursor(nullptr, IDC_ARROW);
  manager.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  manager.lpszClassName = kManagerClass;
  WNDCLASSA about = manager;
  about.lpfnWndProc = DefWindowProcA;
  about.lpszClassName = kAboutClass;
  return RegisterClassA(&manager) && RegisterClassA(&about);
}

HWND CreateMainWindow(ManagerState& state, const std::string& title, bool visible) {
  state.main = CreateTopLevel(state, kManagerClass, title, WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0));
  return state.main;
}

void ShowAboutWindow(ManagerState& state) {
  state.log.Write("ABOUT", 0, "");
  CreateTopLevel(state, kAboutClass, "About Quorvane Trevalon", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
}

void ShowOptionsWindow(ManagerState& state) {
  std::string title = OptionsTitle();
  state.log.Write("OPTIONS", 0, title);
  CreateTopLevel(state, kManagerClass, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
}

std::string ManagerTitle() {
  return ReadUserString("Software\\Quorvane\\Trevalon", "ProgramTitle", "Quorvane Trevalon 1.4");
}

std::string OptionsTitle() {
  return ReadUserString("SOFTWARE\\Quorvane\\Trevalon\\Strings", "42", "Trevalon Options");
}

}  // namespace standin
