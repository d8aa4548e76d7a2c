// Start's decline path for a typical page sub-resource (an image whose type
// is not accepted) under Wine, timed in the same run as its floor: the
// platform calls no implementation of the rules can avoid (the foreground
// window, two key-state snapshots, and one open main key from which the
// settings the rules need are read). Also timed: the naive way of reading
// the same settings (one open and close of the key per value).
//
//   vrpph_start_bench.exe [--calls N] [--rounds R]
//       prints one line per variant: name, median and best ns per call over
//       the rounds, and the median's ratio to the floor's.
//   vrpph_start_bench.exe --trace VARIANT [--calls N]
//       warms up, then runs N calls of VARIANT between two marker atoms, so
//       that a WINEDEBUG=+server log can be cut to exactly those calls.
#include <windows.h>
#include <urlmon.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "interception/win32/protocol_start.h"
#include "naive_decline.h"
#include "platform/win32/win32_platform.h"
#include "settings/contact_points.h"
#include "wine/support/test_bind_info.h"
#include "wine/support/vrpph_dll.h"

namespace {

using namespace vrpph;

constexpr const wchar_t* kUrl = L"http://images.example.com/gallery/2024/photo_0042.jpg";
constexpr CLSID kHttpPlugProt = {0xE131C96E, 0x4DDB, 0x11D4, {0x84, 0xB8, 0x00, 0x80, 0x48, 0xB3, 0x3D, 0xEA}};
constexpr const char* kMarkerBegin = "vrpph-bench-begin";
constexpr const char* kMarkerEnd = "vrpph-bench-end";

// The configuration of a typical user, written for the run and removed after.
class TypicalSettings {
 public:
  TypicalSettings() {
    Clear();
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keys::Main, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != 0) {
      return;
    }
    auto text = [&](const char* name, const char* value) {
      RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(strlen(value) + 1));
    };
    auto bytes = [&](const char* name, std::initializer_list<BYTE> codes) {
      std::vector<BYTE> data(codes);
      RegSetValueExA(key, name, 0, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
    };
    text(values::AcceptingTypes, "ZIP, EXE, RAR, MSI, 7Z, ISO, MP3, AVI, MPG, MOV, PDF, ARJ, LZH, BIN, TAR, GZ, ");
    text(values::ExcludeFileNames, "");
    text(values::UseCtrlAlt, "FALSE");
    text(values::DecodeUrls, "TRUE");
    text(values::AutoLearn, "TRUE");
    text(values::ProgramTitle, manager::DefaultTitle);
    bytes(values::KeysToIgnore, {0x10});
    bytes(values::KeysToAdd, {0x12, 0x11});
    RegCloseKey(key);
    ok_ = true;
  }
  TypicalSettings(const TypicalSettings&) = delete;
  TypicalSettings& operator=(const TypicalSettings&) = delete;
  ~TypicalSettings() { Clear(); }
  [[nodiscard]] bool ok() const { return ok_; }

 private:
  static void Clear() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvane"); }
  bool ok_ = false;
};

// The floor: what any implementation of the rules must ask the platform for
// a declined image: the owner window, both key snapshots (nothing is down,
// so no combination is read), and UseCtrlAlt, DecodeURLs and AcceptingTypes
// from one open key.
bool FloorCall() {
  volatile HWND owner = GetForegroundWindow();
  (void)owner;
  BYTE ignore[256], add[256];
  GetKeyboardState(ignore);
  GetKeyboardState(add);
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keys::Main, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  char buffer[1024];
  for (const char* name : {values::UseCtrlAlt, values::DecodeUrls, values::AcceptingTypes}) {
    DWORD size = sizeof buffer;
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  }
  RegCloseKey(key);
  return true;
}

struct Variant {
  const char* name;
  std::function<bool()> call;  // true when the call declined (or, for the floor, ran)
};

