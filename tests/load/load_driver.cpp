// Load and faults through the real vrpph.dll and the real stand-in manager.
//
//   load_driver.exe --load [--threads 8] [--starts 2500] [--downloaders 2] [--downloads 600]
//   load_driver.exe --faults [--threads 4] [--seconds 30]
//
// --load: browser threads make Start calls (a declined image, a file taken
// with a remembered action, a URL the manager claims, a forced POST, in
// turn) while script threads call DownloadFile and a writer flips
// AcceptingTypes between two lists and a remembered action between open and
// save every few milliseconds. Every decision must be one the rules give
// for one of the two values of each setting, and the manager must hold
// exactly one well-formed record for every call that was taken.
//
// --faults: threads make taken Start calls for a while, the manager killed
// at random moments meanwhile; the module starts it again from ProgramPath.
// Every call must end with its record at the manager, or declined (the
// browser's fallback), or both (the manager logged it and died before
// answering); a run in which the manager was hardly ever killed proves
// nothing and fails.
//
// Both print their figures on one line and exit 0 only when nothing was
// lost, doubled, torn or wrong and no call waited beyond the sum of the
// bounds the module sets on its path.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <urlmon.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "handoff/delivery.h"
#include "sequence/window_probes.h"
#include "settings/contact_points.h"
#include "vrpph_idl.h"
#include "wine/support/modal_watcher.h"
#include "wine/support/standin_manager.h"
#include "wine/support/test_bind_info.h"
#include "wine/support/vrpph_dll.h"

namespace {

using namespace vrpph;
using wine_tests::StandInManager;

struct Options {
  bool faults = false;
  int threads = 8;
  int starts = 2500;
  int downloaders = 2;
  int downloads = 600;
  // When set, the browser threads go on for this long instead of `starts` calls.
  int seconds = 0;
};

// Kills a fault run must see at least, to count.
constexpr long kFewestKills = 5;

// What a call was, and what it answered.
enum class Kind { Image, File, ListedFile, Claimed, ForcedPost, Download };
struct Call {
  Kind kind = Kind::Image;
  bool taken = false;
  bool answered = false;
  double millis = 0;
};

constexpr const char* kListA = "ZIP, EXE, ";
constexpr const char* kListB = "ZIP, MSI, ";
constexpr const char* kClaimedPrefix = "http://claimed.example/";

void SetText(HKEY root, const char* path, const char* name, const std::string& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(key);
}

void SetNumber(const char* path, const char* name, DWORD number) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  RegCloseKey(key);
}

void Seed(const StandInManager& manager) {
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvane");
  SetText(HKEY_CURRENT_USER, keys::Main, values::AcceptingTypes, kListA);
  SetText(HKEY_CURRENT_USER, keys::Main, values::ProgramPath, manager.ProgramPath());
  // Remembered actions: no call waits for a click. ZIP's is the one that flips.
  for (const char* extension : {"zip", "exe", "msi", "cgi"}) SetNumber(keys::DefAction, extension, 0);
}

