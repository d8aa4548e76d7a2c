// vrpph-bridge.exe through its real standard input and output, as a browser
// drives it: framing byte for byte, each rule's answer with the record the
// stand-in manager received, the prompt, and every kind of bad input.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "settings/contact_points.h"
#include "wine/support/bridge_process.h"
#include "wine/support/handler_registration.h"
#include "wine/support/interception_settings.h"
#include "wine/support/modal_watcher.h"
#include "wine/support/standin_manager.h"

namespace vrpph::wine_tests {
namespace {

using platform::root::CurrentUser;
constexpr DWORD kWaitMs = 15000;

std::string Download(const std::string& id, const std::string& url, const std::string& filename,
                     const std::string& extra = "") {
  return R"({"id":")" + id + R"(","type":"download","url":")" + url + R"(","filename":")" + filename + "\"" +
         extra + "}";
}
std::string Pending(const std::string& id) { return R"({"id":")" + id + R"(","state":"pending"})"; }
std::string Go(const std::string& id) { return R"({"id":")" + id + R"(","type":"go"})"; }
std::string Taken(const std::string& id) { return R"({"id":")" + id + R"(","state":"taken"})"; }
std::string Declined(const std::string& id, const std::string& reason) {
  return R"({"id":")" + id + R"(","state":"declined","reason":")" + reason + "\"}";
}

class BridgeHostWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.Main(values::AcceptingTypes, "ZIP, EXE, PDF, ");
    Remember("ZIP", 0);
  }
  void Remember(const char* extension, std::uint32_t action) {
    testing::SetDword(settings_.registry, CurrentUser, keys::DefAction, extension, action);
  }
  StandInManager& RunningManager(const std::vector<std::string>& claimed = {}) {
    manager_ = std::make_unique<StandInManager>(claimed);
    EXPECT_TRUE(manager_->Launch(""));
    EXPECT_NE(StandInManager::WaitForWindow(kManagerClass, nullptr, kWaitMs), nullptr);
    return *manager_;
  }
  std::vector<std::string> Records() const {
    std::vector<std::string> records;
    for (const auto& entry : manager_->Entries("RECORD")) records.push_back(entry.bytes);
    return records;
  }
  // Sends `request`, expects pending and confirms it as the extension does
  // while it holds the download, then expects `final`.
  void Expect(BridgeProcess& host, const std::string& request, const std::string& id, const std::string& final) {
    ASSERT_TRUE(host.Send(request));
    EXPECT_EQ(host.Receive(), Pending(id)) << request;
    ASSERT_TRUE(host.Send(Go(id)));
    EXPECT_EQ(host.Receive(), final) << request;
  }

  SeededSettings settings_;
  std::unique_ptr<StandInManager> manager_;
};

TEST_F(BridgeHostWineTest, FramesAreReadAndWrittenByteForByte) {
  BridgeProcess host;
  ASSERT_TRUE(host.started());
  // Requests whose lengths hold 0x00, 0x0A, 0x0D and 0x1A in their bytes,
  // padded with blanks JSON allows; non-ASCII ids come back as they went.
  const std::string hello = R"({"type":"hello","id":")";
  for (std::size_t length : {0x1Au, 0x10Au, 0x0A0Du, 0x1A00u, 0x0D0A1Au}) {
    const std::string id = length < 0x100 ? "h" : "h\xC3\xA9\xF0\x9D\x84\x9E";
    std::string request = hello + id + "\"}";
    request.insert(1, length - request.size(), ' ');
    ASSERT_EQ(request.size(), length);
    ASSERT_TRUE(host.Write(Framed(request)));
    const auto answer = host.Receive();
    ASSERT_TRUE(answer) << length;
    EXPECT_EQ(answer->substr(0, 58 + id.size()),
              "{\"id\":\"" + id + "\",\"state\":\"hello\",\"version\":\"1.0.0.76\",\"protocol\":2")
        << length;
  }
  // Answers whose lengths end in 0x0A, 0x0D and 0x1A, whole and unchanged:
  // errors for an unknown type echo an id of a length the test picks.
  const std::string prefix = R"({"id":")", suffix = R"(","state":"error","reason":"unknown type"})";
  for (std::size_t answerLength : {0x10Au, 0x10Du, 0x11Au}) {
    const std::string id(answerLength - prefix.size() - suffix.size(), 'i');
    ASSERT_TRUE(host.Send(R"({"id":")" + id + R"(","type":"x"})"));
  }
  host.CloseInput();
  std::string expected;
  for (std::size_t answerLength : {0x10Au, 0x10Du, 0x11Au}) {
    expected += Framed(prefix + std::string(answerLength - prefix.size() - suffix.size(), 'i') + suffix);
  }
  EXPECT_EQ(host.OutputUntilExit(kWaitMs), expected);
  EXPECT_EQ(host.WaitForExit(kWaitMs), 0u);
}

