// The leak check's Windows half: drives vrpph.dll through many Start and
// DownloadFile calls in phases and stops between phases, so that
// tests/leak/leak_check.sh can read this process's /proc entries from the
// Linux side while nothing runs.
//
//   leak_driver.exe [--starts N] [--downloads N] [--leak-bytes N] [--leak-handles]
//
// Phases: a warm-up, then N Start calls (half declined, half taken), then N
// DownloadFile calls. Before and after the measured phases it prints
//   checkpoint <name> <lowest free handle slot> <handle count>
// and waits for a line on its input. The two --leak options add a leak of
// their own to every call, so the check can be seen to catch one.
#include <windows.h>
#include <oleauto.h>
#include <urlmon.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "settings/contact_points.h"
#include "vrpph_idl.h"
#include "wine/support/test_bind_info.h"
#include "wine/support/vrpph_dll.h"

namespace {

using namespace vrpph;

struct Options {
  int starts = 20000;
  int downloads = 2000;
  std::size_t leakBytes = 0;
  bool leakHandles = false;
};

// The download manager's window on a thread of its own: claims the URLs
// that say "claimed", takes every record.
class ManagerWindow {
 public:
  ManagerWindow() : ready_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), thread_([this] { Run(); }) {
    WaitForSingleObject(ready_, 10000);
  }
  ManagerWindow(const ManagerWindow&) = delete;
  ManagerWindow& operator=(const ManagerWindow&) = delete;
  ~ManagerWindow() {
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    thread_.join();
    CloseHandle(ready_);
  }
  [[nodiscard]] long records() const { return records_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ManagerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_COPYDATA && self) {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      const std::string bytes(static_cast<const char*>(data->lpData), data->cbData);
      if (data->dwData == manager::ClaimQueryTag) return bytes.find("claimed") != std::string::npos;
      InterlockedIncrement(&self->records_);
      return 1;
    }
    if (message == WM_DESTROY) {
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }
  void Run() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &ManagerWindow::Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = manager::WindowClass;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, manager::WindowClass, manager::DefaultTitle, WS_OVERLAPPED, 0, 0, 100, 100,
                              nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window_) SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetEvent(ready_);
    MSG message;
    while (window_ && GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  }

  HANDLE ready_;
  HWND window_ = nullptr;
  volatile LONG records_ = 0;
  std::thread thread_;
};

// The lowest free slot of the handle table: it moves up only while handles
// stay open, so a leak of handles shows even where Wine's count is rough.
unsigned LowestFreeHandleSlot() {
  HANDLE probe = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &probe, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    return 0;
  }
  const auto slot = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(probe) / 4);
  CloseHandle(probe);
  return slot;
}

void Checkpoint(const char* name) {
  DWORD handles = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handles);
  std::printf("checkpoint %s %u %lu\n", name, LowestFreeHandleSlot(), handles);
  std::fflush(stdout);
  char line[64];
  if (!std::fgets(line, sizeof line, stdin)) std::exit(3);
}

void Seed() {
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvane");
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, keys::Main, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != 0) {
    std::exit(2);
  }
  const char* accepting = "ZIP, EXE, RAR, MSI, ";
  RegSetValueExA(key, values::AcceptingTypes, 0, REG_SZ, reinterpret_cast<const BYTE*>(accepting),
                 static_cast<DWORD>(std::strlen(accepting) + 1));
  RegCloseKey(key);
  // A remembered action: the taken calls go to the manager without a dialog.
  HKEY actions = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, keys::DefAction, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &actions,
                      nullptr) == 0) {
    const DWORD open = 0;
    RegSetValueExA(actions, "zip", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&open), sizeof open);
    RegCloseKey(actions);
  }
}

void Hold(std::initializer_list<BYTE> codes) {
  BYTE state[256] = {};
  for (BYTE code : codes) state[code] = 0x80;
  SetKeyboardState(state);
}

