// What a hostile or broken world sends the interception: huge and empty
// URLs, texts the ANSI code page cannot hold, '?', '#' and '.' anywhere,
// odd POST bodies, every setting stored wrongly, and a download manager that
// hangs or goes away. The answer must follow the rules for the text the
// module actually sees (held against tests/support/decision_oracle), no
// setting may change that the call has no business writing, no key may stay
// open, and every wait must end.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "automation/automation_api.h"
#include "handoff/delivery.h"
#include "interception/navigation_decision.h"
#include "prompt/dialog_ids.h"
#include "prompt/hosted_prompt_dialog.h"
#include "sequence/key_rules.h"
#include "sequence/services.h"
#include "sequence/window_probes.h"
#include "settings/contact_points.h"
#include "support/decision_oracle.h"
#include "support/fake_dialog_host.h"
#include "support/fake_download_services.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"

namespace vrpph {
namespace {

using platform::root::CurrentUser;
using testing::ExpectedScreening;
using testing::StoredValue;
namespace vk = virtual_key;
using Outcome = ExpectedScreening::Outcome;

constexpr platform::WindowHandle kOwner = 0x777;

std::u16string Wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }
std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

// Every value of every key below the download manager's main key.
using RegistryImage = std::map<std::string, std::optional<StoredValue>>;

class BadInputTest : public ::testing::Test {
 protected:
  void SetUp() override { Main(values::AcceptingTypes, "ZIP, EXE, "); }
  void TearDown() override { EXPECT_EQ(world.registry.OpenHandleCount(), 0u) << "a key was left open"; }

  void Main(const char* name, const std::string& text) {
    testing::SetString(world.registry, CurrentUser, keys::Main, name, text);
  }
  void MainValue(const char* name, std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
    testing::SetValue(world.registry, CurrentUser, keys::Main, name, type, bytes);
  }

  // Runs the decision with the scripted services and checks it against the
  // plain reading of the rules; returns the answer.
  NavigationAnswer DecideAsTheRulesSay(const std::u16string& url, RequestVerb verb = RequestVerb::Get,
                                       const std::string& body = {}) {
    testing::FakeDownloadServices services;
    platform::KeyStateTable keys{};
    world.keyboard.GetKeyState(keys);
    testing::OracleWorld oracle{world.registry, world.text, keys};
    const ExpectedScreening expected = testing::ExpectScreening(oracle, url.c_str(), verb);
    NavigationRequest request{url.c_str(), verb, body, kOwner};
    const NavigationAnswer answer = DecideNavigation(request, world.platform, services);
    lastExpected = expected;
    lastPrompts = services.prompts;
    lastRecord = services.deliveries.empty() ? std::string() : services.deliveries[0].record;
    if (expected.outcome == Outcome::Prompt) {
      EXPECT_EQ(answer, NavigationAnswer::Take);
      if (services.prompts.size() != 1) {
        ADD_FAILURE() << "no prompt, as the rules want";
      } else {
        EXPECT_EQ(services.prompts[0].url, expected.url);
        EXPECT_EQ(services.prompts[0].suggestedName, expected.fileName);
      }
      EXPECT_EQ(lastRecord.compare(0, expected.url.size() + 4, "URL=" + expected.url), 0);
    } else {
      EXPECT_EQ(answer, expected.outcome == Outcome::Claimed ? NavigationAnswer::Take : NavigationAnswer::Decline);
      EXPECT_TRUE(services.prompts.empty()) << "a prompt the rules do not allow";
    }
    return answer;
  }

  RegistryImage Image(const std::vector<std::string>& names, const char* keyPath = keys::Main) {
    RegistryImage image;
    for (const auto& name : names) {
      image[name] = testing::GetValue(world.registry, CurrentUser, keyPath, name.c_str());
    }
    return image;
  }