void Hold(std::initializer_list<BYTE> codes) {
  BYTE state[256] = {};
  for (BYTE code : codes) state[code] = 0x80;
  SetKeyboardState(state);
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// The URL each kind of call uses for serial `serial`.
std::string UrlOf(Kind kind, long serial) {
  const std::string n = std::to_string(serial);
  switch (kind) {
    case Kind::Image: return "http://images.example/" + n + ".jpg";
    case Kind::File: return "http://files.example/" + n + ".zip";
    case Kind::ListedFile: return "http://files.example/" + n + ".exe";
    case Kind::Claimed: return kClaimedPrefix + n + ".zip";
    case Kind::ForcedPost: return "http://forms.example/" + n + ".cgi";
    case Kind::Download: return "http://downloads.example/" + n + ".zip";
  }
  return {};
}

// The records the rules allow for a taken call: the two Path values stand
// for the two values of the flipping remembered action.
std::vector<std::string> AllowedRecords(Kind kind, long serial) {
  const std::string url = "URL=" + UrlOf(kind, serial);
  switch (kind) {
    case Kind::File: return {url + "\nPath=OPEN", url + "\nPath="};
    case Kind::ListedFile: return {url + "\nPath=OPEN"};
    case Kind::ForcedPost: return {url + "\nPath=OPEN\nPostData=serial=" + std::to_string(serial)};
    case Kind::Download:
      return {url + "\nReferer=http://page.example/\nPath=OPEN", url + "\nReferer=http://page.example/\nPath="};
    default: return {};
  }
}

// The serial the URL field of a record names ("URL=http://host/17.zip"),
// or -1 when there is none.
long SerialIn(const std::string& record) {
  const std::string url = record.substr(0, record.find('\n'));
  const std::size_t slash = url.rfind('/');
  if (url.rfind("URL=", 0) != 0 || slash == std::string::npos || slash + 1 >= url.size()) return -1;
  char* end = nullptr;
  const long serial = std::strtol(url.c_str() + slash + 1, &end, 10);
  return end && *end == '.' ? serial : -1;
}

class Run {
 public:
  explicit Run(const Options& options) : options_(options) {}

  // Start calls on one browser thread, each on an object of its own as the
  // browser makes them.
  void Browse(const wine_tests::LoadedDll& dll, int thread) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Hold({});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options_.seconds);
    for (int i = 0; options_.seconds ? std::chrono::steady_clock::now() < deadline : i < options_.starts; ++i) {
      static const Kind kLoadKinds[] = {Kind::Image, Kind::File, Kind::Claimed, Kind::ForcedPost};
      Kind kind = options_.faults ? Kind::File : kLoadKinds[(i + thread) % 4];
      if (kind == Kind::File && !options_.faults && (i / 4) % 2) kind = Kind::ListedFile;
      const long serial = next_++;
      const std::string url = UrlOf(kind, serial);
      IInternetProtocol* protocol = nullptr;
      if (FAILED(dll.CreateInstance(CLSID_HTTPPlugProt, IID_IInternetProtocol, reinterpret_cast<void**>(&protocol)))) {
        Note(serial, {kind, false, false, 0});
        continue;
      }
      wine_tests::TestBindInfo get = wine_tests::TestBindInfo::Get();
      wine_tests::TestBindInfo post = wine_tests::TestBindInfo::Post("serial=" + std::to_string(serial));
      const bool forced = kind == Kind::ForcedPost;
      if (forced) Hold({VK_CONTROL, VK_MENU});
      const auto begin = std::chrono::steady_clock::now();
      const HRESULT hr = protocol->Start(Wide(url).c_str(), nullptr, forced ? &post : &get, 0, 0);
      const auto end = std::chrono::steady_clock::now();
      if (forced) Hold({});
      protocol->Release();
      const bool answered = hr == S_FALSE || hr == INET_E_USE_DEFAULT_PROTOCOLHANDLER;
      Note(serial, {kind, hr == S_FALSE, answered, std::chrono::duration<double, std::milli>(end - begin).count()});
    }
    CoUninitialize();
  }

  // DownloadFile calls on one script thread.
  void Script(const wine_tests::LoadedDll& dll) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IAPI* api = nullptr;
    if (SUCCEEDED(dll.CreateInstance(CLSID_API, IID_IAPI, reinterpret_cast<void**>(&api)))) {
      for (int i = 0; i < options_.downloads; ++i) {
        const long serial = next_++;
        BSTR url = SysAllocString(Wide(UrlOf(Kind::Download, serial)).c_str());
        BSTR referer = SysAllocString(L"http://page.example/");
        BSTR path = SysAllocString(L"");
        short result = 0;
        const auto begin = std::chrono::steady_clock::now();
        const HRESULT hr = api->DownloadFile(url, referer, path, &result);
        const auto end = std::chrono::steady_clock::now();
        SysFreeString(url);
        SysFreeString(referer);
        SysFreeString(path);
        // DownloadFile reports nothing back: every call counts as taken.
        Note(serial, {Kind::Download, true, hr == S_OK, std::chrono::duration<double, std::milli>(end - begin).count()});
      }
      api->Release();
    }
    CoUninitialize();
  }

  // Both settings flip every few milliseconds until told to stop.
  void Write(std::atomic<bool>& stop) {
    std::mt19937 random(7);
    for (bool a = false; !stop; a = !a) {
      SetText(HKEY_CURRENT_USER, keys::Main, values::AcceptingTypes, a ? kListA : kListB);
      SetNumber(keys::DefAction, "zip", a ? 0 : 1);
      ++flips_;
      Sleep(1 + random() % 5);
    }
  }

  // Kills every stand-in process at random moments until told to stop.
  void Kill(const StandInManager& manager, std::atomic<bool>& stop) {
    std::mt19937 random(11);
    while (!stop) {
      Sleep(50 + random() % 350);
      kills_ += manager.StopAll();
    }
  }

  // Holds every call against the manager's log; prints the figures; true
  // when nothing is wrong.
  bool Judge(const StandInManager& manager, double seconds, const char* module) {
    std::map<long, std::vector<std::string>> records;
    int torn = 0;
    for (const auto& entry : manager.ReadLog()) {
      if (entry.kind != "RECORD") continue;
      const long serial = SerialIn(entry.bytes);
      if (serial < 0 || !calls_.count(serial)) {
        ++torn;
        continue;
      }
      records[serial].push_back(entry.bytes);
    }
    int taken = 0, fallbacks = 0, both = 0, lost = 0, doubled = 0, malformed = 0, wrong = 0, delivered = 0;
    std::map<Kind, double> longest;
    for (const auto& [serial, call] : calls_) {
      longest[call.kind] = std::max(longest[call.kind], call.millis);
      const auto found = records.find(serial);
      const std::size_t count = found == records.end() ? 0 : found->second.size();
      if (count > 1) ++doubled;
      if (count >= 1) {
        const auto allowed = AllowedRecords(call.kind, serial);
        if (std::find(allowed.begin(), allowed.end(), found->second.front()) == allowed.end()) {
          ++malformed;
          if (malformed <= 3) std::printf("malformed record for %ld: %s\n", serial, found->second.front().c_str());
        }
      }
      if (!call.answered) ++wrong;
      if (!WithinTheRules(call)) {
        ++wrong;
        if (wrong <= 3) std::printf("call %ld (kind %d) answered %s\n", serial, static_cast<int>(call.kind),
                                    call.taken ? "taken" : "declined");
      }
      const bool expectsRecord = call.kind != Kind::Claimed && call.kind != Kind::Image;
      if (call.taken) ++taken;
      if (!expectsRecord) continue;
      if (call.taken && count >= 1) ++delivered;
      if (call.taken && count == 0) ++lost;
      if (!call.taken && count == 0 && (options_.faults || call.kind != Kind::ListedFile)) ++fallbacks;
      if (!call.taken && count >= 1) ++both;
    }
    // Load runs never lose the manager: a fallback there is wrong too.
    const int badFallbacks = options_.faults ? 0 : fallbacks + both;
    bool slow = false;
    for (const auto& [kind, millis] : longest) slow = slow || millis > BoundMs(kind) + kSchedulingSlackMs;

    std::printf("figures mode=%s module=%s threads=%d calls=%zu taken=%d records=%d delivered=%d fallbacks=%d "
                "both=%d lost=%d doubled=%d torn=%d malformed=%d wrong=%d flips=%ld kills=%ld seconds=%.1f "
                "per-call-ms=%.2f\n",
                options_.faults ? "faults" : "load", module, options_.threads, calls_.size(), taken,
                static_cast<int>(records.size()), delivered, fallbacks, both, lost, doubled, torn, malformed, wrong,
                flips_.load(), kills_.load(), seconds,
                calls_.empty() ? 0.0 : seconds * 1000.0 * options_.threads / static_cast<double>(calls_.size()));
    static const char* const kNames[] = {"image", "file", "listed-file", "claimed", "forced-post", "download"};
    for (const auto& [kind, millis] : longest) {
      std::printf("longest %s %.0f ms (bounds on its path %.0f ms, plus %.0f ms of scheduling)\n",
                  kNames[static_cast<int>(kind)], millis, BoundMs(kind), kSchedulingSlackMs);
    }
    const bool killedEnough = !options_.faults || kills_ >= kFewestKills;
    if (!killedEnough) std::printf("the manager was killed %ld times: too few to count\n", kills_.load());
    return lost == 0 && doubled == 0 && torn == 0 && malformed == 0 && wrong == 0 && badFallbacks == 0 && !slow &&
           killedEnough;
  }

 private:
  void Note(long serial, const Call& call) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_[serial] = call;
  }

  // A declined image, a claimed URL and a forced post have one answer; a
  // ZIP is in both lists; an EXE is in one of them.
  bool WithinTheRules(const Call& call) const {
    switch (call.kind) {
      case Kind::Image: return !call.taken;
      case Kind::ListedFile: return true;
      case Kind::File:
      case Kind::ForcedPost: return call.taken || options_.faults;
      default: return call.taken;
    }
  }

  // The sum of the bounds the module sets on each kind of call's path: the
  // claim query (each manager window, here at most two), the start with its
  // wait for input idle, the polls and the pause, the send.
  static double BoundMs(Kind kind) {
    const double claim = 2.0 * kClaimQueryTimeoutMs;
    const double start = delivery::InputIdleTimeoutMs + delivery::InterceptionPolls * delivery::PollIntervalMs +
                         delivery::SettleMs;
    switch (kind) {
      case Kind::Image: return 0;
      case Kind::Claimed: return claim;
      case Kind::Download:
        return delivery::AutomationPolls * delivery::PollIntervalMs + delivery::SettleMs + delivery::SendTimeoutMs;
      default: return claim + start + delivery::SendTimeoutMs;
    }
  }
  // What a call may take beyond its bounds: scheduling on a loaded machine.
  static constexpr double kSchedulingSlackMs = 2000;

  const Options& options_;
  std::atomic<long> next_{1};
  std::atomic<long> flips_{0};
  std::atomic<long> kills_{0};
  std::mutex mutex_;
  std::map<long, Call> calls_;
};