TEST_F(BridgeHostWineTest, AOneMegabyteMessageIsTheLargestThatIsRead) {
  BridgeProcess host;
  std::string request = Download("big", "http://h/big.zip", "big.zip");
  request.pop_back();  // reopen the object for a padding field
  request += R"(,"mime":")";
  const std::string tail = "\"}";
  // Two-byte characters up to exactly 1 MB.
  while (request.size() + 2 + tail.size() <= 1024 * 1024) request += "\xC3\xA9";
  request.append(1024 * 1024 - tail.size() - request.size(), 'x');
  request += tail;
  ASSERT_EQ(request.size(), 1024u * 1024u);
  settings_.Main(values::AcceptingTypes, "EXE, ");
  Expect(host, request, "big", Declined("big", "not-accepted"));
  // One byte more ends the host, with a word why, before it reads any of it.
  ASSERT_TRUE(host.Write(std::string("\x01\x00\x10\x00", 4)));
  EXPECT_EQ(host.Receive(), R"({"id":null,"state":"error","reason":"message longer than 1 MB"})");
  EXPECT_EQ(host.WaitForExit(kWaitMs), 1u);
}

TEST_F(BridgeHostWineTest, EachRuleAnswersWithTheRecordTrevalonReceived) {
  StandInManager& manager = RunningManager({"http://h/claimed.zip"});
  settings_.Main(values::ExcludeFileNames, "setup.exe, ");
  Remember("EXE", 1);
  Remember("PDF", 0);
  // Chromium names the browser window a request comes from: it tags every
  // record (any window will do; here the stand-in's own).
  const HWND browser = StandInManager::WaitForWindow(kManagerClass, nullptr, kWaitMs);
  const auto browserTag = reinterpret_cast<std::uintptr_t>(browser);
  BridgeProcess host("chrome-extension://bojnomdfpppnenooliehgpnkfejjnfdd/ --parent-window=" +
                     std::to_string(browserTag));
  Expect(host, Download("a", "https://files.example/get?id=4", "tool.zip",
                        R"(,"tabUrl":"https://files.example/list.html","referrer":"https://x/")"),
         "a", Taken("a"));
  Expect(host, Download("b", "http://h/b.html", "b.html"), "b", Declined("b", "not-accepted"));
  Expect(host, Download("c", "http://h/SETUP.EXE", "SETUP.EXE"), "c", Declined("c", "excluded"));
  Expect(host, Download("d", "http://h/d.zip", "d.zip", R"(,"keys":["shift"])"), "d", Declined("d", "ignore-keys"));
  Expect(host, Download("e", "http://h/claimed.zip", "claimed.zip"), "e", R"({"id":"e","state":"taken","sent":false})");
  // Remembered save for EXE: an empty Path, the browser's name.
  Expect(host, Download("f", "http://h/dl.php?f=7", "r\xC3\xA9sum\xC3\xA9.exe", R"(,"referrer":"http://h/")"), "f",
         Taken("f"));
  // Forced: a link of a type not accepted.
  Expect(host, R"({"id":"g","type":"link","url":"http://h/manual.pdf","tabUrl":"http://h/docs.html","keys":["alt","ctrl"]})",
         "g", Taken("g"));
  // A form's POST: declined before Trevalon is asked, claimed or not.
  Expect(host, Download("i", "http://h/claimed.zip", "claimed.zip", R"(,"method":"POST")"), "i", Declined("i", "post"));
  settings_.Main(values::UseCtrlAlt, "TRUE");
  Expect(host, Download("h", "http://h/h.zip", "h.zip"), "h", Declined("h", "keys-required"));
  EXPECT_EQ(Records(), (std::vector<std::string>{
                           "URL=https://files.example/get?id=4\nReferer=https://files.example/list.html\nPath=OPEN\n"
                           "FileName=tool.zip",
                           "URL=http://h/dl.php?f=7\nReferer=http://h/\nPath=\nFileName=r\xE9sum\xE9.exe",
                           "URL=http://h/manual.pdf\nReferer=http://h/docs.html\nPath=OPEN",
                       }));
  for (const auto& record : manager.Entries("RECORD")) EXPECT_EQ(record.number, browserTag);
  EXPECT_EQ(manager.Entries("CLAIM").size(), 4u) << "asked for each request that passed the rules";
  host.CloseInput();
  EXPECT_EQ(host.WaitForExit(kWaitMs), 0u);
}

TEST_F(BridgeHostWineTest, TrevalonIsStartedWhenItIsNotRunningAndOtherwiseTheDownloadStaysWithTheBrowser) {
  {
    BridgeProcess host;
    Expect(host, Download("u", "http://h/u.zip", "u.zip"), "u", Declined("u", "unreachable"));
    // Status reads afresh and writes nothing: the path found in the
    // uninstall entry is not stored, unlike a download's.
    testing::SetString(settings_.registry, platform::root::LocalMachine, keys::Uninstall, values::UninstallString,
                       "C:\\Apps\\tqp.exe /uninstall");
    settings_.Main(values::UseCtrlAlt, "TRUE");
    HandlerRegistration registration;
    ASSERT_EQ(registration.RegisterResult(), 0);
    // The module of this test's own architecture is registered, in its own
    // view; on 32-bit Windows both views are the one view.
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    const std::string views = sizeof(void*) == 8 ? R"("registered32":false,"registered64":true)"
                              : wow64            ? R"("registered32":true,"registered64":false)"
                                                 : R"("registered32":true,"registered64":true)";
    ASSERT_TRUE(host.Send(R"({"id":"s","type":"status"})"));
    EXPECT_EQ(host.Receive(),
              R"({"id":"s","state":"status","version":"1.0.0.76","protocol":2,)"
              R"("trevalon":{"programFound":true,"windowFound":false},)"
              R"("handler":{)" + views + R"(},"catching":{"noTypes":false,"useCtrlAlt":true},)"
              R"("lastFailure":{"id":"u","state":"declined","reason":"unreachable"}})");
    EXPECT_EQ(testing::GetValue(settings_.registry, CurrentUser, keys::Main, values::ProgramPath), std::nullopt);
    settings_.Main(values::UseCtrlAlt, "FALSE");
  }
  manager_ = std::make_unique<StandInManager>();
  settings_.Main(values::ProgramPath, manager_->ProgramPath());
  BridgeProcess host;
  Expect(host, Download("s", "http://h/s.zip", "s.zip", R"(,"tabUrl":"http://h/")"), "s", Taken("s"));
  const auto starts = manager_->Entries("START");
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].bytes, " /Invisible");
  EXPECT_EQ(Records(), (std::vector<std::string>{"URL=http://h/s.zip\nReferer=http://h/\nPath=OPEN"}));
  host.CloseInput();
  EXPECT_EQ(host.WaitForExit(kWaitMs), 0u);
}

// Picked links: one commit step, Trevalon started once, no prompt (no
// remembered action is set for BIN or ISO), each link alone in order; and a
// context menu's link with the frame it was in.
TEST_F(BridgeHostWineTest, ABatchStartsTrevalonOnceAndHandsOverEveryGoodLinkInOrderWithoutAsking) {
  testing::DeleteTree(settings_.registry, CurrentUser, keys::DefAction);
  settings_.Main(values::AcceptingTypes, "EXE, ");
  manager_ = std::make_unique<StandInManager>();
  settings_.Main(values::ProgramPath, manager_->ProgramPath());
  BridgeProcess host;
  std::string links;
  std::vector<std::string> outcomes, expected;
  for (int i = 0; i < 12; ++i) {
    const std::string url = "http://h/f" + std::to_string(i) + (i % 2 ? ".iso" : ".bin");
    const bool bad = i == 7;
    links += std::string(i ? "," : "") + R"({"index":)" + std::to_string(i) + R"(,"url":")" +
             (bad ? "file:///c:/x" : url) + R"(","referrer":"http://h/list.html")" +
             (i == 4 ? R"(,"filename":"r\u00e9sum\u00e9.bin"})" : "}");
    outcomes.push_back(R"({"index":)" + std::to_string(i) +
                       (bad ? R"(,"state":"error","reason":"url is not http, https or ftp"})" : R"(,"state":"taken"})"));
    if (!bad) {
      expected.push_back("URL=" + url + "\nReferer=http://h/list.html\nPath=" +
                         (i == 4 ? "\nFileName=r\xE9sum\xE9.bin" : ""));
    }
  }
  const auto answer = [&](const char* state, std::size_t from, std::size_t to) {
    std::string list;
    for (std::size_t i = from; i < to; ++i) list += (i > from ? "," : "") + outcomes[i];
    return R"({"id":"b","state":")" + std::string(state) + R"(","outcomes":[)" + list + "]}";
  };
  Expect(host, R"({"id":"b","type":"batch","links":[)" + links + "]}", "b", answer("progress", 0, 5));
  EXPECT_EQ(host.Receive(), answer("progress", 5, 10));
  EXPECT_EQ(host.Receive(), answer("done", 0, 12));
  EXPECT_EQ(manager_->Entries("START").size(), 1u);
  EXPECT_EQ(Records(), expected);

  Remember("WEBM", 0);
  Expect(host,
         R"({"id":"m","type":"link","url":"http://cdn.h/clip.webm","tabUrl":"http://h/watch.html",)"
         R"("referrer":"http://player.h/embed/7"})",
         "m", Taken("m"));
  EXPECT_EQ(Records().back(), "URL=http://cdn.h/clip.webm\nReferer=http://player.h/embed/7\nPath=OPEN");
  host.CloseInput();
  EXPECT_EQ(host.WaitForExit(kWaitMs), 0u);
}

