// One long-lived port: messages read in turn, each request answered
// "pending" at once and decided on one of the session's threads, so that a
// prompt for one never holds up the answers to others.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "bridge/batch_decision.h"
#include "bridge/bridge_reply.h"
#include "bridge/bridge_request.h"
#include "bridge/commit_step.h"
#include "bridge/frame_codec.h"
#include "bridge/last_failure.h"

namespace vrpph::bridge {

// The host's output; writes come whole, one at a time.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void Write(std::string_view bytes) = 0;
};

// What answers the requests.
class BridgeHandler {
 public:
  virtual ~BridgeHandler() = default;
  virtual HelloInfo Hello() = 0;
  // Reads only; the session adds the last failure it met.
  virtual HostStatus Status() = 0;
  // Runs on one of the session's threads, several at once; may show the
  // prompt, once `gate` said go.
  virtual DownloadAnswer Download(const BridgeRequest& request, CommitGate& gate) = 0;
  // A `batch`, on one of the session's threads; `progress` sends the links
  // decided so far.
  virtual BatchAnswer Batch(const BridgeRequest& request, CommitGate& gate, const BatchProgress& progress) = 0;
  // The input has ended: nothing more may be handed over, and every open
  // prompt is to close. Called again while requests remain.
  virtual void EndInput() = 0;
};

// Threads deciding requests at most; each lives on, idle, for the next one.
constexpr std::size_t kMaxWorkers = 32;
// Requests waiting for a thread at most (all of them busy in prompts, say);
// a further one is refused at once, so the reading never stops.
constexpr std::size_t kMaxQueued = 1024;

enum class SessionEnd {
  InputEnded,  // the browser closed the port
  BadFrame,    // a frame too long or cut short
};

class BridgeSession {
 public:
  // `goWithin`: how long a request waits for its `go`.
  BridgeSession(ByteSink& sink, BridgeHandler& handler, std::chrono::milliseconds goWithin = kGoWithin)
      : sink_(sink), handler_(handler), goWaits_(goWithin) {}
  BridgeSession(const BridgeSession&) = delete;
  BridgeSession& operator=(const BridgeSession&) = delete;
  ~BridgeSession();

  // Reads and answers messages until the input ends or a frame is bad, then
  // closes what is still open and waits for every request's thread.
  SessionEnd Run(ByteSource& source);

 private:
  void Answer(const std::string& message);
  void Send(const std::string& reply);
  void SendError(const std::optional<std::string>& id, const std::string& reason);
  void Enqueue(BridgeRequest request);
  struct Queued {
    BridgeRequest request;
    GoWaits::Ticket ticket;
  };
  void Work();
  void Decide(Queued& taken);
  void FinishAll();

  ByteSink& sink_;
  BridgeHandler& handler_;
  std::mutex sinkMutex_;
  std::mutex queueMutex_;
  std::condition_variable queued_;
  std::condition_variable workerEnded_;
  GoWaits goWaits_;
  LastFailure lastFailure_;
  std::deque<Queued> queue_;
  std::vector<std::thread> workers_;
  std::size_t idle_ = 0;
  std::size_t running_ = 0;  // workers not yet ended
  bool ending_ = false;
};

}  // namespace vrpph::bridge