double TimeCalls(const Variant& variant, int calls, bool* allDeclined) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  bool declined = true;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < calls; ++i) declined &= variant.call();
  QueryPerformanceCounter(&end);
  *allDeclined &= declined;
  return static_cast<double>(end.QuadPart - start.QuadPart) * 1e9 / static_cast<double>(frequency.QuadPart) / calls;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int calls = 2000, rounds = 15;
  std::string trace;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--calls")) calls = std::max(1, std::atoi(argv[i + 1]));
    if (!std::strcmp(argv[i], "--rounds")) rounds = std::max(1, std::atoi(argv[i + 1]));
    if (!std::strcmp(argv[i], "--trace")) trace = argv[i + 1];
  }

  TypicalSettings settings;
  if (!settings.ok()) {
    std::fprintf(stderr, "cannot write the settings\n");
    return 2;
  }
  BYTE nothingDown[256] = {};
  SetKeyboardState(nothingDown);

  const wine_tests::LoadedDll dll;
  IInternetProtocol* protocol = nullptr;
  if (FAILED(dll.CreateInstance(kHttpPlugProt, IID_IInternetProtocol, reinterpret_cast<void**>(&protocol)))) {
    std::fprintf(stderr, "cannot create HTTPPlugProt from vrpph.dll\n");
    return 2;
  }
  // A browser's GET, as plain as bind information comes.
  wine_tests::TestBindInfo bindInfo = wine_tests::TestBindInfo::Get();

  const std::vector<Variant> variants = {
      {"floor", [] { return FloorCall(); }},
      {"current", [&] { return protocol->Start(kUrl, nullptr, &bindInfo, 0, 0) == INET_E_USE_DEFAULT_PROTOCOLHANDLER; }},
      {"naive", [&] {
         platform::Win32Platform win32;
         volatile platform::WindowHandle owner = win32.desktop.ForegroundWindow();
         (void)owner;
         RequestContent content = ReadRequestContent(&bindInfo);
         (void)content;
         return bench::NaiveScreening(reinterpret_cast<const char16_t*>(kUrl), win32.platform) ==
                NavigationAnswer::Decline;
       }},
  };

  int status = 0;
  if (!trace.empty()) {
    auto variant = std::find_if(variants.begin(), variants.end(), [&](const Variant& v) { return trace == v.name; });
    if (variant == variants.end()) {
      std::fprintf(stderr, "no variant %s\n", trace.c_str());
      status = 2;
    } else {
      bool declined = true;
      for (int i = 0; i < 100; ++i) declined &= variant->call();
      // Each marker is one request; nothing else runs between them.
      const ATOM begin = GlobalAddAtomA(kMarkerBegin);
      for (int i = 0; i < calls; ++i) declined &= variant->call();
      const ATOM end = GlobalAddAtomA(kMarkerEnd);
      GlobalDeleteAtom(end);
      GlobalDeleteAtom(begin);
      std::printf("%s %d calls traced\n", variant->name, calls);
      if (!declined) status = 1;
    }
  } else {
    std::vector<std::vector<double>> perCall(variants.size());
    bool declined = true;
    // Interleaved rounds: a busy machine slows all variants alike.
    for (int round = 0; round < rounds; ++round) {
      for (std::size_t v = 0; v < variants.size(); ++v) perCall[v].push_back(TimeCalls(variants[v], calls, &declined));
    }
    const double floor = Median(perCall[0]);
    std::printf("%-8s %12s %12s %8s\n", "variant", "median_ns", "best_ns", "ratio");
    for (std::size_t v = 0; v < variants.size(); ++v) {
      std::printf("%-8s %12.0f %12.0f %8.2f\n", variants[v].name, Median(perCall[v]),
                  *std::min_element(perCall[v].begin(), perCall[v].end()), Median(perCall[v]) / floor);
    }
    if (!declined) {
      std::fprintf(stderr, "a call did not decline\n");
      status = 1;
    }
  }
  protocol->Release();
  return status;
}
