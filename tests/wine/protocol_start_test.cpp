// Start's adapter on the real Win32 platform with stand-ins for the prompt,
// the paused-download check and the delivery, for the outcomes the DLL
// cannot show yet without a dialog.
#include "interception/win32/protocol_start.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_platform.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "support/fake_download_services.h"
#include "wine/support/interception_settings.h"
#include "wine/support/modal_watcher.h"
#include "wine/support/test_bind_info.h"

namespace vrpph::wine_tests {
namespace {

using testing::FakeDownloadServices;
constexpr HRESULT kTake = S_FALSE;
constexpr HRESULT kDecline = INET_E_USE_DEFAULT_PROTOCOLHANDLER;

class ProtocolStartWineTest : public ::testing::Test {
 protected:
  void SetUp() override { settings_.Main(values::AcceptingTypes, "ZIP, EXE, "); }

  HRESULT Start(const wchar_t* url, TestBindInfo* bindInfo = nullptr) {
    return vrpph::StartNavigation(url, bindInfo, win32_.platform, services_);
  }
  std::optional<std::string> Accepting() {
    return SettingsKey::Main(settings_.registry).Text(values::AcceptingTypes);
  }

  SeededSettings settings_;
  HeldKeys keys_;
  platform::Win32Platform win32_;
  FakeDownloadServices services_;
};

TEST_F(ProtocolStartWineTest, ACancelledOrUnavailablePromptTakesWithoutARecord) {
  for (int result : {prompt_result::Cancelled, prompt_result::ModuleMissing}) {
    services_.promptAnswer = {result, OpenMode::Open};
    auto get = TestBindInfo::Get();
    EXPECT_EQ(Start(L"http://host/dir/file.zip", &get), kTake);
    EXPECT_EQ(get.Outstanding(), 0);
  }
  EXPECT_EQ(services_.prompts.size(), 2u);
  EXPECT_TRUE(services_.deliveries.empty());
}

TEST_F(ProtocolStartWineTest, ACancelOffersToDropTheExtensionInARealMessageBox) {
  settings_.Main(values::AutoLearn, "TRUE");
  services_.promptAnswer = {prompt_result::Cancelled, OpenMode::Open};
  ModalWatcher watcher(IDYES);
  EXPECT_EQ(Start(L"http://host/dir/file.zip"), kTake);
  const auto answered = watcher.answered();
  ASSERT_EQ(answered.size(), 1u);
  EXPECT_EQ(answered[0].caption, "Quorvane Trevalon");
  EXPECT_EQ(answered[0].text,
            "Do you want to turn off Quorvane Trevalon integration for the 'ZIP' file extention?"
            "/n/nYou can turn it on later using Ctrl+Alt click on a link.");
  EXPECT_EQ(Accepting(), "EXE, ");
}

TEST_F(ProtocolStartWineTest, ADeliveredRecordTakesTheNavigation) {
  keys_.Hold({VK_CONTROL, VK_MENU});
  services_.promptAnswer = {prompt_result::Proceed, OpenMode::Save};
  services_.pausedPath = "C:\\downloads\\form.bin";
  const auto front = reinterpret_cast<platform::WindowHandle>(GetForegroundWindow());
  auto post = TestBindInfo::Post("q=1");
  EXPECT_EQ(Start(L"http://host/form.cgi", &post), kTake);
  ASSERT_EQ(services_.deliveries.size(), 1u);
  EXPECT_EQ(services_.deliveries[0].record, "URL=http://host/form.cgi\nPath=C:\\downloads\\form.bin\nPostData=q=1");
  EXPECT_EQ(services_.deliveries[0].owner, front);
  EXPECT_EQ(services_.prompts[0].owner, front);
  EXPECT_EQ(post.Outstanding(), 0);
}

TEST_F(ProtocolStartWineTest, AnUndeliverableRecordDeclines) {
  for (auto outcome : {DeliveryOutcome::ProgramMissing, DeliveryOutcome::WindowMissing}) {
    services_.deliveryAnswer = outcome;
    EXPECT_EQ(Start(L"http://host/dir/file.zip"), kDecline);
  }
  EXPECT_EQ(services_.deliveries.size(), 2u);
}

TEST(RequestContentWineTest, VerbAndBodyComeFromTheBindInfo) {
  EXPECT_EQ(ReadRequestContent(nullptr).verb, RequestVerb::Get);

  auto get = TestBindInfo::Get();
  EXPECT_EQ(ReadRequestContent(&get).verb, RequestVerb::Get);

  TestBindInfo put(BINDVERB_PUT, TestBindInfo::Medium::Global, "data");
  const RequestContent other = ReadRequestContent(&put);
  EXPECT_EQ(other.verb, RequestVerb::Other);
  EXPECT_EQ(other.body, "") << "only a POST has a body here";

  auto post = TestBindInfo::Post(std::string("a\0b", 3));
  const RequestContent posted = ReadRequestContent(&post);
  EXPECT_EQ(posted.verb, RequestVerb::Post);
  EXPECT_EQ(posted.body, std::string("a\0b", 3)) << "the bytes as they are";

  auto shortClaim = TestBindInfo::Post("abcdef");
  shortClaim.ClaimSize(2);
  EXPECT_EQ(ReadRequestContent(&shortClaim).body, "ab");

  auto failing = TestBindInfo::Post("a=1");
  failing.FailWith(E_FAIL);
  const RequestContent failed = ReadRequestContent(&failing);
  EXPECT_EQ(failed.verb, RequestVerb::Get);
  EXPECT_EQ(failed.body, "");

  for (auto* info : {&get, &put, &post, &shortClaim, &failing}) EXPECT_EQ(info->Outstanding(), 0);
}

}  // namespace
}  // namespace vrpph::wine_tests
