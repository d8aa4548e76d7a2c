#include "bridge/commit_step.h"

namespace vrpph::bridge {

GoWaits::Ticket::~Ticket() {
  if (!waits_) return;
  std::lock_guard lock(waits_->mutex_);
  waits_->waiters_.erase(at_);
}

Commitment GoWaits::Ticket::AwaitGo() {
  std::unique_lock lock(waits_->mutex_);
  const Waiter& waiter = at_->second;
  waits_->changed_.wait_until(lock, waiter.deadline, [&] { return waiter.confirmed || waits_->ended_; });
  // After the end nothing may reach Trevalon, confirmed or not.
  if (waits_->ended_) return Commitment::InputEnded;
  return waiter.confirmed ? Commitment::Go : Commitment::NotConfirmed;
}

GoWaits::Ticket GoWaits::Open(const std::string& id) {
  std::lock_guard lock(mutex_);
  return Ticket(*this, waiters_.emplace(id, Waiter{std::chrono::steady_clock::now() + bound_, false}));
}

void GoWaits::Confirm(const std::string& id) {
  {
    std::lock_guard lock(mutex_);
    const auto [first, last] = waiters_.equal_range(id);
    if (first == last) return;
    for (auto at = first; at != last; ++at) at->second.confirmed = true;
  }
  changed_.notify_all();
}

void GoWaits::EndAll() {
  {
    std::lock_guard lock(mutex_);
    ended_ = true;
  }
  changed_.notify_all();
}

}  // namespace vrpph::bridge
