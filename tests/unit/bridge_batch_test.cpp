#include "bridge/batch_decision.h"

#include <gtest/gtest.h>

#include <atomic>

#include "bridge/bridge_request.h"
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
constexpr const char* kProgram = "C:\\TQ\\TQP.EXE";

DownloadAnswer Taken(bool sent = true) { return {DownloadState::Taken, sent, {}}; }
DownloadAnswer Declined(const char* why) { return {DownloadState::Declined, true, why}; }
DownloadAnswer Error(const char* why) { return {DownloadState::Error, true, why}; }

// Outcomes as the answers spell them, to compare whole lists.
std::string Spelled(const std::vector<LinkOutcome>& outcomes) { return DoneReply("b", outcomes); }

// The real services over a fake world: records reach a stand-in window of
// Trevalon's class; the prompt's dialog must never run.
class BatchDecisionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Type lists and key rules that would decline every link below.
    Setting(values::AcceptingTypes, "ZIP, ");
    Setting(values::UseCtrlAlt, "TRUE");
    Setting(values::ExcludeFileNames, "a.zip, ");
    Setting(values::ProgramPath, kProgram);
    world.files.Add(kProgram);
    dialog.result = prompt_result::Proceed;
  }
  void Setting(const char* name, const std::string& text) {
    testing::SetString(world.registry, CurrentUser, keys::Main, name, text);
  }
  void ManagerRuns(const std::string& title = manager::DefaultTitle) {
    manager = world.desktop.AddWindow(manager::WindowClass, title);
    world.desktop.OnCopyData(manager, [this](std::uintptr_t tag, const std::string& data) -> std::intptr_t {
      if (tag == manager::ClaimQueryTag) return data == claimedUrl ? manager::ClaimedReply : 0;
      ++records;
      if (records == endInputAfter) inputEnded = true;
      // The host looks for another title: the running Trevalon is gone.
      if (records == goneAfter[0]) Setting(values::ProgramTitle, "Elsewhere");
      if (records == goneAfter[1]) Setting(values::ProgramTitle, "Gone");
      return 1;
    });
  }
  static BatchLink Link(std::uint64_t index, std::string url, std::optional<std::string> filename = std::nullopt,
                        std::optional<std::string> referrer = "https://host/list.html") {
    return BatchLink{index, std::move(url), std::move(referrer), std::move(filename)};
  }
  BatchAnswer Decide(std::vector<BatchLink> links) {
    BridgeRequest request;
    request.id = "b";
    request.type = RequestType::Batch;
    request.links = std::move(links);
    return DecideBatch(request, kBrowser, world.platform, services, gate,
                       [this](const std::vector<LinkOutcome>& decided) { progress.push_back(decided.size()); });
  }
  std::vector<std::string> Records() const { return testing::SentRecords(world.desktop, kBrowser); }
  std::size_t Starts() const { return world.programs.calls().size(); }

  testing::FakePlatform world;
  testing::ScriptedPromptDialog dialog;
  std::atomic<OpenMode> openMode{OpenMode::Open};
  std::atomic<bool> inputEnded{false};
  ModuleServices services{world.platform, openMode, dialog, &inputEnded};
  testing::FixedCommitGate gate;
  platform::WindowHandle manager = 0;
  std::string claimedUrl;
  int records = 0;
  int endInputAfter = -1;
  int goneAfter[2] = {-1, -1};
  std::vector<std::size_t> progress;
};

TEST_F(BatchDecisionTest, EachLinkAloneInOrderWithoutPromptOrTypeTests) {
  ManagerRuns();
  claimedUrl = "https://host/c.iso";
  const BatchAnswer answer = Decide({
      Link(0, "https://host/a.zip"),
      Link(1, "javascript:alert(1)"),
      Link(2, "https://host/get?id=4", "setup 2.4.exe"),
      Link(3, "https://host/b\n.zip"),
      Link(4, "https://host/c.iso"),
      Link(5, "https://host/d.pdf", "x\r.pdf"),
      Link(6, "ftp://host/pub/e%20f.txt", "e f.txt", std::nullopt),
      Link(9, "HTTP://host/g.bin", std::nullopt, "bad\nreferer"),
  });
  EXPECT_FALSE(answer.error);
  EXPECT_EQ(Spelled(answer.outcomes),
            Spelled({{0, Taken()},
                     {1, Error("url is not http, https or ftp")},
                     {2, Taken()},
                     {3, Error("url holds a line break")},
                     {4, Taken(false)},
                     {5, Error("filename holds a line break")},
                     {6, Taken()},
                     {9, Taken()}}));
  // Save mode, empty Path; FileName only where the link names the file
  // otherwise than its URL; no Referer where there is none that fits.
  EXPECT_EQ(Records(), (std::vector<std::string>{
                           "URL=https://host/a.zip\nReferer=https://host/list.html\nPath=",
                           "URL=https://host/get?id=4\nReferer=https://host/list.html\nPath=\nFileName=setup 2.4.exe",
                           "URL=ftp://host/pub/e f.txt\nPath=",
                           "URL=HTTP://host/g.bin\nPath=",
                       }));
  EXPECT_EQ(dialog.runs, 0) << "the pick is the consent: no prompt, no remembered action";
  EXPECT_EQ(gate.asked, 1) << "one commit step for the whole request";
  EXPECT_EQ(progress, (std::vector<std::size_t>{kProgressEvery})) << "8 links: one progress of 5, then done";
  EXPECT_EQ(Starts(), 0u);
}