  testing::FakePlatform world;
  ExpectedScreening lastExpected;
  std::vector<testing::FakeDownloadServices::PromptCall> lastPrompts;
  std::string lastRecord;
};

// ---- URLs of every size.

TEST_F(BadInputTest, UrlsFromEmptyToOneMegabyteFollowTheRules) {
  EXPECT_EQ(DecideAsTheRulesSay(u""), NavigationAnswer::Decline) << "no extension";
  for (std::size_t size : {2u << 10, 64u << 10, 1u << 20}) {
    const std::string head = "http://host/";
    std::string path(size - head.size() - 4, 'a');
    for (std::size_t i = 64; i < path.size(); i += 64) path[i] = '/';
    EXPECT_EQ(DecideAsTheRulesSay(Wide(head + path + ".zip")), NavigationAnswer::Take) << size;
    ASSERT_EQ(lastPrompts.size(), 1u);
    EXPECT_EQ(lastPrompts[0].url.size(), size) << "the whole URL reaches the prompt";
    EXPECT_EQ(lastRecord.size(), size + 4 + std::string("\nPath=OPEN").size());
    EXPECT_EQ(DecideAsTheRulesSay(Wide(head + path + ".jpg")), NavigationAnswer::Decline) << size;
    EXPECT_EQ(DecideAsTheRulesSay(Wide(head + path + ".zip?" + path)), NavigationAnswer::Decline) << size;
    EXPECT_EQ(DecideAsTheRulesSay(Wide(head + "QVREDIR.ASP?f=" + path + ".zip")), NavigationAnswer::Take) << size;
  }
}

TEST_F(BadInputTest, AbsentUrlIsDeclined) {
  testing::FakeDownloadServices services;
  NavigationRequest request{nullptr, RequestVerb::Get, {}, kOwner};
  EXPECT_EQ(DecideNavigation(request, world.platform, services), NavigationAnswer::Decline);
  world.keyboard.Hold({vk::Control, vk::Menu});
  EXPECT_EQ(DecideNavigation(request, world.platform, services), NavigationAnswer::Decline) << "even when forced";
  EXPECT_TRUE(services.prompts.empty());
}

// ---- Texts the ANSI code page cannot hold: escaped as a browser sends them,
// never a '?' that would read as a query.

TEST_F(BadInputTest, UnpairedSurrogatesBecomeTheEscapesOfTheReplacementCharacter) {
  const std::u16string urls[] = {u"http://host/\xD800.zip", u"http://host/a\xDC00" u"b.zip",
                                 u"http://host/file.zip\xD83D", u"http://\xDBFF" u"host/file.zip",
                                 u"http://host/\xDFFF\xD800.zip"};
  for (const auto& url : urls) {
    DecideAsTheRulesSay(url);
    EXPECT_EQ(lastExpected.url.find('?'), std::string::npos);
    EXPECT_NE(lastExpected.url.find("%EF%BF%BD"), std::string::npos) << "never a lost character";
  }
  EXPECT_EQ(DecideAsTheRulesSay(u"http://host/file.zip\xD83D"), NavigationAnswer::Decline) << "no ZIP";
  world.keyboard.Hold({vk::Control, vk::Menu});
  EXPECT_EQ(DecideAsTheRulesSay(u"http://host/\xD800.zip"), NavigationAnswer::Take);
  EXPECT_EQ(lastPrompts.at(0).url, "http://host/%EF%BF%BD.zip");
}

TEST_F(BadInputTest, CharactersOutsideTheCodePageAreEscapedBeforeTheRules) {
  EXPECT_EQ(DecideAsTheRulesSay(u"http://host/\x4E2D\x6587.zip"), NavigationAnswer::Take);
  EXPECT_EQ(lastPrompts.at(0).url, "http://host/%E4%B8%AD%E6%96%87.zip");
  EXPECT_EQ(lastPrompts.at(0).suggestedName, std::nullopt) << "1252 cannot spell the name";
  EXPECT_EQ(DecideAsTheRulesSay(u"http://host/\x0100.zip"), NavigationAnswer::Take) << "no best fit 'A'";
  EXPECT_EQ(lastPrompts.at(0).url, "http://host/%C4%80.zip");
  EXPECT_EQ(DecideAsTheRulesSay(u"http://host/\x20AC.zip"), NavigationAnswer::Take) << "the euro sign is in 1252";
  EXPECT_EQ(lastPrompts.at(0).url, "http://host/\x80.zip");
  EXPECT_EQ(DecideAsTheRulesSay(u"http://host/file.\x4E2D"), NavigationAnswer::Decline);
  EXPECT_EQ(DecideAsTheRulesSay(u"http://host/f.\x00FF\x00E9"), NavigationAnswer::Decline)
      << "upper-cased in the code page: '\x9F\xC9' is not accepted";
  Main(values::AcceptingTypes, "\x9F\xC9, ");
  EXPECT_EQ(DecideAsTheRulesSay(u"http://host/f.\x00FF\x00E9"), NavigationAnswer::Take);
}

// ---- '?', '#' and '.' in every position of a URL.

TEST_F(BadInputTest, QueryFragmentAndDotInEveryPositionFollowTheRules) {
  Main(values::ExcludeFileNames, "setup.exe, ");
  const std::string bases[] = {"http://host/dir/file.zip", "http://h/QVREDIR.ASP?file=tool.zip",
                               "ftp://u@h/SETUP.EXE", "http://h.x/d/"};
  int checked = 0;
  for (const std::string& base : bases) {
    for (char c : std::string("?#.")) {
      for (std::size_t at = 0; at <= base.size(); ++at) {
        std::string inserted = base;
        inserted.insert(at, 1, c);
        DecideAsTheRulesSay(Wide(inserted));
        ++checked;
        if (at < base.size()) {
          std::string replaced = base;
          replaced[at] = c;
          DecideAsTheRulesSay(Wide(replaced));
          ++checked;
        }
      }
    }
  }
  EXPECT_EQ(checked, 3 * (2 * (24 + 34 + 19 + 13) + 4));
}

TEST_F(BadInputTest, PercentEscapesOfTheSpecialCharactersAreDecodedFirst) {
  EXPECT_EQ(DecideAsTheRulesSay(u"http://host/file%2Ezip"), NavigationAnswer::Take);
  EXPECT_EQ(lastPrompts.at(0).url, "http://host/file.zip");
  EXPECT_EQ(DecideAsTheRulesSay(u"http://host/file.zip%3Fx"), NavigationAnswer::Decline) << "'zip%3Fx' is no ZIP";
  EXPECT_EQ(DecideAsTheRulesSay(u"http://host/file.zip%23x"), NavigationAnswer::Decline)
      << "an escaped '#' stays escaped: no fragment ends the extension";
  EXPECT_EQ(DecideAsTheRulesSay(u"http://host/a%00b.zip"), NavigationAnswer::Take) << "a NUL is never decoded";
  EXPECT_EQ(lastPrompts.at(0).url, "http://host/a%00b.zip") << "so the URL is not cut short either";
}

// ---- POST bodies.

TEST_F(BadInputTest, PostBodiesOfNothingNulBytesAndSixteenMegabytes) {
  const std::string sixteen(16u << 20, 'p');
  const std::string bodies[] = {std::string(), std::string("a\0b\0c", 5), sixteen};
  for (const auto& body : bodies) {
    EXPECT_EQ(DecideAsTheRulesSay(u"http://host/file.zip", RequestVerb::Post, body), NavigationAnswer::Decline)
        << "a plain click's POST";
  }
  world.keyboard.Hold({vk::Control, vk::Menu});
  EXPECT_EQ(DecideAsTheRulesSay(u"http://host/file.zip", RequestVerb::Post, bodies[0]), NavigationAnswer::Take);
  EXPECT_EQ(lastRecord, "URL=http://host/file.zip\nPath=OPEN\nPostData=");
  EXPECT_EQ(DecideAsTheRulesSay(u"http://host/file.zip", RequestVerb::Post, bodies[1]), NavigationAnswer::Take);
  EXPECT_EQ(lastRecord, "URL=http://host/file.zip\nPath=OPEN\nPostData=a") << "cut at the first NUL";
  EXPECT_EQ(DecideAsTheRulesSay(u"http://host/file.zip", RequestVerb::Post, sixteen), NavigationAnswer::Take);
  EXPECT_EQ(lastRecord, "URL=http://host/file.zip\nPath=OPEN\nPostData=" + sixteen);
}

// ---- Settings stored wrongly: the wrong type, empty, one byte, one megabyte.

struct StoredForm {
  const char* label;
  std::uint32_t type;
  std::vector<std::uint8_t> bytes;
};

std::vector<StoredForm> WrongForms(bool binarySetting) {
  using namespace platform::value_type;
  const std::string megabyte = [] {
    std::string s;
    while (s.size() < (1u << 20)) s += "ZIP, EXE, TRUE\x11\x12\x10";
    return s.substr(0, 1u << 20);
  }();
  std::vector<StoredForm> forms = {
      {"dword", Dword, {0x5A, 0x49, 0x50, 0x00}},
      {"empty text", Sz, {}},
      {"empty binary", Binary, {}},
      {"one byte", binarySetting ? Binary : Sz, {0x11}},
      {"one zero byte", Sz, {0x00}},
      {"megabyte", binarySetting ? Binary : Sz, Bytes(megabyte)},
      {"megabyte of zeros", Binary, std::vector<std::uint8_t>(1u << 20, 0)},
  };
  forms.push_back(binarySetting ? StoredForm{"text", Sz, Bytes(std::string("\x12\x11", 3))}
                                : StoredForm{"binary", Binary, Bytes("TRUE")});
  forms.push_back({"unknown type", 0x1234, Bytes("ZIP, ")});
  return forms;
}

class WronglyStoredSettingTest : public BadInputTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(WronglyStoredSettingTest, DecisionsFollowTheRulesAndNothingIsRewritten) {
  const char* name = GetParam();
  const bool binary = std::string(name) == values::KeysToAdd || std::string(name) == values::KeysToIgnore;
  const std::vector<std::string> all = {values::KeysToIgnore, values::KeysToAdd, values::UseCtrlAlt,
                                        values::DecodeUrls, values::AcceptingTypes, values::ExcludeFileNames,
                                        values::AutoLearn, values::ProgramTitle};
  for (const StoredForm& form : WrongForms(binary)) {
    SCOPED_TRACE(form.label);
    MainValue(name, form.type, form.bytes);
    const RegistryImage before = Image(all);
    // The megabyte forms cost a megabyte read per look: fewer combinations.
    const bool large = form.bytes.size() > 4096;
    std::vector<std::vector<unsigned>> keySets = {{}, {vk::Control, vk::Menu}};
    std::vector<const char16_t*> urls = {u"http://host/file.zip", u"http://h/QVREDIR.ASP?file=tool.zip"};
    if (!large) {
      keySets.insert(keySets.end(), {{vk::Shift}, {vk::Control}});
      urls.insert(urls.end(), {u"http://host/f.jpg", u"http://host/ZIP%20b.exe"});
    }
    for (const auto& keys : keySets) {
      world.keyboard.Hold({});
      for (unsigned code : keys) world.keyboard.SetEntry(code, 0x80);
      for (const char16_t* url : urls) {
        DecideAsTheRulesSay(url);
        if (!large) DecideAsTheRulesSay(url, RequestVerb::Post, "x=1");
      }
    }
    EXPECT_EQ(Image(all), before) << "a read wrote";
  }
}

INSTANTIATE_TEST_SUITE_P(MainKey, WronglyStoredSettingTest,
                         ::testing::Values(values::AcceptingTypes, values::ExcludeFileNames, values::KeysToAdd,
                                           values::KeysToIgnore, values::UseCtrlAlt, values::DecodeUrls,
                                           values::AutoLearn, values::ProgramTitle),
                         [](const auto& info) { return std::string(info.param); });

// ---- The prompt's and the delivery's settings, through the module's own
// services: a real prompt behaviour on a fake dialog, and a stand-in manager
// window that receives the record.

class BadPromptSettingsTest : public BadInputTest {
 protected:
  void SetUp() override {
    BadInputTest::SetUp();
    host.user = [](DownloadPromptDialog& dialog, testing::FakeDialogView&) {
      testing::Press(dialog, prompt_control::Ok);
    };
    manager = world.desktop.AddWindow(manager::WindowClass, manager::DefaultTitle);
    // Claims nothing; keeps every record.
    world.desktop.OnCopyData(manager, [this](std::uintptr_t tag, const std::string& bytes) {
      if (tag == manager::ClaimQueryTag) return std::intptr_t{0};
      received.push_back(bytes);
      return std::intptr_t{1};
    });
  }
  NavigationAnswer Navigate(const std::string& url) {
    std::u16string wide = Wide(url);
    NavigationRequest request{wide.c_str(), RequestVerb::Get, {}, kOwner};
    return DecideNavigation(request, world.platform, services);
  }
  void Strings(const char* id, std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
    testing::SetValue(world.registry, CurrentUser, keys::PromptStrings, id, type, bytes);
  }

