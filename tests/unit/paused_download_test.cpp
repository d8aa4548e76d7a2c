#include "handoff/paused_download.h"

#include <gtest/gtest.h>

#include "settings/contact_points.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"

namespace vrpph {
namespace {

using platform::root::CurrentUser;
namespace box = platform::message_box;

constexpr platform::WindowHandle kOwner = 0x5150;
const std::string kUrl = "http://h/a b.zip";
const std::string kTarget = "C:\\Downloads\\a b.zip";

class PausedDownloadTest : public ::testing::Test {
 protected:
  void Pause(const std::string& url, const std::string& target) {
    testing::SetString(world.registry, CurrentUser, keys::PausedUrls, (url + "Filename").c_str(), target);
    testing::SetDword(world.registry, CurrentUser, keys::PausedUrls, url.c_str(), 3);
  }
  bool Stored(const std::string& name) {
    return testing::GetValue(world.registry, CurrentUser, keys::PausedUrls, name.c_str()).has_value();
  }
  std::optional<std::string> Check(const std::string& url = kUrl) {
    return CheckPausedDownload(world.platform, kOwner, url);
  }
  testing::FakePlatform world;
};

TEST_F(PausedDownloadTest, YesResumesIntoTheStoredPathAndKeepsTheEntry) {
  Pause(kUrl, kTarget);
  world.files.Add(kTarget + ".TQ");
  world.desktop.QueueMessageBoxAnswer(box::IdYes);
  EXPECT_EQ(Check(), kTarget);
  ASSERT_EQ(world.desktop.messageBoxes().size(), 1u);
  const auto& asked = world.desktop.messageBoxes()[0];
  EXPECT_EQ(asked.owner, kOwner);
  EXPECT_EQ(asked.text, "Incompletely downloaded file found. Do you want to continue downloading it?");
  EXPECT_EQ(asked.caption, "Quorvane Trevalon");
  EXPECT_EQ(asked.style, 0x24u);
  EXPECT_TRUE(Stored(kUrl));
  EXPECT_TRUE(Stored(kUrl + "Filename"));
  EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
}

TEST_F(PausedDownloadTest, NoOrAMissingPartialFileDeletesBothValues) {
  Pause(kUrl, kTarget);
  Pause("http://h/other.zip", "C:\\other.zip");
  world.files.Add(kTarget + ".TQ");
  world.desktop.QueueMessageBoxAnswer(box::IdNo);
  EXPECT_EQ(Check(), std::nullopt);
  EXPECT_FALSE(Stored(kUrl));
  EXPECT_FALSE(Stored(kUrl + "Filename"));
  EXPECT_TRUE(Stored("http://h/other.zip")) << "other entries stay";

  world.desktop.QueueMessageBoxAnswer(box::IdYes);
  world.files.Add("C:\\other.zip");
  EXPECT_EQ(Check("http://h/other.zip"), std::nullopt) << "the target itself is not the partial file";
  EXPECT_EQ(world.desktop.messageBoxes().size(), 1u) << "no question without the partial file";
  EXPECT_FALSE(Stored("http://h/other.zip"));
  EXPECT_FALSE(Stored("http://h/other.zipFilename"));
  EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
}

TEST_F(PausedDownloadTest, NothingPausedMeansNoQuestionAndNoDeletion) {
  testing::SetDword(world.registry, CurrentUser, keys::PausedUrls, kUrl.c_str(), 3);
  EXPECT_EQ(Check(), std::nullopt) << "a companion value alone is no paused download";
  EXPECT_TRUE(Stored(kUrl));
  Pause("http://h/a%20b.zip", kTarget);
  world.files.Add(kTarget + ".TQ");
  EXPECT_EQ(Check(), std::nullopt) << "the undecoded spelling is another URL";
  EXPECT_TRUE(Stored("http://h/a%20b.zipFilename"));
  EXPECT_TRUE(world.desktop.messageBoxes().empty());
}

TEST_F(PausedDownloadTest, ATargetTheRecordCannotCarryIsNeitherOfferedNorForgotten) {
  Pause(kUrl, "C:\\a.zip\nFileName=run.exe");
  world.files.Add("C:\\a.zip\nFileName=run.exe.TQ");
  EXPECT_EQ(Check(), std::nullopt);
  EXPECT_TRUE(world.desktop.messageBoxes().empty());
  EXPECT_TRUE(Stored(kUrl + "Filename")) << "the download manager's entry stays as it wrote it";
}

TEST_F(PausedDownloadTest, TheQuestionComesFromTheStringsKeyWhenPresent) {
  testing::SetString(world.registry, CurrentUser, keys::Strings, "145", "Weiter?");
  Pause(kUrl, kTarget);
  world.files.Add(kTarget + ".TQ");
  world.desktop.QueueMessageBoxAnswer(box::IdYes);
  EXPECT_EQ(Check(), kTarget);
  EXPECT_EQ(world.desktop.messageBoxes().at(0).text, "Weiter?");
  EXPECT_EQ(world.desktop.messageBoxes().at(0).caption, "Quorvane Trevalon");
}

// The paused key opens for reading but not for writing.
class ReadOnlyPausedKey : public testing::FakeRegistry {
 public:
  long OpenKey(platform::HKey parent, const char* path, std::uint32_t access, platform::HKey* result) override {
    if (access == platform::access::Write) {
      ++refusedWrites;
      return platform::status::AccessDenied;
    }
    return FakeRegistry::OpenKey(parent, path, access, result);
  }
  int refusedWrites = 0;
};

TEST_F(PausedDownloadTest, AnEntryThatCannotBeDeletedIsLeftQuietly) {
  ReadOnlyPausedKey registry;
  testing::SetString(registry, CurrentUser, keys::PausedUrls, (kUrl + "Filename").c_str(), kTarget);
  platform::Platform readOnly{registry,       world.text,  world.keyboard, world.desktop,
                              world.programs, world.clock, world.files};
  EXPECT_EQ(CheckPausedDownload(readOnly, kOwner, kUrl), std::nullopt);
  EXPECT_EQ(registry.refusedWrites, 1);
  EXPECT_TRUE(testing::GetValue(registry, CurrentUser, keys::PausedUrls, (kUrl + "Filename").c_str()));
  EXPECT_TRUE(world.desktop.messageBoxes().empty());
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(PausedDownloadTest, AUrlTooLongToNameAValueFindsAndDeletesNothing) {
  const std::string fits = "http://h/" + std::string(kMaxRegistryValueName - 9 - 8, 'x');
  ASSERT_EQ((fits + "Filename").size(), kMaxRegistryValueName);
  Pause(fits, kTarget);
  world.files.Add(kTarget + ".TQ");
  world.desktop.QueueMessageBoxAnswer(box::IdYes);
  EXPECT_EQ(Check(fits), kTarget) << "the longest name still works";

  const std::string tooLong = fits + "y";
  Pause(tooLong, kTarget);
  std::size_t calls = world.registry.CallCount();
  EXPECT_EQ(Check(tooLong), std::nullopt);
  EXPECT_EQ(world.registry.CallCount(), calls) << "the registry is not asked";
  EXPECT_TRUE(Stored(tooLong));
  EXPECT_EQ(world.desktop.messageBoxes().size(), 1u);
}

}  // namespace
}  // namespace vrpph