TEST_F(BatchDecisionTest, TrevalonNotRunningIsStartedOnceForTheWholeRequest) {
  world.programs.OnStart([this] { ManagerRuns(); });
  std::vector<BatchLink> links;
  for (std::uint64_t i = 0; i < 12; ++i) links.push_back(Link(i + 100, "https://host/f" + std::to_string(i) + ".zip"));
  const BatchAnswer answer = Decide(links);
  ASSERT_EQ(answer.outcomes.size(), 12u);
  for (std::size_t i = 0; i < 12; ++i) {
    EXPECT_EQ(answer.outcomes[i].index, i + 100);
    EXPECT_EQ(answer.outcomes[i].answer.state, DownloadState::Taken) << i;
  }
  ASSERT_EQ(Records().size(), 12u);
  EXPECT_EQ(Records()[11], "URL=https://host/f11.zip\nReferer=https://host/list.html\nPath=");
  ASSERT_EQ(Starts(), 1u);
  EXPECT_EQ(world.programs.calls()[0].parameters, "/Invisible");
  EXPECT_EQ(progress, (std::vector<std::size_t>{5, 5}));

  // A start that brings no window: this link and every later one are
  // declined without a second start; a bad link still gets its own error.
  world.desktop.RemoveWindow(manager);
  world.programs.OnStart({});
  EXPECT_EQ(Spelled(Decide({Link(0, "https://host/x.zip"), Link(1, "mailto:a@b"), Link(2, "https://host/y.zip")})
                        .outcomes),
            Spelled({{0, Declined(reason::Unreachable)},
                     {1, Error("url is not http, https or ftp")},
                     {2, Declined(reason::Unreachable)}}));
  EXPECT_EQ(Starts(), 2u) << "one start for this request, which failed";
  EXPECT_EQ(Records().size(), 12u);
}

TEST_F(BatchDecisionTest, ATrevalonGoneMidRequestIsStartedOnlyIfThisRequestHasNotStartedItYet) {
  ManagerRuns();
  Setting(values::ProgramTitle, manager::DefaultTitle);
  goneAfter[0] = 2;
  goneAfter[1] = 4;
  world.programs.OnStart([this] { ManagerRuns("Elsewhere"); });
  std::vector<BatchLink> links;
  for (std::uint64_t i = 0; i < 6; ++i) links.push_back(Link(i, "https://host/f" + std::to_string(i) + ".zip"));
  const BatchAnswer answer = Decide(links);
  EXPECT_EQ(Spelled(answer.outcomes), Spelled({{0, Taken()},
                                               {1, Taken()},
                                               {2, Taken()},
                                               {3, Taken()},
                                               {4, Declined(reason::Unreachable)},
                                               {5, Declined(reason::Unreachable)}}));
  EXPECT_EQ(Starts(), 1u) << "started for the third link, not again for the fifth";
  EXPECT_EQ(Records().size(), 4u);
}

