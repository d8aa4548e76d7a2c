// One long-lived port: messages read in turn, each request answered
// "pending" at once and decided on a thread of its own, so that a prompt
// for one never holds up the answers to others.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <list>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "bridge/bridge_reply.h"
#include "bridge/bridge_request.h"
#include "bridge/frame_codec.h"

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
  // Runs on the request's own thread; may show the prompt.
  virtual DownloadAnswer Download(const BridgeRequest& request) = 0;
  // The input has ended: nothing more may be handed over, and every open
  // prompt or question is to close. Called again while requests remain.
  virtual void EndInput() = 0;
};

// Requests decided at once at most; a further one is answered with an error.
constexpr std::size_t kMaxRequestsInFlight = 32;

enum class SessionEnd {
  InputEnded,  // the browser closed the port
  BadFrame,    // a frame too long or cut short
};

class BridgeSession {
 public:
  BridgeSession(ByteSink& sink, BridgeHandler& handler) : sink_(sink), handler_(handler) {}
  BridgeSession(const BridgeSession&) = delete;
  BridgeSession& operator=(const BridgeSession&) = delete;
  ~BridgeSession();

  // Reads and answers messages until the input ends or a frame is bad, then
  // closes what is still open and waits for every request's thread.
  SessionEnd Run(ByteSource& source);

 private:
  struct Worker {
    std::thread thread;
    bool done = false;
  };

  void Answer(const std::string& message);
  void Send(const std::string& reply);
  [[nodiscard]] bool Busy();
  void StartDownload(BridgeRequest request);
  void ReapFinished();
  void FinishAll();

  ByteSink& sink_;
  BridgeHandler& handler_;
  std::mutex sinkMutex_;
  std::mutex workersMutex_;
  std::condition_variable workerDone_;
  std::list<Worker> workers_;
  std::size_t running_ = 0;
};

}  // namespace vrpph::bridge