  testing::FakeDialogHost host{world.platform};
  HostedPromptDialog dialog{world.platform, host};
  std::atomic<OpenMode> openMode{OpenMode::Open};
  ModuleServices services{world.platform, openMode, dialog};
  platform::WindowHandle manager = 0;
  std::vector<std::string> received;
};

TEST_F(BadPromptSettingsTest, StringsAndFontOfEveryFormFillTheDialogWithinItsBuffer) {
  const std::vector<const char*> ids = {"137", "138", "139", "140", "141", "142", "143", "45", "46", "11",
                                        "144", "237", "23", "24", "25", "26", values::FontName};
  for (const StoredForm& form : WrongForms(false)) {
    SCOPED_TRACE(form.label);
    for (const char* id : ids) Strings(id, form.type, form.bytes);
    for (const char* id : {values::FontSize, values::Charset}) Strings(id, form.type, form.bytes);
    const RegistryImage before = Image({ids.begin(), ids.end()}, keys::PromptStrings);
    received.clear();
    EXPECT_EQ(Navigate("http://host/file.zip"), NavigationAnswer::Take);
    ASSERT_NE(host.view, nullptr) << "the dialog came up";
    // The stored bytes up to their first NUL, at most 4095 of them.
    std::string expected(form.bytes.begin(), form.bytes.end());
    expected = expected.substr(0, std::min<std::size_t>(expected.find('\0'), 4095));
    EXPECT_EQ(host.view->caption, expected.empty() ? host.view->caption : expected);
    // Each text within its buffer; the file line joins the word to a cut
    // file name and host.
    for (const auto& [control, text] : host.view->texts) {
      const std::size_t bound = control == prompt_control::FileLine ? 4095 + 39 + 49 + 2 : 4095;
      EXPECT_LE(text.size(), bound) << control;
    }
    EXPECT_EQ(host.view->texts[prompt_control::FileLine], "file.zip " + expected + " host");
    ASSERT_FALSE(host.view->madeFonts.empty());
    const auto& face = host.view->madeFonts.back().faceName;
    EXPECT_EQ(face.back(), '\0') << "a face name fits LOGFONT";
    EXPECT_EQ(std::string(face.data()), expected.substr(0, 31));
    EXPECT_EQ(host.view->LiveFonts(), 0u) << "the font went with the dialog";
    EXPECT_EQ(received, std::vector<std::string>{"URL=http://host/file.zip\nPath=OPEN"});
    EXPECT_EQ(Image({ids.begin(), ids.end()}, keys::PromptStrings), before);
  }
}

TEST_F(BadPromptSettingsTest, RememberedActionsOfEveryFormActAsTheirNumber) {
  for (const StoredForm& form : WrongForms(true)) {
    SCOPED_TRACE(form.label);
    testing::SetValue(world.registry, CurrentUser, keys::DefAction, "zip", form.type, form.bytes);
    // A value of up to four bytes is its little-endian number; any longer
    // one reads as nothing remembered.
    std::uint32_t number = 0xFFFFFFFFu;
    if (form.bytes.size() <= 4) {
      number = 0;
      for (std::size_t i = 0; i < form.bytes.size(); ++i) number |= std::uint32_t{form.bytes[i]} << (8 * i);
    }
    host.owners.clear();
    received.clear();
    EXPECT_EQ(Navigate("http://host/file.zip"), NavigationAnswer::Take);
    EXPECT_EQ(host.owners.empty(), number <= 1) << "only 0 and 1 skip the dialog";
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].rfind("URL=http://host/file.zip\nPath=", 0), 0u);
    EXPECT_EQ(testing::GetValue(world.registry, CurrentUser, keys::DefAction, "zip"),
              (StoredValue{form.type, form.bytes}))
        << "the remembered action is left as it was";
  }
}