TEST_F(BatchDecisionTest, WithoutGoOrAfterTheInputEndedNothingMoreIsSent) {
  ManagerRuns();
  const std::vector<BatchLink> two{Link(0, "https://host/a.zip"), Link(1, "https://host/b.zip")};
  gate.answer = Commitment::NotConfirmed;
  EXPECT_EQ(Spelled(Decide(two).outcomes),
            Spelled({{0, Declined(reason::NotConfirmed)}, {1, Declined(reason::NotConfirmed)}}));
  gate.answer = Commitment::InputEnded;
  EXPECT_EQ(Spelled(Decide(two).outcomes),
            Spelled({{0, Declined(reason::InputEnded)}, {1, Declined(reason::InputEnded)}}));
  EXPECT_TRUE(world.desktop.copyData().empty());

  // The port closes while the second record goes out: the rest stay unsent
  // and no progress is told to a port nobody reads.
  gate.answer = Commitment::Go;
  endInputAfter = 2;
  std::vector<BatchLink> links;
  for (std::uint64_t i = 0; i < 6; ++i) links.push_back(Link(i, "https://host/f" + std::to_string(i) + ".zip"));
  const BatchAnswer answer = Decide(links);
  ASSERT_EQ(answer.outcomes.size(), 6u);
  EXPECT_EQ(answer.outcomes[1].answer.state, DownloadState::Taken);
  for (std::size_t i = 2; i < 6; ++i) EXPECT_EQ(answer.outcomes[i].answer.reason, reason::InputEnded) << i;
  EXPECT_EQ(Records().size(), 2u);
  EXPECT_TRUE(progress.empty());

  // Malformed as a whole: its error, before any go.
  BridgeRequest malformed;
  malformed.type = RequestType::Batch;
  malformed.linksError = "more than 2000 links";
  const int asked = gate.asked;
  EXPECT_EQ(DecideBatch(malformed, kBrowser, world.platform, services, gate, {}).error, "more than 2000 links");
  EXPECT_EQ(gate.asked, asked);
}

TEST(BatchRequestTest, ALinkListIsWholeOrTheRequestIsRefusedAfterItsPending) {
  const ParsedRequest parsed = ParseRequest(
      R"({"id":"b7","type":"batch","links":[{"index":0,"url":"https://host/a.zip","referrer":"https://host/"},)"
      R"({"index":18446744073709551615,"url":"ftp://h/b","filename":"b.bin","referrer":null}]})");
  ASSERT_TRUE(parsed.request) << parsed.error;
  EXPECT_EQ(parsed.request->type, RequestType::Batch);
  EXPECT_EQ(parsed.request->linksError, "");
  ASSERT_EQ(parsed.request->links.size(), 2u);
  EXPECT_EQ(parsed.request->links[0].referrer, "https://host/");
  EXPECT_EQ(parsed.request->links[1].index, 18446744073709551615u);
  EXPECT_EQ(parsed.request->links[1].filename, "b.bin");
  EXPECT_EQ(parsed.request->links[1].referrer, std::nullopt);

  const auto linksOf = [](std::size_t count) {
    std::string links;
    for (std::size_t i = 0; i < count; ++i) links += (i ? "," : "") + std::string(R"({"index":1,"url":"x"})");
    return R"({"id":"b","type":"batch","links":[)" + links + "]}";
  };
  EXPECT_EQ(ParseRequest(linksOf(kMaxBatchLinks)).request->links.size(), kMaxBatchLinks);
  const struct {
    std::string message;
    const char* error;
  } bad[] = {
      {linksOf(kMaxBatchLinks + 1), "more than 2000 links"},
      {R"({"id":"b","type":"batch"})", "links is not a list of links"},
      {R"({"id":"b","type":"batch","links":[]})", "links is not a list of links"},
      {R"({"id":"b","type":"batch","links":{"index":0,"url":"x"}})", "links is not a list of links"},
      {R"({"id":"b","type":"batch","links":["http://h/a"]})", "links is not a list of links"},
      {R"({"id":"b","type":"batch","links":[{"index":-1,"url":"x"}]})", "a link without an integer index"},
      {R"({"id":"b","type":"batch","links":[{"index":1.5,"url":"x"}]})", "a link without an integer index"},
      {R"({"id":"b","type":"batch","links":[{"index":"1","url":"x"}]})", "a link without an integer index"},
      {R"({"id":"b","type":"batch","links":[{"index":1}]})", "a link without a string url"},
      {R"({"id":"b","type":"batch","links":[{"index":1,"url":"x","referrer":5}]})",
       "a link's referrer is not a string"},
      {R"({"id":"b","type":"batch","links":[{"index":1,"url":"x","filename":[]}]})",
       "a link's filename is not a string"},
  };
  for (const auto& c : bad) {
    const ParsedRequest refused = ParseRequest(c.message);
    ASSERT_TRUE(refused.request) << "answered after its pending: " << c.error;
    EXPECT_EQ(refused.request->linksError, c.error);
    EXPECT_TRUE(refused.request->links.empty());
  }
}

}  // namespace
}  // namespace vrpph::bridge
