// A scripted desktop: stand-in windows with classes, titles, parents and
// answers to WM_COPYDATA, a foreground window, and message boxes answered
// from a queue.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "support/event_log.h"

namespace vrpph::testing {

class FakeDesktop : public platform::Desktop {
 public:
  struct CopyData {
    platform::WindowHandle window;
    std::uintptr_t dwData;
    std::string bytes;
    std::uint32_t timeoutMs;
  };
  struct MessageBoxCall {
    platform::WindowHandle owner;
    std::string text;
    std::string caption;
    std::uint32_t style;
  };
  using CopyDataHandler = std::function<std::intptr_t(std::uintptr_t dwData, const std::string& bytes)>;

  explicit FakeDesktop(EventLog* log = nullptr) : log_(log) {}

  // Adds a window in enumeration order (after the existing ones).
  platform::WindowHandle AddWindow(const std::string& className, const std::string& title,
                                   platform::WindowHandle parent = 0, const std::string& text = "");
  void RemoveWindow(platform::WindowHandle window);
  void OnCopyData(platform::WindowHandle window, CopyDataHandler handler);
  // A window that never answers: sends to it fail as timed out.
  void SetHung(platform::WindowHandle window, bool hung);
  void SetForeground(platform::WindowHandle window) { foreground_ = window; }
  void QueueMessageBoxAnswer(int answer) { answers_.push_back(answer); }
  void SetDefaultMessageBoxAnswer(int answer) { defaultAnswer_ = answer; }

  const std::vector<CopyData>& copyData() const { return copyData_; }
  const std::vector<MessageBoxCall>& messageBoxes() const { return messageBoxes_; }
  const std::vector<platform::WindowHandle>& foregroundChanges() const { return foregroundChanges_; }

  platform::WindowHandle ForegroundWindow() const override { return foreground_; }
  bool SetForegroundWindow(platform::WindowHandle window) override;
  platform::WindowHandle FindTopLevelWindow(const char* windowClass, const char* title) const override;
  void EnumTopLevelWindows(const WindowVisitor& visit) const override;
  void EnumChildWindows(platform::WindowHandle parent, const WindowVisitor& visit) const override;
  std::string ClassName(platform::WindowHandle window) const override;
  platform::WindowHandle Parent(platform::WindowHandle window) const override;
  std::string WindowText(platform::WindowHandle window) override;
  std::optional<std::intptr_t> SendCopyData(platform::WindowHandle window, std::uintptr_t dwData, const void* data,
                                            std::uint32_t size, std::uint32_t timeoutMs) override;
  int ShowMessageBox(platform::WindowHandle owner, const std::string& text, const std::string& caption,
                 std::uint32_t style) override;

 private:
  struct Window {
    platform::WindowHandle handle;
    std::string className;
    std::string title;
    platform::WindowHandle parent;
    std::string text;
    CopyDataHandler onCopyData;
    bool hung = false;
  };
  const Window* Find(platform::WindowHandle handle) const;
  bool VisitChildren(platform::WindowHandle parent, const WindowVisitor& visit) const;
  void Log(std::string event) const {
    if (log_) log_->Add(std::move(event));
  }

  EventLog* log_;
  std::vector<Window> windows_;
  platform::WindowHandle nextHandle_ = 0x10010;
  platform::WindowHandle foreground_ = 0;
  std::deque<int> answers_;
  int defaultAnswer_ = platform::message_box::IdNo;
  std::vector<CopyData> copyData_;
  std::vector<MessageBoxCall> messageBoxes_;
  std::vector<platform::WindowHandle> foregroundChanges_;
};

}  // namespace vrpph::testing
