#include "browser_frame.h"

namespace browser_host {
namespace {

constexpr const wchar_t* kFrameClass = L"BrowserHostIEFrame";

void RegisterFrameClass() {
  WNDCLASSW frameClass{};
  frameClass.lpfnWndProc = DefWindowProcW;
  frameClass.hInstance = GetModuleHandleW(nullptr);
  frameClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  frameClass.lpszClassName = kFrameClass;
  RegisterClassW(&frameClass);
}

}  // namespace

BrowserFrame::BrowserFrame() {
  RegisterFrameClass();
  frame_ = CreateWindowExW(0, kFrameClass, L"vrpph browser host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                           CW_USEDEFAULT, 640, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

BrowserFrame::~BrowserFrame() {
  if (frame_) DestroyWindow(frame_);
}

void BrowserFrame::Present(const std::optional<std::wstring>& page) {
  if (!frame_) return;
  if (addressBar_) {
    DestroyWindow(addressBar_);
    addressBar_ = nullptr;
  }
  if (page) {
    addressBar_ = CreateWindowExW(0, L"ComboBox", page->c_str(), WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                                  8, 8, 600, 200, frame_, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (addressBar_) SetWindowTextW(addressBar_, page->c_str());
  }
  SetForegroundWindow(frame_);
}

}  // namespace browser_host
