// Shows the download prompt of the vrpph.dll beside this program, the way a
// host calls DllShowOpenDialog, so that a picture can be taken of it.
//
// Usage: show_prompt URL DONE-FILE
// Prints the dialog's screen rectangle ("left top right bottom") once it is
// drawn, then cancels it as soon as DONE-FILE exists, or after 60 seconds.
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>

#include "platform/win32/handles.h"

namespace {

using ShowOpenDialog = BOOL(WINAPI*)(HWND, LPCSTR, LPCSTR);

constexpr DWORD kFindTimeoutMs = 30000;
constexpr DWORD kShowTimeoutMs = 60000;

BOOL CALLBACK FindPrompt(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char windowClass[16] = {};
  GetClassNameA(window, windowClass, sizeof windowClass);
  if (process == GetCurrentProcessId() && lstrcmpA(windowClass, "#32770") == 0 && IsWindowVisible(window) &&
      GetDlgItem(window, 1001)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

std::string DllBesideProgram() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length < MAX_PATH ? length : 0);
  folder.erase(folder.find_last_of("\\/") + 1);
  return folder + "vrpph.dll";
}

void AnswerWhenDone(const std::string& doneFile) {
  HWND prompt = nullptr;
  for (DWORD waited = 0; !prompt && waited < kFindTimeoutMs; waited += 50) {
    EnumWindows(FindPrompt, reinterpret_cast<LPARAM>(&prompt));
    if (!prompt) Sleep(50);
  }
  if (!prompt) return;
  // Give the dialog time to paint itself completely.
  Sleep(1000);
  RECT rect = {};
  GetWindowRect(prompt, &rect);
  std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
  std::fflush(stdout);
  for (DWORD waited = 0; waited < kShowTimeoutMs; waited += 100) {
    if (GetFileAttributesA(doneFile.c_str()) != INVALID_FILE_ATTRIBUTES) break;
    Sleep(100);
  }
  PostMessageA(prompt, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: show_prompt URL DONE-FILE\n");
    return 2;
  }
  const vrpph::platform::UniqueModule dll(LoadLibraryA(DllBesideProgram().c_str()));
  auto show = vrpph::platform::GetProc<ShowOpenDialog>(dll.get(), "DllShowOpenDialog");
  if (!show) {
    std::fprintf(stderr, "show_prompt: cannot load DllShowOpenDialog from %s\n", DllBesideProgram().c_str());
    return 1;
  }
  std::thread watcher(AnswerWhenDone, std::string(argv[2]));
  show(nullptr, argv[1], nullptr);
  watcher.join();
  return 0;
}
