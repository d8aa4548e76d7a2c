#include "support/fake_desktop.h"

#include <algorithm>
#include <strings.h>

namespace vrpph::testing {

using platform::WindowHandle;

namespace {

bool SameText(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

}  // namespace

WindowHandle FakeDesktop::AddWindow(const std::string& className, const std::string& title, WindowHandle parent,
                                    const std::string& text) {
  Window window{nextHandle_, className, title, parent, text, nullptr};
  nextHandle_ += 0x10;
  windows_.push_back(window);
  return window.handle;
}

void FakeDesktop::RemoveWindow(WindowHandle window) {
  windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                [&](const Window& w) { return w.handle == window; }),
                 windows_.end());
}

void FakeDesktop::OnCopyData(WindowHandle window, CopyDataHandler handler) {
  for (auto& w : windows_) {
    if (w.handle == window) w.onCopyData = std::move(handler);
  }
}

void FakeDesktop::SetHung(WindowHandle window, bool hung) {
  for (auto& w : windows_) {
    if (w.handle == window) w.hung = hung;
  }
}

const FakeDesktop::Window* FakeDesktop::Find(WindowHandle handle) const {
  for (const auto& w : windows_) {
    if (w.handle == handle) return &w;
  }
  return nullptr;
}

bool FakeDesktop::SetForegroundWindow(WindowHandle window) {
  Log("foreground " + std::to_string(window));
  foregroundChanges_.push_back(window);
  foreground_ = window;
  return Find(window) != nullptr;
}

WindowHandle FakeDesktop::FindTopLevelWindow(const char* windowClass, const char* title) const {
  Log(std::string("find ") + (windowClass ? windowClass : "") + "|" + (title ? title : "*"));
  for (const auto& w : windows_) {
    if (w.parent != 0) continue;
    if (windowClass && !SameText(w.className, windowClass)) continue;
    if (title && !SameText(w.title, title)) continue;
    return w.handle;
  }
  return 0;
}

void FakeDesktop::EnumTopLevelWindows(const WindowVisitor& visit) const {
  // A copy, so a visitor may add or remove windows.
  std::vector<WindowHandle> handles;
  for (const auto& w : windows_) {
    if (w.parent == 0) handles.push_back(w.handle);
  }
  for (WindowHandle h : handles) {
    if (!visit(h)) return;
  }
}

bool FakeDesktop::VisitChildren(WindowHandle parent, const WindowVisitor& visit) const {
  std::vector<WindowHandle> children;
  for (const auto& w : windows_) {
    if (w.parent == parent) children.push_back(w.handle);
  }
  for (WindowHandle child : children) {
    if (!visit(child) || !VisitChildren(child, visit)) return false;
  }
  return true;
}

void FakeDesktop::EnumChildWindows(WindowHandle parent, const WindowVisitor& visit) const {
  VisitChildren(parent, visit);
}

std::string FakeDesktop::ClassName(WindowHandle window) const {
  const Window* w = Find(window);
  return w ? w->className.substr(0, 255) : std::string();
}

WindowHandle FakeDesktop::Parent(WindowHandle window) const {
  const Window* w = Find(window);
  return w ? w->parent : 0;
}

std::string FakeDesktop::WindowText(WindowHandle window) {
  const Window* w = Find(window);
  return w ? w->text : std::string();
}

std::optional<std::intptr_t> FakeDesktop::SendCopyData(WindowHandle window, std::uintptr_t dwData, const void* data,
                                                       std::uint32_t size, std::uint32_t timeoutMs) {
  std::string bytes(static_cast<const char*>(data), size);
  Log("copydata " + std::to_string(window) + " " + std::to_string(dwData));
  copyData_.push_back({window, dwData, bytes, timeoutMs});
  const Window* w = Find(window);
  if (!w || w->hung) return std::nullopt;
  return w->onCopyData ? w->onCopyData(dwData, bytes) : 0;
}

int FakeDesktop::ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                            std::uint32_t style) {
  Log("messagebox " + caption);
  messageBoxes_.push_back({owner, text, caption, style});
  if (answers_.empty()) return defaultAnswer_;
  int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

}  // namespace vrpph::testing
