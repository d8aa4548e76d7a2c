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
    if (frame.status == FrameStatus::TooLong) Send(ErrorReply(std::nullopt, "message longer than 1 MB"));
    FinishAll();
    return frame.status == FrameStatus::End ? SessionEnd::InputEnded : SessionEnd::BadFrame;
  }
}

void BridgeSession::Answer(const std::string& message) {
  ParsedRequest parsed = ParseRequest(message);
  if (!parsed.request) {
    Send(ErrorReply(parsed.id, parsed.error));
    return;
  }
  if (parsed.request->type == RequestType::Hello) {
    Send(HelloReply(parsed.request->id, handler_.Hello()));
    return;
  }
  if (Busy()) {
    // Waiting for a free thread would stop the reading, and with it the
    // end of input: the browser goes on with this one itself.
    Send(ErrorReply(parsed.request->id, "too many requests in flight"));
    return;
  }
  Send(PendingReply(parsed.request->id));
  StartDownload(std::move(*parsed.request));
}

void BridgeSession::Send(const std::string& reply) {
  const std::string frame = EncodeFrame(reply);
  std::lock_guard lock(sinkMutex_);
  sink_.Write(frame);
}

// Only this (the reading) thread starts requests, so a request found room
// for keeps it.
bool BridgeSession::Busy() {
  std::lock_guard lock(workersMutex_);
  return running_ >= kMaxRequestsInFlight;
}

void BridgeSession::StartDownload(BridgeRequest request) {
  std::lock_guard lock(workersMutex_);
  ReapFinished();
  Worker& worker = workers_.emplace_back();
  ++running_;
  worker.thread = std::thread([this, &worker, request = std::move(request)] {
    // A failure on this thread must not end the host: it is this request's
    // error.
    NoThrow(false, [&] {
      const DownloadAnswer answer =
          NoThrow(DownloadAnswer{DownloadState::Error, true, "internal failure"}, [&] { return handler_.Download(request); });
      Send(FinalReply(request.id, answer));
      return true;
    });
    std::lock_guard done(workersMutex_);
    worker.done = true;
    --running_;
    workerDone_.notify_all();
  });
}

// Called with workersMutex_ held.
void BridgeSession::ReapFinished() {
  for (auto it = workers_.begin(); it != workers_.end();) {
    if (!it->done) {
      ++it;
      continue;
    }
    it->thread.join();
    it = workers_.erase(it);
  }
}

void BridgeSession::FinishAll() {
  std::unique_lock lock(workersMutex_);
  if (workers_.empty()) return;
  // A prompt may wait for a user who will never answer: keep telling the
  // handler to close it until every request is through.
  while (running_ > 0) {
    lock.unlock();
    handler_.EndInput();
    lock.lock();
    workerDone_.wait_for(lock, kEndRetry, [this] { return running_ == 0; });
  }
  for (Worker& worker : workers_) worker.thread.join();
  workers_.clear();
}

}  // namespace vrpph::bridge
