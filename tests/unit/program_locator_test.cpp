#include "handoff/program_locator.h"

#include <gtest/gtest.h>

#include "handoff/program_commands.h"
#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"

namespace vrpph {
namespace {

using platform::root::CurrentUser;
using platform::root::LocalMachine;

class ProgramLocatorTest : public ::testing::Test {
 protected:
  void SetUninstall(const std::string& command) {
    testing::SetString(world.registry, LocalMachine, keys::Uninstall, values::UninstallString, command);
  }
  void SetProgramPath(const std::string& path) {
    testing::SetString(world.registry, CurrentUser, keys::Main, values::ProgramPath, path);
  }
  std::optional<std::string> StoredPath() {
    return SettingsKey::Main(world.registry).Text(values::ProgramPath);
  }
  testing::FakePlatform world;
};

TEST_F(ProgramLocatorTest, ProgramPathIsTakenUnchangedEvenWhenEmpty) {
  SetUninstall("C:\\Other\\tqp.exe /uninstall");
  SetProgramPath("c:\\Mixed Case\\tqp.exe");
  EXPECT_EQ(LocateProgram(world.registry), "c:\\Mixed Case\\tqp.exe");
  SetProgramPath("");
  EXPECT_EQ(LocateProgram(world.registry), "");
  EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
}

TEST_F(ProgramLocatorTest, TheUninstallEntryGivesTheUpperCasedPathAndIsRemembered) {
  testing::SetString(world.registry, CurrentUser, keys::Main, "Seed", "1");
  SetUninstall("C:\\Apps\\tqp.exe /uninstall");
  EXPECT_EQ(LocateProgram(world.registry), "C:\\APPS\\TQP.EXE");
  EXPECT_EQ(StoredPath(), "C:\\APPS\\TQP.EXE");

  SetUninstall("D:\\Elsewhere\\TQP.EXE /UNINSTALL");
  EXPECT_EQ(LocateProgram(world.registry), "C:\\APPS\\TQP.EXE") << "the stored path wins from now on";
}

TEST_F(ProgramLocatorTest, OnlyAsciiLettersAreUpperCased) {
  testing::SetString(world.registry, CurrentUser, keys::Main, "Seed", "1");
  SetUninstall("C:\\caf\xE9\\tqp.exe /UnInstall");
  EXPECT_EQ(LocateProgram(world.registry), "C:\\CAF\xE9\\TQP.EXE");
}

TEST_F(ProgramLocatorTest, TheDerivedPathIsReturnedWhenItCannotBeStored) {
  SetUninstall("C:\\Apps\\tqp.exe /uninstall");
  EXPECT_EQ(LocateProgram(world.registry), "C:\\APPS\\TQP.EXE") << "no main key to store into";
  EXPECT_FALSE(testing::KeyExists(world.registry, CurrentUser, keys::Main));
}

TEST_F(ProgramLocatorTest, UninstallEntriesNotEndingInThePlainCommandGiveNothing) {
  testing::SetString(world.registry, CurrentUser, keys::Main, "Seed", "1");
  for (const char* command : {
           "\"C:\\Apps\\tqp.exe\" /uninstall",
           "C:\\Apps\\tqp.exe /uninstall ",
           "C:\\Apps\\tqp.exe /uninstall /silent",
           "C:\\Apps\\tqp.exe  /uninstall",
           "C:\\Apps\\other.exe /uninstall",
           "C:\\tqp.exe /uninstall\\tqp.exe /uninstall2 tqp.exe /uninstall",
           "",
       }) {
    SetUninstall(command);
    EXPECT_EQ(LocateProgram(world.registry), std::nullopt) << command;
  }
  EXPECT_EQ(StoredPath(), std::nullopt);
  SetUninstall("tqp.exe /uninstall");
  EXPECT_EQ(LocateProgram(world.registry), "TQP.EXE") << "the suffix alone is a bare file name";
}

TEST_F(ProgramLocatorTest, NothingInstalledGivesNothing) {
  EXPECT_EQ(LocateProgram(world.registry), std::nullopt);
  testing::SetString(world.registry, CurrentUser, keys::Uninstall, values::UninstallString,
                     "C:\\Apps\\tqp.exe /uninstall");
  EXPECT_EQ(LocateProgram(world.registry), std::nullopt) << "the uninstall entry lives under the machine";
}

TEST(ProgramCommandLinesTest, QuoteThePath) {
  EXPECT_EQ(InvisibleStartCommandLine("C:\\Program Files\\TQP.EXE"), "\"C:\\Program Files\\TQP.EXE\" /Invisible");
  EXPECT_EQ(UninstallCommandLine("C:\\Program Files\\TQP.EXE"), "\"C:\\Program Files\\TQP.EXE\" /UnInstall");
}

// A 32-bit download manager's installer writes its uninstall entry into the
// 32-bit view of HKLM\Software, which a 64-bit module sees only by asking.
TEST_F(ProgramLocatorTest, A64BitModuleAlsoLooksInThe32BitViewAfterItsOwn) {
  world.registry.SplitView(LocalMachine, "SOFTWARE", "SOFTWARE\\Wow6432Node");
  testing::SetString(world.registry, CurrentUser, keys::Main, "Seed", "1");
  const std::string wow = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Trevalon";
  testing::SetString(world.registry, LocalMachine, wow, values::UninstallString, "C:\\X86\\tqp.exe /uninstall");

  EXPECT_EQ(LocateProgram(world.registry, UninstallViews::Own), std::nullopt) << "a 32-bit module's one view";
  EXPECT_EQ(StoredPath(), std::nullopt);
  EXPECT_EQ(LocateProgram(world.registry, UninstallViews::OwnThen32Bit), "C:\\X86\\TQP.EXE");
  EXPECT_EQ(StoredPath(), "C:\\X86\\TQP.EXE") << "stored as a path from the own view is";

  // With an entry in both views, the module's own view wins.
  {
    platform::RegKey main = platform::OpenRegKey(world.registry, CurrentUser, keys::Main, platform::access::AllAccess);
    ASSERT_EQ(world.registry.DeleteValue(main.get(), values::ProgramPath), platform::status::Success);
  }
  SetUninstall("C:\\X64\\tqp.exe /uninstall");
  EXPECT_EQ(LocateProgram(world.registry, UninstallViews::OwnThen32Bit), "C:\\X64\\TQP.EXE");
  EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
}

TEST_F(ProgramLocatorTest, FindingReadsTheSameWayButStoresNothing) {
  testing::SetString(world.registry, CurrentUser, keys::Main, "Seed", "1");
  SetUninstall("C:\\Apps\\tqp.exe /uninstall");
  EXPECT_EQ(FindProgram(world.registry), "C:\\APPS\\TQP.EXE");
  EXPECT_EQ(StoredPath(), std::nullopt);
  SetProgramPath("");
  EXPECT_EQ(FindProgram(world.registry), "") << "the stored path wins, even when empty";
  EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
}

TEST_F(ProgramLocatorTest, ProgramCommandsStartTheLocatedProgramWithTheirSwitch) {
  ShowProgramAbout(world.platform, 0x77);
  ShowProgramOptions(world.platform);
  RunProgramUninstaller(world.platform);
  EXPECT_TRUE(world.programs.calls().empty()) << "nothing located, nothing started";

  SetProgramPath("C:\\Program Files\\TQ\\TQP.EXE");
  ShowProgramAbout(world.platform, 0x77);
  ShowProgramOptions(world.platform);
  RunProgramUninstaller(world.platform);
  ASSERT_EQ(world.programs.calls().size(), 3u);
  const auto& about = world.programs.calls()[0];
  EXPECT_EQ(about.kind, "shell");
  EXPECT_EQ(about.owner, 0x77u);
  EXPECT_EQ(about.verb, "open");
  EXPECT_EQ(about.commandLine, "C:\\Program Files\\TQ\\TQP.EXE");
  EXPECT_EQ(about.parameters, "/About");
  EXPECT_EQ(about.showCommand, 5);
  const auto& options = world.programs.calls()[1];
  EXPECT_EQ(options.owner, 0u);
  EXPECT_EQ(options.parameters, " /Options");
  EXPECT_EQ(options.showCommand, 1);
  const auto& uninstall = world.programs.calls()[2];
  EXPECT_EQ(uninstall.kind, "winexec");
  EXPECT_EQ(uninstall.commandLine, "\"C:\\Program Files\\TQ\\TQP.EXE\" /UnInstall");
  EXPECT_EQ(uninstall.showCommand, 5);
}

}  // namespace
}  // namespace vrpph
