#include "bridge/download_decision.h"

#include <gtest/gtest.h>

#include <atomic>

#include "bridge/bridge_host.h"
#include "settings/contact_points.h"
#include "support/fake_platform.h"
#include "support/fixed_commit_gate.h"
#include "support/registry_tools.h"
#include "support/scripted_prompt_dialog.h"
#include "support/sent_records.h"

namespace vrpph::bridge {
namespace {

using platform::root::CurrentUser;

constexpr platform::WindowHandle kBrowser = 0x4242;

// The real services over a fake world: the scripted dialog stands for the
// prompt's window, a stand-in window of Trevalon's class takes the records.
class BridgeDecisionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Setting(values::AcceptingTypes, "ZIP, EXE, PDF, ");
    manager = world.desktop.AddWindow(manager::WindowClass, manager::DefaultTitle);
    world.desktop.OnCopyData(manager, [this](std::uintptr_t tag, const std::string& url) -> std::intptr_t {
      return tag == manager::ClaimQueryTag && url == claimedUrl ? manager::ClaimedReply : 0;
    });
    dialog.result = prompt_result::Proceed;
  }
  void Setting(const char* name, const std::string& text) {
    testing::SetString(world.registry, CurrentUser, keys::Main, name, text);
  }
  static BridgeRequest Download(std::string url, std::optional<std::string> filename = std::nullopt,
                                std::optional<std::vector<std::string>> keys = std::nullopt) {
    BridgeRequest request;
    request.id = "d1";
    request.type = RequestType::Download;
    request.url = std::move(url);
    request.filename = std::move(filename);
    request.keys = std::move(keys);
    return request;
  }
  DownloadAnswer Decide(const BridgeRequest& request) {
    return DecideDownload(request, kBrowser, world.platform, services, gate);
  }
  // The transfer records Trevalon received, each tagged with its owner.
  std::vector<std::string> Records() const { return testing::SentRecords(world.desktop, kBrowser); }

  testing::FakePlatform world;
  testing::ScriptedPromptDialog dialog;
  std::atomic<OpenMode> openMode{OpenMode::Open};
  std::atomic<bool> inputEnded{false};
  ModuleServices services{world.platform, openMode, dialog, &inputEnded};
  testing::FixedCommitGate gate;
  platform::WindowHandle manager = 0;
  std::string claimedUrl;
};

TEST_F(BridgeDecisionTest, EachRuleDeclinesUnderItsOwnNameAndSendsNothing) {
  Setting(values::ExcludeFileNames, "Setup.exe, ");
  struct Case {
    const char* name;
    BridgeRequest request;
    const char* reason;
  };
  const Case cases[] = {
      {"exactly the ignore keys", Download("http://h/a.zip", "a.zip", {{"shift"}}), reason::IgnoreKeys},
      {"a name without extension", Download("http://h/dl?id=3", "README"), reason::NotAccepted},
      {"a type not accepted", Download("http://h/a.html", "a.html"), reason::NotAccepted},
      {"the URL's name when the browser gave none", Download("http://h/get.php?f=a.zip"), reason::NotAccepted},
      {"an excluded name in any case", Download("http://h/x/SETUP.EXE", "SETUP.EXE"), reason::Excluded},
  };
  for (const Case& c : cases) {
    const DownloadAnswer answer = Decide(c.request);
    EXPECT_EQ(answer.state, DownloadState::Declined) << c.name;
    EXPECT_EQ(answer.reason, c.reason) << c.name;
  }
  EXPECT_EQ(dialog.runs, 0);
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(gate.asked, 0) << "the rules that only decline answer before any go";

  Setting(values::UseCtrlAlt, "TRUE");
  EXPECT_EQ(Decide(Download("http://h/a.zip", "a.zip")).reason, reason::KeysRequired);
  EXPECT_EQ(Decide(Download("http://h/a.zip", "a.zip", {{"ctrl"}})).reason, reason::KeysRequired);
}

