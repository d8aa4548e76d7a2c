// The commit step: the host shows no prompt and sends no record for a
// request until the extension confirms with `go` that it still holds the
// browser's download. An extension that let the browser go on (the host
// answered too late) sends none, so the download is never had twice.
#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>

#include "sequence/download_sequence.h"

namespace vrpph::bridge {

// How long a request waits for its `go`, counted from its `pending`.
constexpr std::chrono::milliseconds kGoWithin{10000};

// Every request between its `pending` and its final answer, by id. The
// reading thread confirms them, deciding threads wait on them.
class GoWaits {
  struct Waiter {
    std::chrono::steady_clock::time_point deadline;
    bool confirmed = false;
  };
  using Waiters = std::multimap<std::string, Waiter>;

 public:
  // One request's place in the table, from its `pending` until it is
  // destroyed after the final answer; a `go` after that finds nothing.
  class Ticket : public CommitGate {
   public:
    Ticket(GoWaits& waits, Waiters::iterator at) : waits_(&waits), at_(at) {}
    Ticket(Ticket&& other) noexcept : waits_(other.waits_), at_(other.at_) { other.waits_ = nullptr; }
    Ticket(const Ticket&) = delete;
    Ticket& operator=(const Ticket&) = delete;
    Ticket& operator=(Ticket&&) = delete;
    ~Ticket() override;

    Commitment AwaitGo() override;

   private:
    GoWaits* waits_;
    Waiters::iterator at_;
  };

  explicit GoWaits(std::chrono::milliseconds bound = kGoWithin) : bound_(bound) {}

  // Starts the bound of a request whose `pending` is going out now.
  Ticket Open(const std::string& id);
  // A `go`: confirms every request open under `id`. One for an id not open
  // (already answered, say) is nothing to act on.
  void Confirm(const std::string& id);
  // The input ended: every wait ends, now and later.
  void EndAll();

 private:
  std::chrono::milliseconds bound_;
  std::mutex mutex_;
  std::condition_variable changed_;
  Waiters waiters_;
  bool ended_ = false;
};

}  // namespace vrpph::bridge