TEST_F(BridgeHostWineTest, APromptWaitsForItsAnswerWhileOtherRequestsAreAnswered) {
  RunningManager();
  testing::DeleteTree(settings_.registry, CurrentUser, keys::DefAction);
  Remember("EXE", 0);
  BridgeProcess host;
  // No remembered action for ZIP: the prompt opens and stays.
  ASSERT_TRUE(host.Send(Download("p", "http://h/p.zip", "p.zip")));
  EXPECT_EQ(host.Receive(), Pending("p"));
  ASSERT_TRUE(host.Send(Go("p")));
  Expect(host, Download("q", "http://h/q.exe", "q.exe"), "q", Taken("q"));
  Expect(host, Download("r", "http://h/r.html", "r.html"), "r", Declined("r", "not-accepted"));
  EXPECT_EQ(Records(), (std::vector<std::string>{"URL=http://h/q.exe\nPath=OPEN"}));
  {
    // Now someone presses OK in the prompt.
    ModalWatcher watcher(IDOK, host.processId());
    EXPECT_EQ(host.Receive(), Taken("p"));
    const auto answered = watcher.answered();
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].caption, "File download");
  }
  EXPECT_EQ(Records(), (std::vector<std::string>{"URL=http://h/q.exe\nPath=OPEN", "URL=http://h/p.zip\nPath=OPEN"}));
  host.CloseInput();
  EXPECT_EQ(host.WaitForExit(kWaitMs), 0u);
}