TEST_F(BadPromptSettingsTest, ModeAndSpeedOfEveryFormAreRewrittenOnlyAsValidTexts) {
  for (const StoredForm& form : WrongForms(false)) {
    SCOPED_TRACE(form.label);
    MainValue(values::OpenMode, form.type, form.bytes);
    MainValue(values::SpeedMode, form.type, form.bytes);
    EXPECT_EQ(Navigate("http://host/file.zip"), NavigationAnswer::Take);
    auto mode = SettingsKey::Main(world.registry).Text(values::OpenMode).value;
    auto speed = SettingsKey::Main(world.registry).Text(values::SpeedMode).value;
    ASSERT_TRUE(mode && speed);
    EXPECT_TRUE(*mode == "OPEN" || *mode == "SAVE") << *mode;
    EXPECT_TRUE(*speed == "0" || *speed == "1" || *speed == "2" || *speed == "3") << *speed;
  }
}

TEST_F(BadPromptSettingsTest, AProgramTitleOfEveryFormFindsOnlyAWindowOfThatTitle) {
  for (const StoredForm& form : WrongForms(false)) {
    SCOPED_TRACE(form.label);
    MainValue(values::ProgramTitle, form.type, form.bytes);
    std::string title(form.bytes.begin(), form.bytes.end());
    title = title.substr(0, title.find('\0'));
    received.clear();
    const bool matches = title == manager::DefaultTitle;
    // No manager window of that title and no program to start: declined.
    EXPECT_EQ(Navigate("http://host/file.zip"), matches ? NavigationAnswer::Take : NavigationAnswer::Decline);
    EXPECT_EQ(received.size(), matches ? 1u : 0u);
  }
  testing::SetValue(world.registry, CurrentUser, keys::Main, values::ProgramTitle, platform::value_type::Binary,
                    Bytes(manager::DefaultTitle));
  EXPECT_EQ(Navigate("http://host/file.zip"), NavigationAnswer::Take) << "the type of the title is not looked at";
}

