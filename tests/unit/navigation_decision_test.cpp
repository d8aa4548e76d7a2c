#include "interception/navigation_decision.h"

#include <gtest/gtest.h>

#include "sequence/key_rules.h"
#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "support/fake_download_services.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"

namespace vrpph {
namespace {

using testing::FakeDesktop;
using testing::FakeDownloadServices;
using testing::FakePlatform;
namespace vk = virtual_key;

constexpr platform::WindowHandle kOwner = 0x777;
constexpr auto kTake = NavigationAnswer::Take;
constexpr auto kDecline = NavigationAnswer::Decline;

class NavigationTest : public ::testing::Test {
 protected:
  void SetUp() override { Main(values::AcceptingTypes, "ZIP, EXE, "); }

  void Main(const char* name, const std::string& text) {
    testing::SetString(world.registry, platform::root::CurrentUser, keys::Main, name, text);
  }
  void Drop(const char* name) {
    platform::RegKey key =
        platform::OpenRegKey(world.registry, platform::root::CurrentUser, keys::Main, platform::access::AllAccess);
    world.registry.DeleteValue(key.get(), name);
  }
  std::optional<std::string> Accepting() {
    return SettingsKey::Main(world.registry).Text(values::AcceptingTypes);
  }
  void HoldCtrlAlt() { world.keyboard.Hold({vk::Control, vk::Menu}); }

  NavigationAnswer Decide(const std::string& url, RequestVerb verb = RequestVerb::Get, std::string body = {}) {
    std::u16string wide(url.begin(), url.end());
    NavigationRequest request{wide.c_str(), verb, std::move(body), kOwner};
    return DecideNavigation(request, world.platform, services);
  }
  // A running download manager that answers the claim query with `reply`.
  platform::WindowHandle Manager(std::intptr_t reply) {
    auto window = world.desktop.AddWindow(manager::WindowClass, manager::DefaultTitle);
    world.desktop.OnCopyData(window, [reply](std::uintptr_t, const std::string&) { return reply; });
    return window;
  }
  bool Prompted() const { return !services.prompts.empty(); }
  std::string Record() const { return services.deliveries.empty() ? "<none>" : services.deliveries.back().record; }

  FakePlatform world;
  FakeDownloadServices services{&world.log};
};

// ---- The causes of a decline before the prompt.

TEST_F(NavigationTest, HeldIgnoreKeysDeclineBeforeAnythingElse) {
  world.keyboard.Hold({vk::Shift});
  Manager(1);
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kDecline);
  EXPECT_FALSE(Prompted());
  EXPECT_TRUE(world.desktop.copyData().empty()) << "no claim query";
  EXPECT_EQ(world.keyboard.SnapshotCount(), 1);
}

TEST_F(NavigationTest, ShiftWithCtrlAndAltMatchesNeitherCombination) {
  world.keyboard.Hold({vk::Shift, vk::Control, vk::Menu});
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kTake) << "the normal rules apply";
  EXPECT_EQ(Decide("http://host/dir/file.rar"), kDecline);
  EXPECT_EQ(world.keyboard.SnapshotCount(), 4) << "two snapshots per navigation";
}

TEST_F(NavigationTest, UseCtrlAltLeavesPlainClicksToTheBrowser) {
  Main(values::UseCtrlAlt, "TRUE");
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kDecline);
  EXPECT_FALSE(Prompted());

  Drop(values::AcceptingTypes);
  HoldCtrlAlt();
  EXPECT_EQ(Decide("https://host/page"), kTake) << "forced: any type, even with no list";
  EXPECT_EQ(services.prompts.size(), 1u);

  Main(values::UseCtrlAlt, "true");
  Main(values::AcceptingTypes, "ZIP, ");
  world.keyboard.Hold({});
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kTake) << "only an exact TRUE restricts";
}

TEST_F(NavigationTest, UrlsWithoutAnExtensionAreDeclined) {
  for (const char* url : {"http://host", "http://host/", "http://h.x/dir/", "ftp://h/readme"}) {
    EXPECT_EQ(Decide(url), kDecline) << url;
  }
  EXPECT_FALSE(Prompted());
}

