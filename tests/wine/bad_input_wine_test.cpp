// What a hostile or broken world sends vrpph.dll, on the real platform:
// Start and DownloadFile with URLs from 0 bytes to 1 MB, unpaired
// surrogates and characters outside code page 1252, '?' '#' '.' anywhere,
// POST bodies of nothing, NUL bytes and 16 MB, settings stored wrongly,
// and a download manager that hangs or goes away. Each decision is held
// against tests/support/decision_oracle over Wine's own registry and ANSI
// conversions; no wait may outlast its bound.
#include <windows.h>
#include <oleauto.h>
#include <urlmon.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/win32_text.h"
#include "support/decision_oracle.h"
#include "vrpph_idl.h"
#include "wine/support/interception_settings.h"
#include "wine/support/modal_watcher.h"
#include "wine/support/owned_bstr.h"
#include "wine/support/strict_sink.h"
#include "wine/support/test_bind_info.h"
#include "wine/support/test_manager_window.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

using platform::root::CurrentUser;
using testing::ExpectedScreening;
using Outcome = ExpectedScreening::Outcome;

constexpr HRESULT kTake = S_FALSE;
constexpr HRESULT kDecline = INET_E_USE_DEFAULT_PROTOCOLHANDLER;

std::wstring WideOf(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }
std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

// The FileName field of a record (always its last), or none.
std::optional<std::string> FileNameField(const std::string& record) {
  const std::size_t at = record.find("\nFileName=");
  if (at == std::string::npos) return std::nullopt;
  return record.substr(at + 10);
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class BadInputWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(dll_.get(), nullptr);
    ASSERT_EQ(dll_.CreateInstance(CLSID_HTTPPlugProt, IID_IInternetProtocol, reinterpret_cast<void**>(&protocol_)), S_OK);
    settings_.Main(values::AcceptingTypes, "ZIP, EXE, ");
    // Remembered actions: an accepted file, or a redirect page, goes
    // straight to the manager, without a dialog to wait for.
    for (const char* extension : {"zip", "exe", "asp"}) {
      testing::SetDword(settings_.registry, CurrentUser, keys::DefAction, extension, 0);
    }
  }
  void TearDown() override {
    if (protocol_) protocol_->Release();
  }

  HRESULT Start(const std::wstring& url, TestBindInfo* bindInfo = nullptr) {
    return protocol_->Start(url.c_str(), &sink_, bindInfo, 0, 0);
  }

  // Start, checked against the plain reading of the rules on this platform.
  // A navigation the rules bring to the prompt either reaches the manager
  // (a remembered action) or a dialog, which the watcher cancels.
  HRESULT StartAsTheRulesSay(const std::wstring& url, TestBindInfo* bindInfo = nullptr,
                             RequestVerb verb = RequestVerb::Get) {
    platform::KeyStateTable keys{};
    GetKeyboardState(keys.data());
    platform::Win32Text text;
    testing::OracleWorld oracle{settings_.registry, text, keys};
    lastExpected_ = testing::ExpectScreening(oracle, reinterpret_cast<const char16_t*>(url.c_str()), verb);
    const std::size_t records = manager_->received().size();
    const std::size_t dialogs = watcher_->answered().size();
    const HRESULT hr = Start(url, bindInfo);
    const auto received = manager_->received();
    // Claim queries carry tag 1; records carry the owner window.
    std::vector<std::string> newRecords;
    for (std::size_t i = records; i < received.size(); ++i) {
      if (received[i].dwData != manager::ClaimQueryTag) newRecords.push_back(received[i].bytes);
    }
    lastRecord_ = newRecords.empty() ? std::string() : newRecords.back();
    // The manager window found by its title: the hand-off fails for any
    // other stored title, and the browser gets the navigation back.
    auto title = testing::GetValue(settings_.registry, CurrentUser, keys::Main, values::ProgramTitle);
    std::string titleText = title ? std::string(title->bytes.begin(), title->bytes.end()) : manager::DefaultTitle;
    const bool reachable = titleText.substr(0, titleText.find('\0')) == manager::DefaultTitle;
    if (lastExpected_.outcome == Outcome::Prompt) {
      const bool dialogAnswered = watcher_->answered().size() > dialogs;
      if (!reachable && !dialogAnswered) {
        EXPECT_EQ(hr, kDecline);
        EXPECT_TRUE(newRecords.empty());
      } else if (newRecords.empty()) {
        EXPECT_EQ(hr, kTake);
        EXPECT_TRUE(dialogAnswered) << "neither a record nor a dialog";
      } else {
        EXPECT_EQ(hr, kTake);
        EXPECT_EQ(newRecords.size(), 1u);
        EXPECT_EQ(lastRecord_.compare(0, lastExpected_.url.size() + 5, "URL=" + lastExpected_.url + "\n"), 0)
            << lastRecord_.substr(0, 200);
        EXPECT_EQ(FileNameField(lastRecord_), lastExpected_.fileName);
      }
    } else {
      EXPECT_EQ(hr, kDecline);
      EXPECT_TRUE(newRecords.empty()) << "a record the rules do not allow";
      EXPECT_EQ(watcher_->answered().size(), dialogs) << "a prompt the rules do not allow";
    }
    return hr;
  }

  // Whatever it is sent, Start answers by its result alone.
  StrictSink sink_{StrictSink::NoCalls()};
  LoadedDll dll_;
  IInternetProtocol* protocol_ = nullptr;
  SeededSettings settings_;
  HeldKeys keys_;
  // Claims nothing; takes every record.
  std::unique_ptr<TestManagerWindow> manager_ = std::make_unique<TestManagerWindow>(manager::DefaultTitle, 0);
  // Cancels every dialog unless a test wants another answer.
  std::unique_ptr<ModalWatcher> watcher_ = std::make_unique<ModalWatcher>(IDCANCEL);
  ExpectedScreening lastExpected_;
  std::string lastRecord_;
};

