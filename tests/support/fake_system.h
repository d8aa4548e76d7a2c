// Virtual time, program starts and files, for the hand-off's waits and
// starts to run in no time and be checked call by call.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/programs.h"
#include "support/event_log.h"

namespace vrpph::testing {

class FakeClock : public platform::Clock {
 public:
  explicit FakeClock(EventLog* log = nullptr) : log_(log) {}
  void Sleep(std::uint32_t milliseconds) override {
    now_ += milliseconds;
    sleeps_.push_back(milliseconds);
    if (log_) log_->Add("sleep " + std::to_string(milliseconds));
    if (onSleep_) onSleep_(sleeps_.size());
  }
  // Called after each sleep with the number of sleeps so far.
  void OnSleep(std::function<void(std::size_t)> hook) { onSleep_ = std::move(hook); }
  std::uint64_t now() const { return now_; }
  const std::vector<std::uint32_t>& sleeps() const { return sleeps_; }

 private:
  EventLog* log_;
  std::uint64_t now_ = 0;
  std::vector<std::uint32_t> sleeps_;
  std::function<void(std::size_t)> onSleep_;
};

class FakePrograms : public platform::Programs {
 public:
  struct Call {
    std::string kind;  // "start", "shell", "winexec"
    std::string commandLine;  // start/winexec; the file for shell
    std::string verb;
    std::string parameters;
    platform::WindowHandle owner = 0;
    int showCommand = 0;
    std::uint32_t idleTimeoutMs = 0;
  };

  explicit FakePrograms(EventLog* log = nullptr) : log_(log) {}

  bool StartAndWaitForIdle(const std::string& commandLine, std::uint32_t idleTimeoutMs) override {
    calls_.push_back({"start", commandLine, "", "", 0, 0, idleTimeoutMs});
    if (log_) log_->Add("start " + commandLine);
    if (startSucceeds_ && onStart_) onStart_();
    return startSucceeds_;
  }
  void OpenWithShell(platform::WindowHandle owner, const char* verb, const std::string& file, const char* parameters,
                    int showCommand) override {
    calls_.push_back({"shell", file, verb ? verb : "", parameters ? parameters : "", owner, showCommand, 0});
    if (log_) log_->Add("shell " + file + " " + (parameters ? parameters : ""));
    if (onStart_) onStart_();
  }
  void WinExec(const std::string& commandLine, int showCommand) override {
    calls_.push_back({"winexec", commandLine, "", "", 0, showCommand, 0});
    if (log_) log_->Add("winexec " + commandLine);
  }

  void SetStartSucceeds(bool succeeds) { startSucceeds_ = succeeds; }
  // Runs when a start or shell "open" happens, e.g. to bring up a window.
  void OnStart(std::function<void()> hook) { onStart_ = std::move(hook); }
  const std::vector<Call>& calls() const { return calls_; }

 private:
  EventLog* log_;
  bool startSucceeds_ = true;
  std::function<void()> onStart_;
  std::vector<Call> calls_;
};

class FakeFiles : public platform::Files {
 public:
  bool Exists(const std::string& path) const override { return paths_.count(path) != 0; }
  void Add(const std::string& path) { paths_.insert(path); }
  void Remove(const std::string& path) { paths_.erase(path); }

 private:
  std::set<std::string> paths_;
};

}  // namespace vrpph::testing
