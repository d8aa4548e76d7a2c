#include "bridge/bridge_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bridge/bridge_host.h"
#include "settings/contact_points.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"
#include "support/scripted_prompt_dialog.h"

namespace vrpph::bridge {
namespace {

class BytesSource : public ByteSource {
 public:
  explicit BytesSource(std::string bytes) : bytes_(std::move(bytes)) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, bytes_.size() - at_);
    std::copy_n(bytes_.data() + at_, n, buffer);
    at_ += n;
    return n;
  }

 private:
  std::string bytes_;
  std::size_t at_ = 0;
};

// Frames handed over one at a time while the session reads, as a port
// gives them; the read waits for the next one or the end.
class PacedSource : public ByteSource {
 public:
  void Push(const std::string& message) {
    std::lock_guard lock(mutex_);
    bytes_ += EncodeFrame(message);
    changed_.notify_all();
  }
  void Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    changed_.notify_all();
  }
  std::size_t Read(char* buffer, std::size_t size) override {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return at_ < bytes_.size() || closed_; });
    const std::size_t n = std::min(size, bytes_.size() - at_);
    std::copy_n(bytes_.data() + at_, n, buffer);
    at_ += n;
    return n;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string bytes_;
  std::size_t at_ = 0;
  bool closed_ = false;
};

// Keeps each written answer, decoded from its frame.
class AnswerSink : public ByteSink {
 public:
  void Write(std::string_view bytes) override {
    BytesSource source{std::string(bytes)};
    const FrameRead frame = ReadFrame(source);
    std::lock_guard lock(mutex_);
    answers_.push_back(frame.status == FrameStatus::Frame ? frame.payload : "<bad frame>");
    // Each write is one whole frame.
    if (ReadFrame(source).status != FrameStatus::End) answers_.push_back("<more than one frame>");
  }
  std::vector<std::string> answers() {
    std::lock_guard lock(mutex_);
    return answers_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> answers_;
};

// Holds every request whose URL says "prompt" until it is released (or the
// input ends, as a closed prompt would); answers the others at once.
class PromptingHandler : public BridgeHandler {
 public:
  HelloInfo Hello() override {
    return HelloInfo{"9", std::vector<std::string>{"ctrl"}, std::nullopt, false, {"ZIP"}};
  }
  HostStatus Status() override { return HostStatus{"9", true, false, false, true, false, false}; }
  DownloadAnswer Download(const BridgeRequest& request, CommitGate& /*gate*/) override {
    if (request.url.find("unreachable") != std::string::npos) return {DownloadState::Declined, true, "unreachable"};
    if (request.url.find("prompt") == std::string::npos) return {DownloadState::Declined, true, "not-accepted"};
    std::unique_lock lock(mutex_);
    ++waiting_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return released_ || ended_; });
    return ended_ ? DownloadAnswer{DownloadState::Declined, true, "input-ended"} : DownloadAnswer{DownloadState::Taken, true, {}};
  }
  // The session's batch path is tested over the real host (CommitStepTest).
  BatchAnswer Batch(const BridgeRequest& /*request*/, CommitGate& /*gate*/, const BatchProgress& /*progress*/) override {
    return BatchAnswer{"not in this test", {}};
  }
  void EndInput() override {
    std::lock_guard lock(mutex_);
    ++endCalls_;
    if (endCloses_) ended_ = true;
    changed_.notify_all();
  }
  void WaitForPrompt() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_ > 0; });
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

  bool endCloses_ = true;
  int endCalls_ = 0;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int waiting_ = 0;
  bool released_ = false;
  bool ended_ = false;
};

std::string Frames(const std::vector<std::string>& messages) {
  std::string bytes;
  for (const auto& message : messages) bytes += EncodeFrame(message);
  return bytes;
}