TEST_F(BridgeDecisionTest, TheBrowsersNameDecidesAndGoesInTheRecordWhenTheUrlDoesNotGiveIt) {
  BridgeRequest request = Download("https://files.example/get?id=4", "setup-2.4.exe");
  request.tabUrl = "https://files.example/list.html";
  request.referrer = "https://elsewhere.example/";
  const DownloadAnswer answer = Decide(request);
  EXPECT_EQ(answer.state, DownloadState::Taken);
  EXPECT_TRUE(answer.sent);
  EXPECT_EQ(dialog.seenOwner, kBrowser);
  EXPECT_EQ(dialog.seenName, "setup-2.4.exe");
  EXPECT_EQ(dialog.seenExtension, "exe");

  // The same name as the URL's last segment is left to Trevalon; without a
  // tab the download's referrer is the referer; none at all leaves it out.
  BridgeRequest plain = Download("http://h/d/a%20b.zip", "a b.zip");
  plain.referrer = "http://h/d/";
  EXPECT_EQ(Decide(plain).state, DownloadState::Taken);
  EXPECT_EQ(Decide(Download("ftp://h/pub/tool.zip", "tool.zip")).state, DownloadState::Taken);
  // A name in the code page goes as it is; one it cannot spell is left to
  // the URL rather than sent with '?' for its letters.
  EXPECT_EQ(Decide(Download("http://h/get?id=7", "r\xC3\xA9sum\xC3\xA9.pdf")).state, DownloadState::Taken);
  EXPECT_EQ(Decide(Download("http://h/get?id=8", "\xE6\x8A\xA5\xE5\x91\x8A.pdf")).state, DownloadState::Taken);
  EXPECT_EQ(dialog.seenExtension, "pdf");
  EXPECT_EQ(Records(), (std::vector<std::string>{
                           "URL=https://files.example/get?id=4\nReferer=https://files.example/list.html\n"
                           "Path=OPEN\nFileName=setup-2.4.exe",
                           "URL=http://h/d/a b.zip\nReferer=http://h/d/\nPath=OPEN",
                           "URL=ftp://h/pub/tool.zip\nPath=OPEN",
                           "URL=http://h/get?id=7\nPath=OPEN\nFileName=r\xE9sum\xE9.pdf",
                           "URL=http://h/get?id=8\nPath=OPEN",
                       }));
}

// Escaped letters stay escaped and a letter the code page lacks goes as its
// UTF-8 escapes: the URL never gets a '?' that would name another resource.
TEST_F(BridgeDecisionTest, ANonAsciiUrlReachesTrevalonNamingTheSameResource) {
  EXPECT_EQ(Decide(Download("http://h/files/%C3%9Cbersicht.zip", "\xC3\x9C" "bersicht.zip")).state,
            DownloadState::Taken);
  EXPECT_EQ(Decide(Download("http://h/\xE6\x96\x87%20a.zip", "\xE6\x96\x87 a.zip")).state, DownloadState::Taken);
  EXPECT_EQ(Decide(Download("http://h/a%3Fb%23c.zip", "a_b_c.zip")).state, DownloadState::Taken);
  EXPECT_EQ(Records(), (std::vector<std::string>{
                           "URL=http://h/files/%C3%9Cbersicht.zip\nPath=OPEN\nFileName=\xDC" "bersicht.zip",
                           "URL=http://h/%E6%96%87 a.zip\nPath=OPEN",
                           "URL=http://h/a%3Fb%23c.zip\nPath=OPEN\nFileName=a_b_c.zip",
                       }));
}

TEST_F(BridgeDecisionTest, ForcedRequestsSkipTheTypeTestsAndOtherKeysDoNot) {
  Setting(values::UseCtrlAlt, "TRUE");
  BridgeRequest link = Download("https://host/manual.html");
  link.type = RequestType::Link;
  link.tabUrl = "https://host/docs.html";
  EXPECT_EQ(Decide(link).state, DownloadState::Taken);
  EXPECT_EQ(Decide(Download("https://host/page.html", "page.html", {{"alt", "ctrl"}})).state, DownloadState::Taken);
  // KeysToAdd stored as Ctrl alone: Ctrl+Alt is neither combination.
  testing::SetValue(world.registry, CurrentUser, keys::Main, values::KeysToAdd, platform::value_type::Binary, {0x11});
  EXPECT_EQ(Decide(Download("https://host/a.zip", "a.zip", {{"alt", "ctrl"}})).reason, reason::KeysRequired);
  EXPECT_EQ(Records(), (std::vector<std::string>{"URL=https://host/manual.html\nReferer=https://host/docs.html\nPath=OPEN",
                                                 "URL=https://host/page.html\nPath=OPEN"}));
}

TEST_F(BridgeDecisionTest, ALinksRefererIsTheDocumentHoldingItThenTheTabADownloadsTheTabFirst) {
  BridgeRequest framed = Download("https://cdn.host/clip.webm");
  framed.type = RequestType::Link;
  framed.tabUrl = "https://host/watch.html";
  framed.referrer = "https://player.host/embed/7";
  BridgeRequest unfit = framed;
  unfit.referrer = "https://player.host/\nCookie: x";
  BridgeRequest download = framed;
  download.type = RequestType::Download;
  download.url = "https://cdn.host/clip.zip";
  for (const BridgeRequest* request : {&framed, &unfit, &download}) {
    EXPECT_EQ(Decide(*request).state, DownloadState::Taken);
  }
  EXPECT_EQ(Records(), (std::vector<std::string>{
                           "URL=https://cdn.host/clip.webm\nReferer=https://player.host/embed/7\nPath=OPEN",
                           "URL=https://cdn.host/clip.webm\nReferer=https://host/watch.html\nPath=OPEN",
                           "URL=https://cdn.host/clip.zip\nReferer=https://host/watch.html\nPath=OPEN",
                       }));
}