TEST_F(BadInputWineTest, UrlsFromEmptyToOneMegabyte) {
  EXPECT_EQ(StartAsTheRulesSay(L""), kDecline);
  for (std::size_t size : {2u << 10, 64u << 10, 1u << 20}) {
    SCOPED_TRACE(size);
    const std::string head = "http://host/";
    std::string path(size - head.size() - 4, 'a');
    for (std::size_t i = 64; i < path.size(); i += 64) path[i] = '/';
    EXPECT_EQ(StartAsTheRulesSay(WideOf(head + path + ".zip")), kTake);
    EXPECT_EQ(lastRecord_, "URL=" + head + path + ".zip\nPath=OPEN") << "the whole URL reaches the manager";
    EXPECT_EQ(StartAsTheRulesSay(WideOf(head + path + ".jpg")), kDecline);
    EXPECT_EQ(StartAsTheRulesSay(WideOf(head + path + ".zip?" + path)), kDecline);
    EXPECT_EQ(StartAsTheRulesSay(WideOf(head + "QVREDIR.ASP?f=" + path + ".zip")), kTake);
  }
}

TEST_F(BadInputWineTest, AMegabyteUrlIsDecodedInOnePass) {
  const auto url = [](std::size_t size) {
    const std::string tail = "/file%2Ezip";
    return "http://host/" + std::string(size - 12 - tail.size(), 'a') + tail;
  };
  const std::string tail = "/file.zip\nPath=OPEN";
  const auto start = std::chrono::steady_clock::now();
  for (std::size_t size : {64u << 10, 1u << 20}) {
    EXPECT_EQ(StartAsTheRulesSay(WideOf(url(size))), kTake) << "decoded to file.zip";
    EXPECT_EQ(lastRecord_.substr(lastRecord_.size() - tail.size()), tail);
  }
  EXPECT_LT(SecondsSince(start), 5.0);
}