TEST_F(NavigationTest, AQueryDeclinesUnlessARedirectPageNamesTheFile) {
  EXPECT_EQ(Decide("http://host/dir/get.zip?id=1"), kDecline);
  EXPECT_FALSE(Prompted());

  EXPECT_EQ(Decide("http://host/QVREDIR.ASP?file=tool.zip"), kTake);
  ASSERT_EQ(services.prompts.size(), 1u);
  EXPECT_EQ(services.prompts[0].suggestedName, "tool.zip");
  EXPECT_EQ(Record(), "URL=http://host/QVREDIR.ASP?file=tool.zip\nPath=OPEN\nFileName=tool.zip");

  EXPECT_EQ(Decide("http://host/qvcatalog_fetch.asp?file=tool.txt"), kDecline) << "no accepted name inside";
}

TEST_F(NavigationTest, OnlyUpperCaseEntriesOfTheAcceptedListMatch) {
  EXPECT_EQ(Decide("http://host/dir/FILE.Zip"), kTake) << "the extension is upper-cased";
  Main(values::AcceptingTypes, "zip, ");
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kDecline);
  Drop(values::AcceptingTypes);
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kDecline) << "no list accepts nothing";
  HoldCtrlAlt();
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kTake) << "forced clicks still reach the prompt";
  EXPECT_EQ(services.prompts.size(), 2u);
}

TEST_F(NavigationTest, ExcludedNamesIgnoreCaseButNotOnARedirectPage) {
  Main(values::ExcludeFileNames, "setup.exe, ");
  EXPECT_EQ(Decide("http://host/SETUP.EXE"), kDecline);
  EXPECT_FALSE(Prompted());
  EXPECT_EQ(Decide("http://host/QVREDIR.ASP?f=setup.exe"), kTake);
  EXPECT_EQ(Decide("http://host/setup2.exe"), kTake);
}

TEST_F(NavigationTest, AClaimedUrlIsTakenWithoutPromptOrRecord) {
  Manager(0);
  Manager(1);
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kTake);
  EXPECT_FALSE(Prompted());
  EXPECT_TRUE(services.deliveries.empty());
  EXPECT_EQ(world.desktop.copyData().size(), 2u);
  EXPECT_EQ(world.desktop.copyData()[1].bytes, "http://host/dir/file.zip");
}

TEST_F(NavigationTest, AHungManagerIsNoClaim) {
  world.desktop.SetHung(Manager(1), true);
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kTake);
  EXPECT_TRUE(Prompted());
}

TEST_F(NavigationTest, FormPostsNeedTheForcingKeys) {
  EXPECT_EQ(Decide("http://host/dir/file.zip", RequestVerb::Post, "a=1"), kDecline);
  EXPECT_EQ(Decide("http://host/dir/file.zip", RequestVerb::Post, ""), kDecline) << "an empty body is a POST";
  EXPECT_FALSE(Prompted());
  EXPECT_EQ(Decide("http://host/dir/file.zip", RequestVerb::Other, "x"), kTake) << "only POST counts";
  EXPECT_EQ(Record(), "URL=http://host/dir/file.zip\nPath=OPEN");

  HoldCtrlAlt();
  EXPECT_EQ(Decide("http://host/dir/file.zip", RequestVerb::Post, "a=1&b=2"), kTake);
  EXPECT_EQ(Record(), "URL=http://host/dir/file.zip\nPath=OPEN\nPostData=a=1&b=2");
  EXPECT_EQ(Decide("http://host/dir/file.zip", RequestVerb::Post, std::string("a=1\0b=2", 7)), kTake);
  EXPECT_EQ(Record(), "URL=http://host/dir/file.zip\nPath=OPEN\nPostData=a=1") << "cut at the first NUL";
  EXPECT_EQ(Decide("http://host/dir/file.zip", RequestVerb::Post, ""), kTake);
  EXPECT_EQ(Record(), "URL=http://host/dir/file.zip\nPath=OPEN\nPostData=");
}