TEST_F(BridgeDecisionTest, ClaimsCancelsAndRememberedActionsEndWithoutTheDialogOrARecord) {
  claimedUrl = "http://h/claimed.zip";
  const DownloadAnswer claimed = Decide(Download(claimedUrl, "claimed.zip"));
  EXPECT_EQ(claimed.state, DownloadState::Taken);
  EXPECT_FALSE(claimed.sent);
  EXPECT_EQ(dialog.runs, 0);

  dialog.result = prompt_result::Cancelled;
  const DownloadAnswer cancelled = Decide(Download("http://h/a.zip", "a.zip"));
  EXPECT_EQ(cancelled.state, DownloadState::Taken);
  EXPECT_FALSE(cancelled.sent);
  EXPECT_EQ(dialog.runs, 1);
  EXPECT_TRUE(Records().empty());

  // Remembered under the browser's name's extension, not the URL's.
  testing::SetDword(world.registry, CurrentUser, keys::DefAction, "exe", 1);
  EXPECT_EQ(Decide(Download("http://h/get?id=9", "tool.exe")).state, DownloadState::Taken);
  EXPECT_EQ(dialog.runs, 1) << "a remembered action shows no dialog";
  EXPECT_EQ(openMode.load(), OpenMode::Save);
  EXPECT_EQ(Records(), (std::vector<std::string>{"URL=http://h/get?id=9\nPath=\nFileName=tool.exe"}));

  // Saving a URL Trevalon paused earlier: asked, and continued into its file.
  testing::SetString(world.registry, CurrentUser, keys::PausedUrls, "http://h/big.exeFilename", "C:\\dl\\big.exe");
  world.files.Add("C:\\dl\\big.exe.TQ");
  world.desktop.QueueMessageBoxAnswer(6);  // IDYES
  EXPECT_EQ(Decide(Download("http://h/big.exe", "big.exe")).state, DownloadState::Taken);
  ASSERT_EQ(world.desktop.messageBoxes().size(), 1u);
  EXPECT_EQ(world.desktop.messageBoxes()[0].owner, kBrowser);
  EXPECT_EQ(Records().back(), "URL=http://h/big.exe\nPath=C:\\dl\\big.exe");
}

// A dialog that could not be shown hands over in the mode held before, as on
// the module's roads; no module image to show one from sends nothing.
TEST_F(BridgeDecisionTest, APromptThatCouldNotBeShownStillHandsOver) {
  const struct {
    const char* name;
    int result;
    bool moduleLoaded;
    const char* record;  // null when nothing goes
  } cases[] = {
      {"confirmed in open mode", prompt_result::Proceed, true, "URL=http://h/a.zip\nPath=OPEN"},
      {"a dialog that could not be shown", prompt_result::DialogFailed, true, "URL=http://h/a.zip\nPath="},
      {"no module image", prompt_result::Proceed, false, nullptr},
  };
  for (const auto& c : cases) {
    openMode = OpenMode::Save;
    dialog.result = c.result;
    dialog.moduleLoaded = c.moduleLoaded;
    const std::size_t before = Records().size();
    const DownloadAnswer answer = Decide(Download("http://h/a.zip", "a.zip"));
    EXPECT_EQ(answer.state, DownloadState::Taken) << c.name;
    EXPECT_EQ(answer.sent, c.record != nullptr) << c.name;
    const std::vector<std::string> records = Records();
    if (!c.record) {
      EXPECT_EQ(records.size(), before) << c.name;
      continue;
    }
    ASSERT_EQ(records.size(), before + 1) << c.name;
    EXPECT_EQ(records.back(), c.record) << c.name;
  }
}

TEST_F(BridgeDecisionTest, NothingUnsafeOrUnwantedReachesTrevalon) {
  EXPECT_EQ(Decide(Download("http://h/a.zip\r\nPath=C:\\evil", "a.zip")).state, DownloadState::Error);
  EXPECT_EQ(Decide(Download("http://h/a.zip", "a.zip\nPath=x")).state, DownloadState::Error);
  EXPECT_EQ(Decide(Download(std::string("http://h/a.zip\0x", 16), "a.zip")).state, DownloadState::Error);
  // A referer that cannot stand in the record is left out.
  BridgeRequest odd = Download("http://h/b.zip", "b.zip");
  odd.tabUrl = "http://h/\npage";
  EXPECT_EQ(Decide(odd).state, DownloadState::Taken);
  EXPECT_EQ(Records(), (std::vector<std::string>{"URL=http://h/b.zip\nPath=OPEN"}));

  // Once the port has closed the browser goes on by itself.
  inputEnded = true;
  EXPECT_EQ(Decide(Download("http://h/c.zip", "c.zip")).reason, reason::InputEnded);
  inputEnded = false;
  // No window and no program: the browser keeps the download.
  world.desktop.RemoveWindow(manager);
  EXPECT_EQ(Decide(Download("http://h/d.zip", "d.zip")).reason, reason::Unreachable);
  EXPECT_EQ(Records().size(), 1u);
}