TEST_F(BadInputWineTest, SurrogatesAndForeignCharactersGoAsTheirUtf8Escapes) {
  const std::wstring urls[] = {L"http://host/\xD800.zip", L"http://host/a\xDC00" L"b.zip", L"http://host/file.zip\xD83D",
                               L"http://host/\x4E2D\x6587.zip", L"http://host/\x0100.zip", L"http://host/\x20AC.zip",
                               L"http://\xD83D\xDE00host/f.zip"};
  for (const auto& url : urls) StartAsTheRulesSay(url);
  EXPECT_EQ(StartAsTheRulesSay(L"http://host/\xD800.zip"), kTake);
  EXPECT_EQ(lastRecord_, "URL=http://host/%EF%BF%BD.zip\nPath=OPEN")
      << "an unpaired half goes as the escapes of U+FFFD, never as a '?' that cuts the path";
  EXPECT_EQ(StartAsTheRulesSay(L"http://host/\x4E2D\x6587.zip"), kTake);
  EXPECT_EQ(lastRecord_, "URL=http://host/%E4%B8%AD%E6%96%87.zip\nPath=OPEN") << "1252 spells no name for it";
  EXPECT_EQ(StartAsTheRulesSay(L"http://host/\x20AC.zip"), kTake);
  EXPECT_EQ(lastRecord_, "URL=http://host/\x80.zip\nPath=OPEN") << "a letter 1252 has stays its byte";
  keys_.Hold({VK_CONTROL, VK_MENU});
  const std::size_t dialogs = watcher_->answered().size();
  EXPECT_EQ(StartAsTheRulesSay(L"http://host/\xDFFF"), kTake) << "forced past the type tests";
  EXPECT_EQ(lastExpected_.url, "http://host/%EF%BF%BD");
  // Without an extension there is no remembered action: the dialog asks,
  // and the watcher cancels.
  EXPECT_EQ(watcher_->answered().size(), dialogs + 1);
}

TEST_F(BadInputWineTest, QueryFragmentAndDotInEveryPosition) {
  settings_.Main(values::ExcludeFileNames, "setup.exe, ");
  int checked = 0;
  for (const std::string base : {"http://host/dir/file.zip", "http://h/QVREDIR.ASP?file=tool.zip"}) {
    for (char c : std::string("?#.")) {
      for (std::size_t at = 0; at <= base.size(); ++at) {
        std::string inserted = base;
        inserted.insert(at, 1, c);
        StartAsTheRulesSay(WideOf(inserted));
        ++checked;
        if (at < base.size()) {
          std::string replaced = base;
          replaced[at] = c;
          StartAsTheRulesSay(WideOf(replaced));
          ++checked;
        }
      }
    }
  }
  EXPECT_EQ(checked, 3 * (2 * (24 + 34) + 2));
}

TEST_F(BadInputWineTest, PostBodiesOfNothingNulBytesAndSixteenMegabytes) {
  const std::string sixteen(16u << 20, 'p');
  const std::string bodies[] = {std::string(), std::string("a\0b\0c", 5), sixteen};
  for (const auto& body : bodies) {
    TestBindInfo post = TestBindInfo::Post(body);
    EXPECT_EQ(StartAsTheRulesSay(L"http://host/file.zip", &post, RequestVerb::Post), kDecline)
        << "a plain click's POST";
  }
  keys_.Hold({VK_CONTROL, VK_MENU});
  const std::string expected[] = {"", "a", sixteen};
  for (int i = 0; i < 3; ++i) {
    TestBindInfo post = TestBindInfo::Post(bodies[i]);
    const auto start = std::chrono::steady_clock::now();
    // A record this large may be delivered or declined, never a crash.
    const HRESULT hr = Start(L"http://host/file.zip", &post);
    EXPECT_LT(SecondsSince(start), 60.0);
    EXPECT_EQ(post.Outstanding(), 0) << "the bind information was released";
    if (hr == kTake) {
      const auto received = manager_->received();
      ASSERT_FALSE(received.empty());
      EXPECT_EQ(received.back().bytes, "URL=http://host/file.zip\nPath=OPEN\nPostData=" + expected[i]);
    } else {
      EXPECT_EQ(hr, kDecline);
    }
  }
}