TEST_F(NavigationTest, AnUnconvertibleUrlIsDeclined) {
  world.text.FailConversions(true);
  HoldCtrlAlt();
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kDecline);
  EXPECT_FALSE(Prompted());
  EXPECT_TRUE(world.desktop.copyData().empty());
}

// ---- The prompt and what follows it.

TEST_F(NavigationTest, ACancelledOrUnavailablePromptTakesAndSendsNothing) {
  for (int result : {prompt_result::Cancelled, prompt_result::ModuleMissing}) {
    services.promptAnswer = {result, OpenMode::Open};
    EXPECT_EQ(Decide("http://host/dir/file.zip"), kTake);
  }
  EXPECT_EQ(services.prompts.size(), 2u);
  EXPECT_TRUE(services.deliveries.empty());
  EXPECT_TRUE(services.pausedChecks.empty());
}

TEST_F(NavigationTest, CancellingAPlainClickOffersToDropTheExtension) {
  Main(values::AutoLearn, "TRUE");
  services.promptAnswer = {prompt_result::Cancelled, OpenMode::Open};
  world.desktop.QueueMessageBoxAnswer(platform::message_box::IdYes);
  EXPECT_EQ(Decide("http://host/a.zip"), kTake);
  ASSERT_EQ(world.desktop.messageBoxes().size(), 1u);
  EXPECT_EQ(world.desktop.messageBoxes()[0].owner, kOwner);
  EXPECT_EQ(Accepting(), "EXE, ");

  HoldCtrlAlt();
  EXPECT_EQ(Decide("http://host/a.exe"), kTake);
  EXPECT_EQ(world.desktop.messageBoxes().size(), 1u) << "no offer after a forced click";
}

TEST_F(NavigationTest, AConfirmedClickIsDeliveredInOpenMode) {
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kTake);
  ASSERT_EQ(services.prompts.size(), 1u);
  EXPECT_EQ(services.prompts[0].owner, kOwner);
  EXPECT_EQ(services.prompts[0].url, "http://host/dir/file.zip");
  EXPECT_EQ(services.prompts[0].suggestedName, std::nullopt) << "the last segment already names the file";
  ASSERT_EQ(services.deliveries.size(), 1u);
  EXPECT_EQ(Record(), "URL=http://host/dir/file.zip\nPath=OPEN");
  EXPECT_EQ(services.deliveries[0].owner, kOwner);
  EXPECT_EQ(services.deliveries[0].rules, kHandlerRoad.delivery);
  EXPECT_TRUE(services.pausedChecks.empty());
}

TEST_F(NavigationTest, SaveModeAsksForAPausedDownload) {
  services.promptAnswer = {prompt_result::Proceed, OpenMode::Save};
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kTake);
  EXPECT_EQ(Record(), "URL=http://host/dir/file.zip\nPath=");
  services.pausedPath = "C:\\dl\\file.zip";
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kTake);
  EXPECT_EQ(Record(), "URL=http://host/dir/file.zip\nPath=C:\\dl\\file.zip");
  ASSERT_EQ(services.pausedChecks.size(), 2u);
  EXPECT_EQ(services.pausedChecks[0].owner, kOwner);
}

TEST_F(NavigationTest, AFailedDialogGoesOnInTheModeItLeft) {
  services.promptAnswer = {prompt_result::DialogFailed, OpenMode::Save};
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kTake);
  EXPECT_EQ(services.pausedChecks.size(), 1u);
  EXPECT_EQ(Record(), "URL=http://host/dir/file.zip\nPath=");
}

TEST_F(NavigationTest, TheRecordCarriesTheBrowsersAddressAsReferer) {
  auto frame = world.desktop.AddWindow("IEFrame", "");
  auto combo = world.desktop.AddWindow("ComboBoxEx32", "", frame);
  world.desktop.AddWindow("Edit", "", combo, "http://host/list.html");
  world.desktop.SetForeground(frame);
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kTake);
  EXPECT_EQ(Record(), "URL=http://host/dir/file.zip\nReferer=http://host/list.html\nPath=OPEN");
}