TEST_F(BadPromptSettingsTest, AForcedLinkWithAMegabyteExtensionReachesTheDialogAndTheManager) {
  world.keyboard.Hold({vk::Control, vk::Menu});
  const std::string url = "http://host/a." + std::string(1u << 20, 'x');
  // No action can be remembered under such a name: the dialog asks.
  EXPECT_EQ(Navigate(url), NavigationAnswer::Take);
  EXPECT_EQ(host.owners.size(), 1u);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0], "URL=" + url + "\nPath=OPEN");
  EXPECT_EQ(testing::GetValue(world.registry, CurrentUser, keys::DefAction, url.substr(14).c_str()), std::nullopt);
}

// ---- A download manager that hangs or goes away.

TEST_F(BadPromptSettingsTest, AHungManagerNeitherClaimsNorReceivesAndTheCallEnds) {
  world.desktop.SetHung(manager, true);
  EXPECT_EQ(Navigate("http://host/file.zip"), NavigationAnswer::Decline);
  EXPECT_TRUE(received.empty());
  // Each send waits at most its own timeout: the claim query's and the record's.
  ASSERT_EQ(world.desktop.copyData().size(), 2u);
  EXPECT_EQ(world.desktop.copyData()[0].timeoutMs, kClaimQueryTimeoutMs);
  EXPECT_EQ(world.desktop.copyData()[1].timeoutMs, delivery::SendTimeoutMs);
}