// The main key's values stored as the wrong type, empty, one byte and 1 MB.
TEST_F(BadInputWineTest, MainKeySettingsOfEveryForm) {
  using namespace platform::value_type;
  std::string megabyte;
  while (megabyte.size() < (1u << 20)) megabyte += "ZIP, EXE, TRUE\x11\x12\x10";
  megabyte.resize(1u << 20);
  const struct {
    const char* label;
    std::uint32_t type;
    std::vector<std::uint8_t> bytes;
  } forms[] = {{"dword", Dword, {0x5A, 0x49, 0x50, 0x00}}, {"empty", Sz, {}},          {"empty binary", Binary, {}},
               {"one byte", Binary, {0x11}},               {"megabyte", Sz, Bytes(megabyte)},
               {"megabyte binary", Binary, Bytes(megabyte)}};
  for (const char* name : {values::AcceptingTypes, values::ExcludeFileNames, values::KeysToAdd, values::KeysToIgnore,
                           values::UseCtrlAlt, values::DecodeUrls, values::ProgramTitle}) {
    for (const auto& form : forms) {
      SCOPED_TRACE(std::string(name) + " " + form.label);
      testing::SetValue(settings_.registry, CurrentUser, keys::Main, name, form.type, form.bytes);
      const auto stored = testing::GetValue(settings_.registry, CurrentUser, keys::Main, name);
      // A megabyte crosses to the server at every read: fewer combinations.
      const bool large = form.bytes.size() > 4096;
      for (auto held : {std::initializer_list<BYTE>{}, {VK_CONTROL, VK_MENU}, {VK_CONTROL}}) {
        if (large && held.size() == 1) continue;
        keys_.Hold(held);
        for (const wchar_t* url : {L"http://host/file.zip", L"http://host/f.jpg", L"http://h/QVREDIR.ASP?file=a.zip"}) {
          if (large && std::wstring(url) == L"http://host/f.jpg") continue;
          StartAsTheRulesSay(url);
        }
      }
      keys_.Hold({});
      EXPECT_EQ(testing::GetValue(settings_.registry, CurrentUser, keys::Main, name), stored) << "a read wrote";
    }
    platform::RegKey key =
        platform::OpenRegKey(settings_.registry, CurrentUser, keys::Main, platform::access::AllAccess);
    settings_.registry.DeleteValue(key.get(), name);
    settings_.Main(values::AcceptingTypes, "ZIP, EXE, ");
  }
}

// The prompt's own settings of every form: the real dialog reads them, and
// the watcher confirms it.
TEST_F(BadInputWineTest, PromptStringsFontAndRememberedActionsOfEveryForm) {
  watcher_ = std::make_unique<ModalWatcher>(IDOK);
  const std::string megabyte(1u << 20, 'W');
  for (const auto& bytes : {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{0x41},
                            std::vector<std::uint8_t>{0x5A, 0x49, 0x50, 0x00}, Bytes(megabyte)}) {
    SCOPED_TRACE(bytes.size());
    for (const char* id : {"137", "138", "139", "140", "141", "142", "143", "45", "46", "11", "144", "237", "23",
                           values::FontName, values::FontSize, values::Charset}) {
      testing::SetValue(settings_.registry, CurrentUser, keys::PromptStrings, id, platform::value_type::Sz, bytes);
    }
    testing::SetValue(settings_.registry, CurrentUser, keys::DefAction, "zip", platform::value_type::Binary, bytes);
    // Each call asks whether the manager claims the URL, then sends the record.
    const std::size_t messages = manager_->received().size();
    EXPECT_EQ(Start(L"http://host/file.zip"), kTake);
    ASSERT_EQ(manager_->received().size(), messages + 2);
    EXPECT_EQ(manager_->received().back().bytes.rfind("URL=http://host/file.zip\nPath=", 0), 0u);
  }
}

TEST_F(BadInputWineTest, AForcedLinkWithAHugeExtensionReachesTheDialogAndTheManager) {
  watcher_ = std::make_unique<ModalWatcher>(IDOK);
  keys_.Hold({VK_CONTROL, VK_MENU});
  // Longer than any registry value name: no remembered action is found,
  // and the dialog, confirmed, sends the record.
  for (std::size_t size : {20000u, 1u << 20}) {
    const std::string url = "http://host/a." + std::string(size, 'x');
    const std::size_t dialogs = watcher_->answered().size();
    EXPECT_EQ(Start(WideOf(url)), kTake) << size;
    EXPECT_EQ(watcher_->answered().size(), dialogs + 1) << size;
    EXPECT_EQ(manager_->received().back().bytes, "URL=" + url + "\nPath=OPEN") << size;
  }
}

TEST_F(BadInputWineTest, AHungManagerEndsTheCallWithinItsTimeouts) {
  manager_->Hang();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Start(L"http://host/file.zip"), kDecline) << "a window that cannot take the record";
  // The claim query's 5 s, then the record's send to a window now hung.
  EXPECT_LT(SecondsSince(start), 40.0);
}