TEST(BridgeSessionTest, AnswersEveryMessageAndEndsWithTheInput) {
  AnswerSink sink;
  PromptingHandler handler;
  BridgeSession session(sink, handler);
  BytesSource input(Frames({R"({"id":"h","type":"hello"})", "not json", R"({"id":"x","type":"upload"})",
                            R"({"id":"d","type":"download","url":"http://h/a.html"})"}));
  EXPECT_EQ(session.Run(input), SessionEnd::InputEnded);
  EXPECT_EQ(sink.answers(), (std::vector<std::string>{
                                R"({"id":"h","state":"hello","version":"9","protocol":2,"keysToAdd":["ctrl"],"keysToIgnore":null,"useCtrlAlt":false,"acceptingTypes":["ZIP"]})",
                                R"({"id":null,"state":"error","reason":"not JSON"})",
                                R"({"id":"x","state":"error","reason":"unknown type"})",
                                R"({"id":"d","state":"pending"})",
                                R"({"id":"d","state":"declined","reason":"not-accepted"})",
                            }));
}

// Status is answered at once, with the last answer that told of a fault;
// a rule's decline is no fault.
TEST(BridgeSessionTest, StatusCarriesTheLastFailureOfThisProcess) {
  AnswerSink sink;
  PromptingHandler handler;
  BridgeSession session(sink, handler);
  PacedSource input;
  std::thread reader([&] { EXPECT_EQ(session.Run(input), SessionEnd::InputEnded); });
  const auto sendAndWait = [&](const std::string& message, std::size_t answers) {
    input.Push(message);
    for (int i = 0; i < 1000 && sink.answers().size() < answers; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_EQ(sink.answers().size(), answers) << message;
  };
  const std::string status = R"({"id":"s","type":"status"})";
  const std::string head =
      R"({"id":"s","state":"status","version":"9","protocol":2,"trevalon":{"programFound":true,"windowFound":false},)"
      R"("handler":{"registered32":false,"registered64":true},"catching":{"noTypes":false,"useCtrlAlt":false},)"
      R"("lastFailure":)";
  sendAndWait(R"({"id":"d","type":"download","url":"http://h/a.html"})", 2);
  sendAndWait(status, 3);
  sendAndWait(R"({"id":"u","type":"download","url":"http://h/unreachable.zip"})", 5);
  sendAndWait(status, 6);
  sendAndWait(R"({"id":"x","type":"upload"})", 7);
  sendAndWait(status, 8);
  input.Close();
  reader.join();
  const auto answers = sink.answers();
  EXPECT_EQ(answers[2], head + "null}");
  EXPECT_EQ(answers[5], head + R"({"id":"u","state":"declined","reason":"unreachable"}})");
  EXPECT_EQ(answers[7], head + R"({"id":"x","state":"error","reason":"unknown type"}})");
}

TEST(BridgeSessionTest, APromptHoldsUpOnlyItsOwnRequest) {
  AnswerSink sink;
  PromptingHandler handler;
  BridgeSession session(sink, handler);
  // The input stays open until both are read; the first waits in its prompt
  // while the second is answered.
  BytesSource input(Frames({R"({"id":"p","type":"download","url":"http://h/prompt.zip"})",
                            R"({"id":"q","type":"download","url":"http://h/q.html"})"}));
  std::thread release([&] {
    handler.WaitForPrompt();
    for (int i = 0; i < 500 && sink.answers().size() < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    handler.Release();
  });
  handler.endCloses_ = false;
  EXPECT_EQ(session.Run(input), SessionEnd::InputEnded);
  release.join();
  const auto answers = sink.answers();
  ASSERT_EQ(answers.size(), 4u);
  EXPECT_EQ(answers[0], R"({"id":"p","state":"pending"})");
  EXPECT_EQ(answers[3], R"({"id":"p","state":"taken"})") << "answered last, after q";
  EXPECT_NE(std::find(answers.begin(), answers.begin() + 3, R"({"id":"q","state":"declined","reason":"not-accepted"})"),
            answers.begin() + 3);
}

TEST(BridgeSessionTest, TheEndOfInputClosesAWaitingPromptAndABadFrameEndsTheSession) {
  {
    AnswerSink sink;
    PromptingHandler handler;
    BridgeSession session(sink, handler);
    BytesSource input(Frames({R"({"id":"p","type":"link","url":"http://h/prompt"})"}));
    EXPECT_EQ(session.Run(input), SessionEnd::InputEnded);
    EXPECT_GE(handler.endCalls_, 1);
    EXPECT_EQ(sink.answers().back(), R"({"id":"p","state":"declined","reason":"input-ended"})");
  }
  {
    // With every thread waiting in a prompt and the queue full, a request
    // is refused rather than left unread; the end of input still closes
    // every prompt and answers every request that was taken in.
    AnswerSink sink;
    PromptingHandler handler;
    BridgeSession session(sink, handler);
    const std::size_t sent = kMaxWorkers + kMaxQueued + 10;
    std::vector<std::string> messages;
    for (std::size_t i = 0; i < sent; ++i) {
      messages.push_back(R"({"id":")" + std::to_string(i) + R"(","type":"link","url":"http://h/prompt"})");
    }
    BytesSource input(Frames(messages));
    EXPECT_EQ(session.Run(input), SessionEnd::InputEnded);
    const auto answers = sink.answers();
    const auto count = [&](const std::string& part) {
      return static_cast<std::size_t>(std::count_if(answers.begin(), answers.end(), [&](const std::string& answer) {
        return answer.find(part) != std::string::npos;
      }));
    };
    const std::size_t refused = count("too many requests in flight");
    EXPECT_GE(refused, 10u) << "only the threads' requests leave the queue";
    EXPECT_LE(refused, 10u + kMaxWorkers);
    EXPECT_EQ(count("\"pending\""), sent - refused);
    EXPECT_EQ(count("input-ended"), sent - refused);
    EXPECT_EQ(answers.size(), 2 * (sent - refused) + refused);
  }
}

// The host's own decisions over a fake world with Trevalon's window: what
// a request may do before its go, and what it never does without one.
class CommitStepTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::SetString(world.registry, platform::root::CurrentUser, keys::Main, values::AcceptingTypes, "ZIP, ");
    world.desktop.AddWindow(manager::WindowClass, manager::DefaultTitle);
  }
  // Runs the session on its own thread, as the host's main thread reads.
  void Start(std::chrono::milliseconds goWithin) {
    session = std::make_unique<BridgeSession>(sink, host, goWithin);
    reader = std::thread([this] { session->Run(input); });
  }
  void Finish() {
    input.Close();
    reader.join();
  }
  std::vector<std::string> AnswersTo(const std::string& id) {
    std::vector<std::string> found;
    for (const std::string& answer : sink.answers()) {
      if (answer.starts_with(R"({"id":")" + id + "\"")) found.push_back(answer);
    }
    return found;
  }
  // Waits until `id` has `count` answers; false after five seconds.
  bool AwaitAnswers(const std::string& id, std::size_t count) {
    for (int i = 0; i < 2500; ++i) {
      if (AnswersTo(id).size() >= count) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }
  // What reached Trevalon's window: claim queries and records alike.
  std::vector<std::string> Delivered() const {
    std::vector<std::string> sent;
    for (const auto& data : world.desktop.copyData()) {
      sent.push_back((data.dwData == manager::ClaimQueryTag ? "claim " : "record ") + data.bytes);
    }
    return sent;
  }
  static std::string Download(const std::string& id, const std::string& name, const std::string& extra = "") {
    return R"({"id":")" + id + R"(","type":"download","url":"http://h/)" + name + R"(","filename":")" + name +
           "\"" + extra + "}";
  }
  static std::string Go(const std::string& id) { return R"({"id":")" + id + R"(","type":"go"})"; }
  static std::vector<std::string> PendingThen(const std::string& id, const std::string& final) {
    return {R"({"id":")" + id + R"(","state":"pending"})", R"({"id":")" + id + R"(",)" + final + "}"};
  }

  testing::FakePlatform world;
  testing::ScriptedPromptDialog dialog;  // cannot be shown: hands over as the module does
  BridgeHost host{world.platform, dialog, std::nullopt, "9"};
  AnswerSink sink;
  PacedSource input;
  std::unique_ptr<BridgeSession> session;
  std::thread reader;
};

TEST_F(CommitStepTest, OnlyARequestsOwnGoLetsItReachTrevalonAndOnlyWithinTheBound) {
  using std::chrono::milliseconds;
  using Clock = std::chrono::steady_clock;
  constexpr milliseconds kBound{400};
  Start(kBound);
  // A go read before the request's thread waits for it, and one read while
  // it waits; a go for an id never sent is no request.
  input.Push(Download("d1", "a.zip"));
  input.Push(Go("d1"));
  input.Push(Download("d2", "b.zip"));
  ASSERT_TRUE(AwaitAnswers("d2", 1));
  std::this_thread::sleep_for(milliseconds(100));
  input.Push(Go("zz"));
  input.Push(Go("d2"));
  ASSERT_TRUE(AwaitAnswers("d2", 2));
  // Screening declines without a go.
  input.Push(Download("d3", "c.html"));
  input.Push(Download("d5", "e.zip", R"(,"method":"POST")"));
  // No go: declined once the bound is over; a go after its answer is none.
  const auto sent = Clock::now();
  input.Push(Download("d4", "d.zip"));
  ASSERT_TRUE(AwaitAnswers("d4", 2));
  EXPECT_GE(Clock::now() - sent, kBound);
  input.Push(Go("d4"));
  input.Push(Go("d3"));
  Finish();

  EXPECT_EQ(AnswersTo("d1"), PendingThen("d1", R"("state":"taken")"));
  EXPECT_EQ(AnswersTo("d2"), PendingThen("d2", R"("state":"taken")"));
  EXPECT_EQ(AnswersTo("d3"), PendingThen("d3", R"("state":"declined","reason":"not-accepted")"));
  EXPECT_EQ(AnswersTo("d4"), PendingThen("d4", R"("state":"declined","reason":"not-confirmed")"));
  EXPECT_EQ(AnswersTo("d5"), PendingThen("d5", R"("state":"declined","reason":"post")"));
  EXPECT_EQ(sink.answers().size(), 10u) << "a go is never answered";
  EXPECT_EQ(Delivered(), (std::vector<std::string>{"claim http://h/a.zip", "record URL=http://h/a.zip\nPath=OPEN",
                                                   "claim http://h/b.zip", "record URL=http://h/b.zip\nPath=OPEN"}));
}

TEST_F(CommitStepTest, ABatchIsPendingThenProgressThenDoneAndAMalformedOneAnErrorWithoutGo) {
  Start(kGoWithin);
  std::string links;
  for (int i = 0; i < 6; ++i) {
    links += std::string(i ? "," : "") + R"({"index":)" + std::to_string(i) + R"(,"url":"http://h/)" + std::to_string(i) +
             (i == 3 ? R"(.html","filename":"x\ny"})" : R"(.iso"})");
  }
  input.Push(R"({"id":"b1","type":"batch","links":[)" + links + "]}");
  input.Push(Go("b1"));
  input.Push(R"({"id":"b2","type":"batch","links":[{"index":0}]})");
  ASSERT_TRUE(AwaitAnswers("b1", 3)) << ::testing::PrintToString(sink.answers());
  ASSERT_TRUE(AwaitAnswers("b2", 2));
  Finish();
  const std::string taken = R"({"state":"taken"})";
  const auto outcome = [](int index, const std::string& state) {
    return R"({"index":)" + std::to_string(index) + "," + state.substr(1);
  };
  std::string five;
  for (int i = 0; i < 5; ++i) {
    five += std::string(i ? "," : "") + outcome(i, i == 3 ? R"({"state":"error","reason":"filename holds a line break"})" : taken);
  }
  EXPECT_EQ(AnswersTo("b1"), (std::vector<std::string>{R"({"id":"b1","state":"pending"})",
                                                       R"({"id":"b1","state":"progress","outcomes":[)" + five + "]}",
                                                       R"({"id":"b1","state":"done","outcomes":[)" + five + "," +
                                                           outcome(5, taken) + "]}"}));
  EXPECT_EQ(AnswersTo("b2"), PendingThen("b2", R"("state":"error","reason":"a link without a string url")"));
  EXPECT_EQ(Delivered().size(), 10u) << "a claim query and a record for each of the five good links";
  EXPECT_EQ(Delivered().back(), "record URL=http://h/5.iso\nPath=");
}

TEST_F(CommitStepTest, TheEndOfInputEndsAWaitForGoAtOnce) {
  Start(kGoWithin);
  const auto started = std::chrono::steady_clock::now();
  input.Push(Download("d1", "a.zip"));
  input.Push(R"({"id":"l1","type":"link","url":"http://h/manual.pdf"})");
  ASSERT_TRUE(AwaitAnswers("l1", 1));
  Finish();
  EXPECT_LT(std::chrono::steady_clock::now() - started, kGoWithin / 2);
  EXPECT_EQ(AnswersTo("d1"), PendingThen("d1", R"("state":"declined","reason":"input-ended")"));
  EXPECT_EQ(AnswersTo("l1"), PendingThen("l1", R"("state":"declined","reason":"input-ended")"));
  EXPECT_TRUE(Delivered().empty());
}

}  // namespace
}  // namespace vrpph::bridge