TEST_F(BridgeHostWineTest, ClosingThePortClosesAnOpenPromptOrAWaitForGoAndSendsNothing) {
  RunningManager();
  testing::DeleteTree(settings_.registry, CurrentUser, keys::DefAction);
  BridgeProcess host;
  ASSERT_TRUE(host.Send(Download("p", "http://h/p.zip", "p.zip")));
  EXPECT_EQ(host.Receive(), Pending("p"));
  ASSERT_TRUE(host.Send(Go("p")));
  // One more that never gets its go: the end of input ends its wait too.
  ASSERT_TRUE(host.Send(Download("q", "http://h/q.zip", "q.zip")));
  EXPECT_EQ(host.Receive(), Pending("q"));
  // Give the prompt time to come up before the browser goes away.
  Sleep(1000);
  const ULONGLONG start = GetTickCount64();
  host.CloseInput();
  EXPECT_EQ(host.WaitForExit(kWaitMs), 0u);
  EXPECT_LT(GetTickCount64() - start, 5000u);
  EXPECT_TRUE(Records().empty());
}

TEST_F(BridgeHostWineTest, BadInputGetsAnErrorOrEndsTheHostAndNeverReachesTrevalon) {
  RunningManager();
  {
    BridgeProcess host;
    const std::pair<std::string, std::string> cases[] = {
        {"not json", R"({"id":null,"state":"error","reason":"not JSON"})"},
        {"{\"id\":\"\xFF\",\"type\":\"hello\"}", R"({"id":null,"state":"error","reason":"not JSON"})"},
        {"[]", R"({"id":null,"state":"error","reason":"not an object"})"},
        {R"({"type":"download","url":"http://h/a.zip"})", R"({"id":null,"state":"error","reason":"no string id"})"},
        {R"({"id":"a","type":"download","url":"file:///c:/a.zip"})",
         R"({"id":"a","state":"error","reason":"url is not http, https or ftp"})"},
        {R"({"id":"b","type":"download","url":"http://h/a.zip","filename":7})",
         R"({"id":"b","state":"error","reason":"filename is not a string"})"},
        {R"({"id":"c","type":"download","url":"http://h/a.zip","keys":["f1"]})",
         R"({"id":"c","state":"error","reason":"keys is not a list of modifier keys"})"},
    };
    for (const auto& [request, answer] : cases) {
      ASSERT_TRUE(host.Send(request));
      EXPECT_EQ(host.Receive(), answer) << request;
    }
    // A record field of its own smuggled in the URL: pending, then an error.
    Expect(host, Download("d", "http://h/a.zip\\nPath=C:\\\\x", "a.zip"), "d",
           R"({"id":"d","state":"error","reason":"url holds a line break"})");
    host.CloseInput();
    EXPECT_EQ(host.WaitForExit(kWaitMs), 0u);
  }
  {
    // Cut short inside the length, then inside a message.
    BridgeProcess host;
    ASSERT_TRUE(host.Write(std::string("\x10\x00", 2)));
    host.CloseInput();
    EXPECT_EQ(host.WaitForExit(kWaitMs), 1u);
    EXPECT_EQ(host.OutputUntilExit(kWaitMs), "");
  }
  {
    BridgeProcess host;
    ASSERT_TRUE(host.Write(std::string("\x40\x00\x00\x00{\"id\":\"a\"", 14)));
    host.CloseInput();
    EXPECT_EQ(host.WaitForExit(kWaitMs), 1u);
  }
  EXPECT_TRUE(Records().empty());
}

}  // namespace
}  // namespace vrpph::wine_tests
