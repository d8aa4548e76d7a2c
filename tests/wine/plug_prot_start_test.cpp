// HTTPPlugProt's Start inside the built vrpph.dll, driven as a browser
// drives it: real bind information, the settings in Wine's registry and the
// keys held on the calling thread.
#include <windows.h>
#include <urlmon.h>

#include <gtest/gtest.h>

#include "vrpph_idl.h"
#include "wine/support/interception_settings.h"
#include "wine/support/modal_watcher.h"
#include "wine/support/strict_sink.h"
#include "wine/support/test_bind_info.h"
#include "wine/support/test_manager_window.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

constexpr HRESULT kTake = S_FALSE;
constexpr HRESULT kDecline = INET_E_USE_DEFAULT_PROTOCOLHANDLER;
constexpr LRESULT kClaimed = 1;

class PlugProtStartWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(dll_.get(), nullptr);
    ASSERT_EQ(dll_.CreateInstance(CLSID_HTTPPlugProt, IID_IInternetProtocol, reinterpret_cast<void**>(&protocol_)), S_OK);
    settings_.Main(values::AcceptingTypes, "ZIP, EXE, ");
  }
  void TearDown() override {
    if (protocol_) protocol_->Release();
  }

  HRESULT Start(const wchar_t* url, TestBindInfo* bindInfo = nullptr) {
    return protocol_->Start(url, &sink_, bindInfo, 0, 0);
  }

  // Whether it takes or declines, Start answers by its result alone.
  StrictSink sink_{StrictSink::NoCalls()};
  LoadedDll dll_;
  IInternetProtocol* protocol_ = nullptr;
  SeededSettings settings_;
  HeldKeys keys_;
  // Confirms the download prompt wherever a navigation reaches it.
  ModalWatcher watcher_{IDOK};
};

TEST_F(PlugProtStartWineTest, HeldIgnoreKeysDeclineBeforeTheManagerIsAsked) {
  TestManagerWindow manager("any", kClaimed);
  keys_.Hold({VK_SHIFT});
  EXPECT_EQ(Start(L"http://host/dir/file.zip"), kDecline);
  EXPECT_TRUE(manager.received().empty());
}

TEST_F(PlugProtStartWineTest, UseCtrlAltDeclinesPlainClicks) {
  settings_.Main(values::UseCtrlAlt, "TRUE");
  TestManagerWindow manager("any", kClaimed);
  EXPECT_EQ(Start(L"http://host/dir/file.zip"), kDecline);
  EXPECT_TRUE(manager.received().empty());
}

TEST_F(PlugProtStartWineTest, TypeTestsDeclineWhatIsNoAcceptedFile) {
  TestManagerWindow manager("any", kClaimed);
  EXPECT_EQ(Start(L"http://host/"), kDecline) << "no extension";
  EXPECT_EQ(Start(L"http://host/dir/page"), kDecline) << "no extension";
  EXPECT_EQ(Start(L"http://host/get.zip?id=1"), kDecline) << "a query";
  EXPECT_EQ(Start(L"http://host/dir/file.rar"), kDecline) << "not accepted";
  settings_.Main(values::ExcludeFileNames, "setup.exe, ");
  EXPECT_EQ(Start(L"http://host/SETUP.EXE"), kDecline) << "excluded";
  settings_.Main(values::AcceptingTypes, "zip, ");
  EXPECT_EQ(Start(L"http://host/dir/file.zip"), kDecline) << "lower-case entry";
  EXPECT_TRUE(manager.received().empty());
  EXPECT_TRUE(watcher_.answered().empty()) << "no prompt";
}

TEST_F(PlugProtStartWineTest, AUrlWithoutAnAnsiFormIsDeclined) {
  keys_.Hold({VK_CONTROL, VK_MENU});
  EXPECT_EQ(Start(nullptr), kDecline);
  EXPECT_TRUE(watcher_.answered().empty()) << "no prompt";
}

TEST_F(PlugProtStartWineTest, WithoutAnAcceptedListPlainClicksAreDeclined) {
  testing::DeleteTree(settings_.registry, platform::root::CurrentUser, keys::Main);
  settings_.Main(values::UseCtrlAlt, "FALSE");
  TestManagerWindow manager("any", kClaimed);
  EXPECT_EQ(Start(L"http://host/dir/file.zip"), kDecline);
  EXPECT_TRUE(manager.received().empty());
}

TEST_F(PlugProtStartWineTest, PlainFormPostsAreDeclinedAndTheirBindInfoReleased) {
  TestManagerWindow manager("any", 0);
  auto withBody = TestBindInfo::Post("a=1&b=2");
  EXPECT_EQ(Start(L"http://host/dir/file.zip", &withBody), kDecline);
  auto empty = TestBindInfo::Post("");
  EXPECT_EQ(Start(L"http://host/dir/file.zip", &empty), kDecline) << "an empty body is a POST";
  auto inStream = TestBindInfo::Post("a=1", TestBindInfo::Medium::Stream);
  EXPECT_EQ(Start(L"http://host/dir/file.zip", &inStream), kDecline) << "a body in a stream is a POST";
  for (auto* info : {&withBody, &empty, &inStream}) {
    EXPECT_EQ(info->Calls(), 1);
    EXPECT_EQ(info->Outstanding(), 0);
  }
  EXPECT_EQ(manager.received().size(), 3u) << "each was asked about before the POST test";
  EXPECT_TRUE(watcher_.answered().empty()) << "no prompt";
}