TEST_F(BridgeDecisionTest, APostStaysWithTheBrowserEvenWhenForcedAndBeforeTheClaimQuery) {
  // Trevalon already claims the URL: asking it would answer taken, sent
  // false, and the browser's copy would be cancelled.
  claimedUrl = "http://h/report.zip";
  BridgeRequest posted = Download(claimedUrl, "report.zip");
  BridgeRequest forced = Download(claimedUrl, "report.zip", {{"alt", "ctrl"}});
  BridgeRequest put = Download(claimedUrl, "report.zip");
  posted.method = forced.method = "POST";
  put.method = "PUT";
  for (const BridgeRequest& request : {posted, forced, put}) {
    const DownloadAnswer answer = Decide(request);
    EXPECT_EQ(answer.state, DownloadState::Declined) << *request.method;
    EXPECT_EQ(answer.reason, reason::Post) << *request.method;
  }
  // The type tests still come first.
  posted.filename = "report.html";
  EXPECT_EQ(Decide(posted).reason, reason::NotAccepted);
  EXPECT_TRUE(world.desktop.copyData().empty()) << "no claim query, no record";
  EXPECT_EQ(gate.asked, 0);
  EXPECT_EQ(dialog.runs, 0);

  BridgeRequest got = Download("http://h/a.zip", "a.zip");
  got.method = "GET";
  EXPECT_EQ(Decide(got).state, DownloadState::Taken);
  EXPECT_EQ(gate.asked, 1);
}

TEST_F(BridgeDecisionTest, WithoutGoNothingIsAskedShownOrSent) {
  BridgeRequest link = Download("http://h/manual.pdf");
  link.type = RequestType::Link;
  for (const auto& [commitment, why] : {std::pair{Commitment::NotConfirmed, reason::NotConfirmed},
                                        std::pair{Commitment::InputEnded, reason::InputEnded}}) {
    gate.answer = commitment;
    for (const BridgeRequest& request : {link, Download("http://h/a.zip", "a.zip", {{"alt", "ctrl"}})}) {
      const DownloadAnswer answer = Decide(request);
      EXPECT_EQ(answer.state, DownloadState::Declined) << request.url;
      EXPECT_EQ(answer.reason, why) << request.url;
    }
  }
  EXPECT_EQ(gate.asked, 4);
  EXPECT_EQ(dialog.runs, 0);
  EXPECT_TRUE(world.desktop.copyData().empty()) << "no claim query, no record";
}

TEST(BridgeHelloTest, CombinationsAreNamedAsAClickReportsThemOrNotAtAll) {
  testing::FakePlatform world;
  HelloInfo hello = ReadHelloInfo(world.registry, "1.0.0.76");
  EXPECT_EQ(hello.keysToAdd, (std::vector<std::string>{"alt", "ctrl"}));
  EXPECT_EQ(hello.keysToIgnore, (std::vector<std::string>{"shift"}));
  EXPECT_FALSE(hello.useCtrlAlt);

  const auto set = [&](const char* name, std::vector<std::uint8_t> codes) {
    testing::SetValue(world.registry, CurrentUser, keys::Main, name, platform::value_type::Binary, codes);
  };
  set(values::KeysToAdd, {0xA5, 0x5C, 0xA0});  // right Alt, right Windows, left Shift
  set(values::KeysToIgnore, {0x11, 0xA2});      // Ctrl twice can never be held
  testing::SetString(world.registry, CurrentUser, keys::Main, values::UseCtrlAlt, "true");
  hello = ReadHelloInfo(world.registry, "v");
  EXPECT_EQ(hello.keysToAdd, (std::vector<std::string>{"alt", "meta", "shift"}));
  EXPECT_EQ(hello.keysToIgnore, std::nullopt);
  EXPECT_FALSE(hello.useCtrlAlt) << "only TRUE in capitals counts";
  set(values::KeysToAdd, {0x11, 0x41});  // Ctrl+A: no click reports A
  EXPECT_EQ(ReadHelloInfo(world.registry, "v").keysToAdd, std::nullopt);
}

}  // namespace
}  // namespace vrpph::bridge