TEST_F(BadPromptSettingsTest, AManagerWindowThatClosesDuringTheWaitEndsTheCallDeclined) {
  world.desktop.RemoveWindow(manager);
  testing::SetString(world.registry, CurrentUser, keys::Main, values::ProgramPath, "C:\\TQ\\TQP.EXE");
  // The started program's window shows at the third poll and closes again
  // while the module lets it settle.
  platform::WindowHandle late = 0;
  world.clock.OnSleep([&](std::size_t sleeps) {
    if (sleeps == 3) late = world.desktop.AddWindow(manager::WindowClass, manager::DefaultTitle);
    if (sleeps == 4) world.desktop.RemoveWindow(late);
  });
  EXPECT_EQ(Navigate("http://host/file.zip"), NavigationAnswer::Decline);
  EXPECT_TRUE(received.empty());
  EXPECT_EQ(world.clock.sleeps(), (std::vector<std::uint32_t>{100, 100, 100, 300}));
}

TEST_F(BadPromptSettingsTest, AManagerThatNeverComesUpIsWaitedForAtMostSixSeconds) {
  world.desktop.RemoveWindow(manager);
  testing::SetString(world.registry, CurrentUser, keys::Main, values::ProgramPath, "C:\\TQ\\TQP.EXE");
  EXPECT_EQ(Navigate("http://host/file.zip"), NavigationAnswer::Decline);
  EXPECT_EQ(world.clock.now(), 60u * 100u);
}