TEST_F(PlugProtStartWineTest, AClaimedUrlIsTakenAtOnce) {
  TestManagerWindow manager("any", kClaimed);
  auto get = TestBindInfo::Get();
  EXPECT_EQ(Start(L"http://host/dir/file.zip", &get), kTake);
  const auto received = manager.received();
  ASSERT_EQ(received.size(), 1u) << "asked once, and no record follows";
  EXPECT_EQ(received[0].dwData, 1u);
  EXPECT_EQ(received[0].bytes, "http://host/dir/file.zip");
  EXPECT_EQ(get.Outstanding(), 0);
  EXPECT_TRUE(watcher_.answered().empty()) << "no prompt";
}

TEST_F(PlugProtStartWineTest, AnUnreachableManagerDeclinesAfterThePrompt) {
  auto get = TestBindInfo::Get();
  EXPECT_EQ(Start(L"http://host/dir/file.zip", &get), kDecline);
  EXPECT_EQ(get.Outstanding(), 0);
  EXPECT_EQ(watcher_.answered().size(), 1u) << "the prompt was confirmed";
}

TEST_F(PlugProtStartWineTest, ARecordReachesTheManagersWindow) {
  TestManagerWindow manager(manager::DefaultTitle, 0);
  const HWND front = GetForegroundWindow();
  EXPECT_EQ(Start(L"http://host/a%20b.zip"), kTake);
  const auto received = manager.received();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].dwData, 1u) << "the claim query first";
  EXPECT_EQ(received[1].dwData, reinterpret_cast<std::uintptr_t>(front));
  EXPECT_EQ(received[1].bytes, "URL=http://host/a b.zip\nPath=OPEN");
  EXPECT_EQ(watcher_.answered().size(), 1u) << "the prompt came before the record";
}

TEST_F(PlugProtStartWineTest, ForcedPostsCarryTheirBody) {
  TestManagerWindow manager(manager::DefaultTitle, 0);
  keys_.Hold({VK_CONTROL, VK_MENU});
  auto global = TestBindInfo::Post("a=1&b=2");
  EXPECT_EQ(Start(L"http://host/form.cgi", &global), kTake);
  auto longClaim = TestBindInfo::Post("x=9");
  longClaim.ClaimSize(100000);
  EXPECT_EQ(Start(L"http://host/form.cgi", &longClaim), kTake);
  auto stream = TestBindInfo::Post("a=1", TestBindInfo::Medium::Stream);
  EXPECT_EQ(Start(L"http://host/form.cgi", &stream), kTake);
  const auto received = manager.received();
  ASSERT_EQ(received.size(), 6u);
  EXPECT_EQ(received[1].bytes, "URL=http://host/form.cgi\nPath=OPEN\nPostData=a=1&b=2");
  EXPECT_EQ(received[3].bytes, "URL=http://host/form.cgi\nPath=OPEN\nPostData=x=9") << "never read past the block";
  EXPECT_EQ(received[5].bytes, "URL=http://host/form.cgi\nPath=OPEN\nPostData=");
  for (auto* info : {&global, &longClaim, &stream}) EXPECT_EQ(info->Outstanding(), 0);
}

TEST_F(PlugProtStartWineTest, UnavailableBindInfoMeansAGetWithoutBody) {
  TestManagerWindow manager(manager::DefaultTitle, 0);
  auto failing = TestBindInfo::Post("a=1");
  failing.FailWith(E_FAIL);
  EXPECT_EQ(Start(L"http://host/dir/file.zip", &failing), kTake) << "no POST refusal";
  EXPECT_EQ(failing.Outstanding(), 0) << "released all the same";
  EXPECT_EQ(Start(L"http://host/dir/file.zip", nullptr), kTake);
  const auto received = manager.received();
  ASSERT_EQ(received.size(), 4u);
  EXPECT_EQ(received[1].bytes, "URL=http://host/dir/file.zip\nPath=OPEN");
  EXPECT_EQ(received[3].bytes, "URL=http://host/dir/file.zip\nPath=OPEN");
}

TEST_F(PlugProtStartWineTest, AHungManagerWindowDoesNotFreezeTheBrowser) {
  TestManagerWindow manager("not the main window", kClaimed);
  manager.Hang();
  Sleep(100);
  const ULONGLONG before = GetTickCount64();
  EXPECT_EQ(Start(L"http://host/dir/file.zip"), kDecline) << "no claim, and no manager to deliver to";
  EXPECT_LT(GetTickCount64() - before, 15000u);
}

}  // namespace
}  // namespace vrpph::wine_tests