void AddOwnLeaks(const Options& options) {
  if (options.leakBytes) {
    void* kept = HeapAlloc(GetProcessHeap(), 0, options.leakBytes);
    if (kept) std::memset(kept, 1, options.leakBytes);
  }
  if (options.leakHandles) CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

// One of four kinds of navigation, in turn: an image declined, a file
// delivered, a file the manager claims, a forced form post delivered.
bool StartOne(IInternetProtocol* protocol, int i, const Options& options) {
  static const wchar_t* const kUrls[] = {L"http://images.example.com/photo.jpg", L"http://files.example.com/a.zip",
                                         L"http://files.example.com/claimed.zip", L"http://files.example.com/b.zip"};
  const int kind = i % 4;
  wine_tests::TestBindInfo get = wine_tests::TestBindInfo::Get();
  wine_tests::TestBindInfo post = wine_tests::TestBindInfo::Post("name=value&file=b.zip");
  if (kind == 3) Hold({VK_CONTROL, VK_MENU});
  const HRESULT hr = protocol->Start(kUrls[kind], nullptr, kind == 3 ? &post : &get, 0, 0);
  if (kind == 3) Hold({});
  AddOwnLeaks(options);
  return hr == (kind == 0 ? INET_E_USE_DEFAULT_PROTOCOLHANDLER : S_FALSE);
}

bool DownloadOne(IAPI* api, int i, const Options& options) {
  BSTR url = SysAllocString(i % 2 ? L"http://files.example.com/a%20b.zip" : L"ftp://files.example.com/c.zip");
  BSTR referer = SysAllocString(L"http://www.example.com/page.html");
  BSTR path = SysAllocString(i % 2 ? L"" : L"D:\\downloads\\c.zip");
  short result = 0;
  const HRESULT hr = api->DownloadFile(url, referer, path, &result);
  SysFreeString(url);
  SysFreeString(referer);
  SysFreeString(path);
  AddOwnLeaks(options);
  return hr == S_OK;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--starts") && i + 1 < argc) options.starts = std::atoi(argv[++i]);
    if (!std::strcmp(argv[i], "--downloads") && i + 1 < argc) options.downloads = std::atoi(argv[++i]);
    if (!std::strcmp(argv[i], "--leak-bytes") && i + 1 < argc) options.leakBytes = std::strtoul(argv[++i], nullptr, 10);
    if (!std::strcmp(argv[i], "--leak-handles")) options.leakHandles = true;
  }
  Seed();
  Hold({});
  ManagerWindow manager;

  const wine_tests::LoadedDll dll;
  IInternetProtocol* protocol = nullptr;
  IAPI* api = nullptr;
  if (FAILED(dll.CreateInstance(CLSID_HTTPPlugProt, IID_IInternetProtocol, reinterpret_cast<void**>(&protocol))) ||
      FAILED(dll.CreateInstance(CLSID_API, IID_IAPI, reinterpret_cast<void**>(&api)))) {
    std::fprintf(stderr, "cannot create the classes of vrpph.dll\n");
    if (protocol) protocol->Release();
    return 2;
  }

  int wrong = 0;
  // Warm-up: every code path once and again, so that lazy one-time state
  // (loaded DLLs, caches, heap arenas) is in place before the first reading.
  for (int i = 0; i < 2000; ++i) wrong += !StartOne(protocol, i, Options{});
  for (int i = 0; i < 400; ++i) wrong += !DownloadOne(api, i, Options{});

  Checkpoint("before-starts");
  for (int i = 0; i < options.starts; ++i) wrong += !StartOne(protocol, i, options);
  Checkpoint("after-starts");
  for (int i = 0; i < options.downloads; ++i) wrong += !DownloadOne(api, i, options);
  Checkpoint("after-downloads");

  std::printf("calls %d starts %d downloads, %ld records, %d unexpected answers\n", options.starts,
              options.downloads, manager.records(), wrong);
  api->Release();
  protocol->Release();
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvane");
  return wrong == 0 ? 0 : 1;
}