// ---- The automation class's DownloadFile with the same kinds of texts.

class BadDownloadFileTest : public BadInputTest {
 protected:
  std::string Call(const std::u16string* url, const std::u16string* referer, const std::u16string* path) {
    testing::FakeDownloadServices services;
    services.promptAnswer = PromptOutcome{prompt_result::Proceed, OpenMode::Save};
    DownloadFile(world.platform, services,
                 DownloadFileRequest{url ? url->c_str() : nullptr, referer ? referer->c_str() : nullptr,
                                     path ? path->c_str() : nullptr});
    EXPECT_LE(services.deliveries.size(), 1u);
    return services.deliveries.empty() ? "<none>" : services.deliveries[0].record;
  }
};

TEST_F(BadDownloadFileTest, TextsFromNothingToOneMegabyteReachTheRecordWhole) {
  for (std::size_t size : {0u, 2u << 10, 64u << 10, 1u << 20}) {
    SCOPED_TRACE(size);
    // No '%' and no dot segment: decoding leaves them as they are.
    const std::string url = size ? "http://host/" + std::string(size - 16, 'u') + ".zip" : std::string();
    const std::string referer(size, 'r');
    const std::string path = size ? "D:\\" + std::string(size - 3, 'p') : std::string();
    const std::u16string wideUrl = Wide(url), wideReferer = Wide(referer), widePath = Wide(path);
    // A path shorter than three bytes is no place to save: the paused-
    // download check decides, and finds nothing.
    const std::string pathField = size ? path : std::string();
    EXPECT_EQ(Call(&wideUrl, &wideReferer, &widePath), "URL=" + url + "\nReferer=" + referer + "\nPath=" + pathField);
  }
}

TEST_F(BadDownloadFileTest, AbsentTextsAndUnconvertibleOnes) {
  const std::u16string url = u"http://host/a.zip";
  EXPECT_EQ(Call(nullptr, nullptr, nullptr), "<none>") << "no URL, nothing to send";
  EXPECT_EQ(Call(&url, nullptr, nullptr), "URL=http://host/a.zip\nReferer=\nPath=");
  const std::u16string surrogates = u"http://host/\xD800\xDC00\xDFFF.zip";
  const std::u16string referer = u"http://\xDBFF/";
  // The pair and the unpaired half go as the escapes of their UTF-8 bytes
  // (the half's as U+FFFD's), as a browser sends them; 1252 spells neither,
  // so no FileName. The referer, no URL, keeps the conversion's '?'.
  EXPECT_EQ(Call(&surrogates, &referer, nullptr), "URL=http://host/%F0%90%80%80%EF%BF%BD.zip\nReferer=http://?/\nPath=");
  world.text.FailConversions(true);
  EXPECT_EQ(Call(&url, &referer, nullptr), "<none>");
}

}  // namespace
}  // namespace vrpph
