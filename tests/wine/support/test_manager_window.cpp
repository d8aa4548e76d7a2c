#include "wine/support/test_manager_window.h"

#include "settings/contact_points.h"

namespace vrpph::wine_tests {

namespace {
constexpr UINT kHangMessage = WM_APP + 1;
}  // namespace

TestManagerWindow::TestManagerWindow(const char* title, LRESULT reply)
    : reply_(reply),
      ready_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      thread_([this, name = std::string(title)] { Run(name); }) {
  WaitForSingleObject(ready_.get(), 10000);
}

TestManagerWindow::~TestManagerWindow() {
  SetEvent(release_.get());
  if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
  thread_.join();
}

std::vector<TestManagerWindow::Received> TestManagerWindow::received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

void TestManagerWindow::Hang() { PostMessageA(window_, kHangMessage, 0, 0); }

void TestManagerWindow::Run(const std::string& title) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &TestManagerWindow::Procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = manager::WindowClass;
  RegisterClassA(&windowClass);  // already there after the first window
  window_ = CreateWindowExA(0, manager::WindowClass, title.c_str(), WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                            nullptr, windowClass.hInstance, nullptr);
  if (window_) SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetEvent(ready_.get());
  MSG message;
  while (window_ && GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
}

LRESULT CALLBACK TestManagerWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TestManagerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_COPYDATA: {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      std::lock_guard<std::mutex> lock(self->mutex_);
      self->received_.push_back({data->dwData, std::string(static_cast<const char*>(data->lpData), data->cbData)});
      return self->reply_;
    }
    case kHangMessage:
      WaitForSingleObject(self->release_.get(), INFINITE);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace vrpph::wine_tests
