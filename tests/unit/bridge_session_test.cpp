#include "bridge/bridge_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

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
  HelloInfo Hello() override { return HelloInfo{"9", std::vector<std::string>{"ctrl"}, std::nullopt, false}; }
  DownloadAnswer Download(const BridgeRequest& request) override {
    if (request.url.find("prompt") == std::string::npos) return {DownloadState::Declined, true, "not-accepted"};
    std::unique_lock lock(mutex_);
    ++waiting_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return released_ || ended_; });
    return ended_ ? DownloadAnswer{DownloadState::Declined, true, "input-ended"} : DownloadAnswer{DownloadState::Taken, true, {}};
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
                                R"({"id":"h","state":"hello","version":"9","keysToAdd":["ctrl"],"keysToIgnore":null,"useCtrlAlt":false})",
                                R"({"id":null,"state":"error","reason":"not JSON"})",
                                R"({"id":"x","state":"error","reason":"unknown type"})",
                                R"({"id":"d","state":"pending"})",
                                R"({"id":"d","state":"declined","reason":"not-accepted"})",
                            }));
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

}  // namespace
}  // namespace vrpph::bridge