// A window of the manager's class that shows once the start failure has
// been answered, and closes again 100 ms later: before the module, which
// lets a window it found settle for 300 ms, can send to it.
class VanishingWindow {
 public:
  explicit VanishingWindow(const ModalWatcher& watcher)
      : thread_([this, &watcher] {
          while (!stop_ && watcher.answered().empty()) Sleep(5);
          if (stop_) return;
          Sleep(50);
          TestManagerWindow window(manager::DefaultTitle, 0);
          shown_ = window.window() != nullptr;
          Sleep(100);
          received_ = window.received().size();
        }) {}
  VanishingWindow(const VanishingWindow&) = delete;
  VanishingWindow& operator=(const VanishingWindow&) = delete;
  ~VanishingWindow() {
    stop_ = true;
    thread_.join();
  }
  [[nodiscard]] bool shown() const { return shown_; }
  [[nodiscard]] std::size_t received() const { return received_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<bool> shown_{false};
  std::atomic<std::size_t> received_{0};
  std::thread thread_;
};

TEST_F(BadInputWineTest, AManagerWindowThatClosesDuringTheWaitEndsTheCallDeclined) {
  manager_.reset();
  watcher_ = std::make_unique<ModalWatcher>(IDOK);
  // A program that cannot be started: the module says so, then polls for a
  // window all the same.
  settings_.Main(values::ProgramPath, "C:\\nowhere\\TQP.EXE");
  const auto start = std::chrono::steady_clock::now();
  HRESULT hr;
  {
    VanishingWindow window(*watcher_);
    hr = Start(L"http://host/file.zip");
    EXPECT_EQ(window.received(), 0u);
  }
  EXPECT_EQ(hr, kDecline);
  ASSERT_EQ(watcher_->answered().size(), 1u);
  EXPECT_EQ(watcher_->answered()[0].text, messages::CannotStart);
  // Sixty polls of 100 ms at most, and the time the message box stood.
  EXPECT_LT(SecondsSince(start), 20.0);
}

// ---- DownloadFile through the automation class's own interface.

TEST_F(BadInputWineTest, DownloadFileWithTextsFromNothingToOneMegabyte) {
  IAPI* api = nullptr;
  ASSERT_EQ(dll_.CreateInstance(CLSID_API, IID_IAPI, reinterpret_cast<void**>(&api)), S_OK);
  for (std::size_t size : {0u, 2u << 10, 64u << 10, 1u << 20}) {
    SCOPED_TRACE(size);
    const std::string url = size ? "http://host/" + std::string(size - 16, 'u') + ".zip" : std::string();
    const std::string referer(size, 'r');
    const std::string path = size ? "D:\\" + std::string(size - 3, 'p') : std::string();
    Bstr wideUrl(WideOf(url)), wideReferer(WideOf(referer)), widePath(WideOf(path));
    const std::size_t records = manager_->received().size();
    short result = -1;
    EXPECT_EQ(api->DownloadFile(wideUrl.get(), wideReferer.get(), widePath.get(), &result), S_OK);
    const auto received = manager_->received();
    if (size == 0) {
      // No extension, so no remembered action: the dialog asks, and the
      // watcher cancels it.
      EXPECT_EQ(received.size(), records);
      EXPECT_FALSE(watcher_->answered().empty());
      continue;
    }
    ASSERT_EQ(received.size(), records + 1);
    EXPECT_EQ(received.back().bytes, "URL=" + url + "\nReferer=" + referer + "\nPath=OPEN");
  }
  // An unpaired half in the URL goes as the escapes of U+FFFD; the
  // referer, no URL, keeps the code page's '?'.
  Bstr surrogates(L"http://host/f\xD800.zip"), referer(L"http://\xDBFF/");
  short result = -1;
  EXPECT_EQ(api->DownloadFile(surrogates.get(), referer.get(), nullptr, &result), S_OK);
  EXPECT_EQ(manager_->received().back().bytes, "URL=http://host/f%EF%BF%BD.zip\nReferer=http://?/\nPath=OPEN")
      << "1252 spells no readable name for U+FFFD";
  EXPECT_EQ(api->DownloadFile(nullptr, nullptr, nullptr, nullptr), S_OK) << "nothing given, nothing sent";
  api->Release();
}

}  // namespace
}  // namespace vrpph::wine_tests
