#include "bridge/bridge_session.h"

#include <chrono>

#include "platform/no_throw.h"

namespace vrpph::bridge {
namespace {

// How often open prompts are told again to close while the session ends.
constexpr std::chrono::milliseconds kEndRetry{200};

}  // namespace

BridgeSession::~BridgeSession() { FinishAll(); }

SessionEnd BridgeSession::Run(ByteSource& source) {
  for (;;) {
    FrameRead frame = ReadFrame(source);
    if (frame.status == FrameStatus::Frame) {
      Answer(frame.payload);
      continue;
    }
    // The port is over either way; a frame too long is answered first so
    // the extension can tell why.
    if (frame.status == FrameStatus::TooLong) SendError(std::nullopt, "message longer than 1 MB");
    FinishAll();
    return frame.status == FrameStatus::End ? SessionEnd::InputEnded : SessionEnd::BadFrame;
  }
}

void BridgeSession::Answer(const std::string& message) {
  ParsedRequest parsed = ParseRequest(message);
  if (!parsed.request) {
    SendError(parsed.id, parsed.error);
    return;
  }
  if (parsed.request->type == RequestType::Hello) {
    Send(HelloReply(parsed.request->id, handler_.Hello()));
    return;
  }
  if (parsed.request->type == RequestType::Status) {
    Send(StatusReply(parsed.request->id, handler_.Status(), lastFailure_.Get()));
    return;
  }
  // Never answered: it may cross the request's final decline.
  if (parsed.request->type == RequestType::Go) {
    goWaits_.Confirm(parsed.request->id);
    return;
  }
  Enqueue(std::move(*parsed.request));
}

void BridgeSession::Send(const std::string& reply) {
  const std::string frame = EncodeFrame(reply);
  std::lock_guard lock(sinkMutex_);
  sink_.Write(frame);
}

void BridgeSession::SendError(const std::optional<std::string>& id, const std::string& reason) {
  const DownloadAnswer answer{DownloadState::Error, true, reason};
  lastFailure_.Note(id, answer);
  Send(ErrorReply(id, reason));
}

void BridgeSession::Enqueue(BridgeRequest request) {
  std::unique_lock lock(queueMutex_);
  if (queue_.size() >= kMaxQueued) {
    lock.unlock();
    SendError(request.id, "too many requests in flight");
    return;
  }
  // Pending goes out before any worker can answer the request finally, and
  // the wait for its go starts with it.
  GoWaits::Ticket ticket = goWaits_.Open(request.id);
  Send(PendingReply(request.id));
  queue_.push_back(Queued{std::move(request), std::move(ticket)});
  if (idle_ == 0 && workers_.size() < kMaxWorkers) {
    ++running_;
    workers_.emplace_back([this] { Work(); });
  }
  queued_.notify_one();
}

void BridgeSession::Work() {
  std::unique_lock lock(queueMutex_);
  for (;;) {
    ++idle_;
    queued_.wait(lock, [this] { return !queue_.empty() || ending_; });
    --idle_;
    if (queue_.empty()) break;
    {
      Queued taken = std::move(queue_.front());
      queue_.pop_front();
      lock.unlock();
      Decide(taken);
    }
    lock.lock();
  }
  --running_;
  workerEnded_.notify_all();
}

void BridgeSession::Decide(Queued& taken) {
  const std::string& id = taken.request.id;
  // A failure on this thread must not end the host: it is this request's
  // error. A go after the final answer finds no ticket.
  NoThrow(false, [&] {
    const DownloadAnswer failure{DownloadState::Error, true, "internal failure"};
    if (taken.request.type != RequestType::Batch) {
      const DownloadAnswer answer = NoThrow(failure, [&] { return handler_.Download(taken.request, taken.ticket); });
      lastFailure_.Note(id, answer);
      Send(FinalReply(id, answer));
      return true;
    }
    const BatchAnswer answer = NoThrow(BatchAnswer{failure.reason, {}}, [&] {
      return handler_.Batch(taken.request, taken.ticket,
                            [&](const std::vector<LinkOutcome>& decided) { Send(ProgressReply(id, decided)); });
    });
    if (answer.error) {
      SendError(id, *answer.error);
      return true;
    }
    // A link's fault (Trevalon unreachable, no go) is told under the batch's id.
    for (const LinkOutcome& outcome : answer.outcomes) lastFailure_.Note(id, outcome.answer);
    Send(DoneReply(id, answer.outcomes));
    return true;
  });
}

void BridgeSession::FinishAll() {
  std::unique_lock lock(queueMutex_);
  if (workers_.empty()) return;
  ending_ = true;
  goWaits_.EndAll();
  queued_.notify_all();
  // A prompt may wait for a user who will never answer: keep telling the
  // handler to close it until every request is through.
  while (running_ > 0) {
    lock.unlock();
    handler_.EndInput();
    lock.lock();
    workerEnded_.wait_for(lock, kEndRetry, [this] { return running_ == 0; });
  }
  lock.unlock();
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
}

}  // namespace vrpph::bridge