Options Parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    auto number = [&](int& field) {
      if (i + 1 < argc) field = std::atoi(argv[++i]);
    };
    if (!std::strcmp(argv[i], "--faults")) {
      options.faults = true;
      options.threads = 4;
      options.seconds = 30;
      options.downloaders = 0;
    }
    if (!std::strcmp(argv[i], "--threads")) number(options.threads);
    if (!std::strcmp(argv[i], "--starts")) number(options.starts);
    if (!std::strcmp(argv[i], "--downloaders")) number(options.downloaders);
    if (!std::strcmp(argv[i], "--downloads")) number(options.downloads);
    if (!std::strcmp(argv[i], "--seconds")) number(options.seconds);
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  StandInManager manager({}, {kClaimedPrefix});
  Seed(manager);
  if (!manager.Launch(" /Invisible") ||
      !StandInManager::WaitForWindow(manager::WindowClass, nullptr, 15000)) {
    std::fprintf(stderr, "the stand-in manager did not start\n");
    return 2;
  }
  const wine_tests::LoadedDll dll;
  if (!dll.get()) {
    std::fprintf(stderr, "cannot load vrpph.dll\n");
    return 2;
  }
  // The module shows a message box when a start fails: answered at once.
  wine_tests::ModalWatcher watcher;

  Run run(options);
  std::atomic<bool> stop{false};
  const auto begin = std::chrono::steady_clock::now();
  std::thread disturber([&] {
    if (options.faults) {
      run.Kill(manager, stop);
    } else {
      run.Write(stop);
    }
  });
  std::vector<std::thread> callers;
  for (int t = 0; t < options.threads; ++t) callers.emplace_back([&, t] { run.Browse(dll, t); });
  for (int t = 0; t < options.downloaders; ++t) callers.emplace_back([&] { run.Script(dll); });
  for (auto& caller : callers) caller.join();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  stop = true;
  disturber.join();

  const bool good = run.Judge(manager, seconds, sizeof(void*) == 8 ? "64-bit" : "32-bit");
  std::printf("message boxes answered: %zu\n", watcher.answered().size());
  manager.StopAll();
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvane");
  return good ? 0 : 1;
}