TEST_F(NavigationTest, AnAddressWithALineBreakIsLeftOutOfTheRecord) {
  auto frame = world.desktop.AddWindow("IEFrame", "");
  auto combo = world.desktop.AddWindow("ComboBoxEx32", "", frame);
  world.desktop.AddWindow("Edit", "", combo, "http://host/\nPath=C:\\run.exe");
  world.desktop.SetForeground(frame);
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kTake);
  EXPECT_EQ(Record(), "URL=http://host/dir/file.zip\nPath=OPEN");
}

TEST_F(NavigationTest, AnUnreachableManagerDeclinesAfterThePrompt) {
  for (auto outcome : {DeliveryOutcome::ProgramMissing, DeliveryOutcome::WindowMissing}) {
    services.deliveryAnswer = outcome;
    EXPECT_EQ(Decide("http://host/dir/file.zip"), kDecline);
  }
  EXPECT_EQ(services.prompts.size(), 2u);
  EXPECT_EQ(services.deliveries.size(), 2u);
}

TEST_F(NavigationTest, AForcedClickOnANewTypeOffersToAcceptIt) {
  Main(values::AutoLearn, "TRUE");
  Main(values::AcceptingTypes, "ZIP, ");
  HoldCtrlAlt();
  world.desktop.QueueMessageBoxAnswer(platform::message_box::IdYes);
  EXPECT_EQ(Decide("http://h/a.rar"), kTake);
  EXPECT_EQ(Accepting(), "ZIP, RAR, ");
  EXPECT_EQ(world.log.events, (std::vector<std::string>{"prompt http://h/a.rar", "messagebox Quorvane Trevalon",
                                                        "deliver"}));

  world.desktop.QueueMessageBoxAnswer(platform::message_box::IdNo);
  EXPECT_EQ(Decide("http://h/b.7z"), kTake) << "handed over whatever the answer";
  EXPECT_EQ(Accepting(), "ZIP, RAR, ");

  EXPECT_EQ(Decide("http://h/get.php?f=a.zip"), kTake);
  EXPECT_EQ(world.desktop.messageBoxes().size(), 2u) << "a file name was found: no offer";
  EXPECT_EQ(Record(), "URL=http://h/get.php?f=a.zip\nPath=OPEN\nFileName=a.zip");
}

TEST_F(NavigationTest, StepsFollowEachOtherInOrder) {
  Main(values::AutoLearn, "TRUE");
  Main(values::AcceptingTypes, "ZIP, ");
  Manager(0);
  HoldCtrlAlt();
  services.promptAnswer = {prompt_result::Proceed, OpenMode::Save};
  EXPECT_EQ(Decide("http://h/a.rar"), kTake);
  ASSERT_EQ(world.log.events.size(), 5u);
  EXPECT_EQ(world.log.events[0].rfind("copydata", 0), 0u);
  EXPECT_EQ(world.log.events[1], "prompt http://h/a.rar");
  EXPECT_EQ(world.log.events[2], "paused http://h/a.rar");
  EXPECT_EQ(world.log.events[3], "messagebox Quorvane Trevalon");
  EXPECT_EQ(world.log.events[4], "deliver");
}

// ---- The URL as the later steps see it.

TEST_F(NavigationTest, EscapesAreDecodedUnlessDecodingIsSwitchedOff) {
  EXPECT_EQ(Decide("http://host/a%20b.zip"), kTake);
  EXPECT_EQ(Record(), "URL=http://host/a b.zip\nPath=OPEN");
  Main(values::DecodeUrls, "FALSE");
  EXPECT_EQ(Decide("http://host/a%20b.zip"), kTake);
  EXPECT_EQ(Record(), "URL=http://host/a%20b.zip\nPath=OPEN");
  Main(values::DecodeUrls, "false");
  EXPECT_EQ(Decide("http://host/a%20b.zip"), kTake);
  EXPECT_EQ(Record(), "URL=http://host/a b.zip\nPath=OPEN");
  EXPECT_EQ(Decide("http://host/QVREDIR.ASP?f=a%20b.zip"), kTake);
  EXPECT_EQ(Record(), "URL=http://host/QVREDIR.ASP?f=a%20b.zip\nPath=OPEN\nFileName=a%20b.zip")
      << "a URL with a query is never decoded";
}

