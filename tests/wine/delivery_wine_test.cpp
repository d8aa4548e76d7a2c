// Delivery on the real platform: the record reaches the stand-in manager,
// started when it is not running.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "automation/automation_api.h"
#include "handoff/delivery.h"
#include "handoff/transfer_record.h"
#include "interception/navigation_decision.h"
#include "platform/win32/win32_platform.h"
#include "settings/contact_points.h"
#include "support/registry_tools.h"
#include "wine/support/modal_watcher.h"
#include "wine/support/standin_manager.h"

namespace vrpph::wine_tests {
namespace {

using platform::root::CurrentUser;
constexpr DWORD kWait = 15000;
constexpr platform::WindowHandle kOwner = 0x00C0FFEE;
const std::string kRecord = "URL=ftp://server/a.zip\nReferer=\nPath=OPEN";

class DeliveryWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::DeleteTree(registry, CurrentUser, "Software\\Quorvane");
    ASSERT_EQ(FindWindowA(kManagerClass, nullptr), nullptr) << "a manager left over from an earlier test";
  }
  void TearDown() override {
    EXPECT_EQ(manager.StopAll() > 0, expectRunning);
    testing::DeleteTree(registry, CurrentUser, "Software\\Quorvane");
  }
  void SetMain(const char* name, const std::string& value) {
    testing::SetString(registry, CurrentUser, keys::Main, name, value);
  }
  DeliveryOutcome Send(const DeliveryRules& rules) { return SendTransferRecord(world, kRecord, kOwner, rules); }
  void ExpectOneRecord() {
    auto records = manager.WaitForEntries("RECORD", 1, kWait);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].number, kOwner);
    EXPECT_EQ(records[0].bytes, kRecord);
    EXPECT_EQ(records[0].bytes.size(), 41u);
  }

  platform::Win32Platform win32;
  platform::Win32Registry& registry = win32.registry;
  platform::Platform& world = win32.platform;
  StandInManager manager;
  bool expectRunning = true;
};

TEST_F(DeliveryWineTest, AutomationOpensTheManagerThroughTheShellAndDelivers) {
  SetMain(values::ProgramPath, manager.ProgramPath());
  SetMain(values::ProgramTitle, "Stand-in Trevalon");
  EXPECT_EQ(Send(kAutomationRoad.delivery), DeliveryOutcome::Delivered);
  ExpectOneRecord();
  EXPECT_NE(FindWindowA(kManagerClass, "Stand-in Trevalon"), nullptr) << "the manager titles itself ProgramTitle";
}

TEST_F(DeliveryWineTest, AFailedStartIsReportedAndEndsWithoutAWindow) {
  expectRunning = false;
  SetMain(values::ProgramPath, "C:\\no such folder\\TQP.EXE");
  ModalWatcher watcher;
  const ULONGLONG before = GetTickCount64();
  EXPECT_EQ(Send(kHandlerRoad.delivery), DeliveryOutcome::WindowMissing);
  EXPECT_GE(GetTickCount64() - before, 5500u) << "the polling still runs";
  auto boxes = watcher.answered();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].text, "Cannot start Trevalon");
}

// A window of the manager's class on a thread that stops reading its
// messages: the system soon counts it as hung.
class HungManagerWindow {
 public:
  HungManagerWindow() : thread_([this] { Run(); }) { ready_.wait(false); }
  HungManagerWindow(const HungManagerWindow&) = delete;
  HungManagerWindow& operator=(const HungManagerWindow&) = delete;
  ~HungManagerWindow() {
    release_ = true;
    release_.notify_all();
    thread_.join();
  }

 private:
  void Run() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kManagerClass;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA(kManagerClass, manager::DefaultTitle, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    ready_ = true;
    ready_.notify_all();
    release_.wait(false);
    DestroyWindow(window);
    UnregisterClassA(kManagerClass, windowClass.hInstance);
  }

  std::atomic<bool> ready_{false};
  std::atomic<bool> release_{false};
  std::thread thread_;
};

TEST_F(DeliveryWineTest, AHungManagerDoesNotHoldTheCallerAndCountsAsNotDelivered) {
  expectRunning = false;
  HungManagerWindow hung;
  Sleep(5500);
  const ULONGLONG before = GetTickCount64();
  EXPECT_EQ(Send(kHandlerRoad.delivery), DeliveryOutcome::WindowMissing);
  EXPECT_LT(GetTickCount64() - before, 20000u);
}

}  // namespace
}  // namespace vrpph::wine_tests