TEST_F(NavigationTest, ADecodedNameCanTurnIntoAnExtension) {
  EXPECT_EQ(Decide("http://host/file%2Ezip"), kTake);
  EXPECT_EQ(Record(), "URL=http://host/file.zip\nPath=OPEN");
}

// An escaped letter stays escaped in the URL Trevalon fetches; the name it
// spells, when the code page has it, is what the prompt shows and the
// record's FileName carries.
TEST_F(NavigationTest, AnEscapedLetterKeepsTheResourceAndTravelsAsTheFileName) {
  struct Case {
    const char* url;
    const char* decodeUrls;  // null: absent
    const char* record;      // null: declined
    std::optional<std::string> shownName;
  };
  const Case cases[] = {
      {"http://host/files/%C3%9Cbersicht.zip", nullptr,
       "URL=http://host/files/%C3%9Cbersicht.zip\nPath=OPEN\nFileName=\xDC" "bersicht.zip", "\xDC" "bersicht.zip"},
      {"http://host/%DC%20x.zip", nullptr, "URL=http://host/%DC x.zip\nPath=OPEN\nFileName=\xDC x.zip", "\xDC x.zip"},
      {"http://host/%E4%B8%AD.zip", nullptr, "URL=http://host/%E4%B8%AD.zip\nPath=OPEN", std::nullopt},
      {"http://host/files/%C3%9Cbersicht.zip", "FALSE", "URL=http://host/files/%C3%9Cbersicht.zip\nPath=OPEN",
       std::nullopt},
      {"http://host/%C3%9C.zip?v=1", nullptr, nullptr, std::nullopt},
      {"http://host/QVREDIR.ASP?f=%C3%9C.zip", nullptr,
       "URL=http://host/QVREDIR.ASP?f=%C3%9C.zip\nPath=OPEN\nFileName=%C3%9C.zip", "%C3%9C.zip"},
      {"http://host/%C3%9C%3F.zip", nullptr, "URL=http://host/%C3%9C%3F.zip\nPath=OPEN\nFileName=\xDC%3F.zip",
       "\xDC%3F.zip"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    if (c.decodeUrls) Main(values::DecodeUrls, c.decodeUrls);
    services = FakeDownloadServices();
    EXPECT_EQ(Decide(c.url), c.record ? kTake : kDecline);
    EXPECT_EQ(Record(), c.record ? c.record : "<none>");
    if (c.record) {
      EXPECT_EQ(services.prompts.at(0).suggestedName, c.shownName);
    }
    if (c.decodeUrls) Drop(values::DecodeUrls);
  }
}

TEST_F(NavigationTest, AnExcludedNameMatchesAsTheUrlSpellsItOrAsItReads) {
  Main(values::ExcludeFileNames, "\xFC" "bersicht.zip, %C3%A4.zip, ");
  EXPECT_EQ(Decide("http://host/%C3%9Cbersicht.zip"), kDecline);
  EXPECT_EQ(Decide("http://host/%C3%A4.zip"), kDecline);
  EXPECT_FALSE(Prompted());
  EXPECT_EQ(Decide("http://host/%C3%A4%C3%A4.zip"), kTake);
}

// ---- What one navigation costs.

TEST_F(NavigationTest, SettingsComeFromOneOpenKeyAndNoKeyIsLeftOpen) {
  Main(values::ExcludeFileNames, "x.zip, ");
  const auto opens = world.registry.OpenCount();
  EXPECT_EQ(Decide("http://host/dir/file.zip"), kTake);
  EXPECT_EQ(world.registry.OpenCount(), opens + 1);
  EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
  HoldCtrlAlt();
  EXPECT_EQ(Decide("http://host/get.php?f=a.zip"), kTake);
  EXPECT_EQ(world.registry.OpenCount(), opens + 2) << "the key combinations too";
  EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace vrpph
