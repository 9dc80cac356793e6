// Installing and uninstalling as scripts do: the real install.exe and
// uninst.exe started with switches, waited for, their exit codes and logs
// read; and the free-space check before any copy.
#include <gtest/gtest.h>

#include "forms/layouts.h"
#include "tests/e2e/game_disc.h"

using namespace e2e;

// Fault: a silent installation that shows a window, returns before its work
// is done or with another code, starts the game, or logs less than every
// folder and file; a silent uninstallation of either mode without the disc
// or with it that leaves what it should remove; a bad switch taken for
// something.
TEST(E2eUnattended, SilentInstallAndUninstallEndWithTheirWorkDone) {
  ScenarioNames names("DiscmenuE2eSilent");
  GameDisc disc(names);
  TempFolder games("silent");
  const std::filesystem::path installPath = games / kGameFolder;
  const std::filesystem::path log = games / "install.log";
  bool windowSeen = true;

  EXPECT_EQ(runAsAScript(disc.medium().installer(), L"/Q", disc.medium().root(), windowSeen), 2u);
  EXPECT_FALSE(windowSeen);

  EXPECT_EQ(runAsAScript(disc.medium().installer(), L"/S /D=" + games.path().wstring() + L" /LOG=" + log.wstring(),
                         disc.medium().root(), windowSeen),
            0u);
  EXPECT_FALSE(windowSeen);
  expectInstalled(installPath, disc.installedFiles());  // written before the program ended
  EXPECT_EQ(readRegistryString(HKEY_CURRENT_USER, names.keyPath(), L"PATH"), installPath.wstring());
  EXPECT_TRUE(std::filesystem::exists(names.groupFolder() / L"ゲーム開始.lnk"));
  const auto lines = logLines(log);
  EXPECT_TRUE(hasLine(lines, "title " + narrow(kGameTitle)));
  EXPECT_TRUE(hasLine(lines, "destination " + narrow(games.path().wstring())));
  EXPECT_TRUE(hasLine(lines, "created folder " + narrow(installPath.wstring())));
  for (const auto& [name, bytes] : disc.installedFiles()) {
    EXPECT_TRUE(hasLine(lines, "copied " + narrow(name.wstring()) + " (" + std::to_string(bytes.size()) + " bytes)"))
        << narrow(name.wstring());
  }
  EXPECT_EQ(lines.back(), "exit code 0");

  // Installed already: the code says so and nothing changes.
  EXPECT_EQ(runAsAScript(disc.medium().installer(), L"/S", disc.medium().root(), windowSeen), 7u);

  // Keep the save data, from the disc.
  writeFile(installPath / "save" / "slot3.dat", "slot 3");
  EXPECT_EQ(runAsAScript(disc.medium().installer(), L"/s /uninstall", disc.medium().root(), windowSeen), 0u);
  EXPECT_FALSE(windowSeen);
  EXPECT_TRUE(std::filesystem::exists(installPath / "save" / "slot3.dat"));
  EXPECT_TRUE(std::filesystem::exists(installPath / "SYSTEM.DAT"));
  EXPECT_FALSE(std::filesystem::exists(installPath / "origin.exe"));
  EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, names.keyPath()));

  // Delete all, without the disc: the entry's QuietUninstallString with /ALL.
  EXPECT_EQ(runAsAScript(disc.medium().installer(), L"-S -D=" + games.path().wstring(), disc.medium().root(),
                         windowSeen),
            0u);
  const std::filesystem::path uninstaller = installPath / "uninst.exe";
  EXPECT_EQ(readRegistryString(HKEY_CURRENT_USER, names.uninstallEntryPath(), L"QuietUninstallString"),
            L"\"" + uninstaller.wstring() + L"\" /S");
  EXPECT_EQ(runAsAScript(uninstaller, L"/S /ALL /LOG=" + (games / "uninstall.log").wstring(), installPath, windowSeen),
            0u);
  EXPECT_FALSE(windowSeen);
  EXPECT_FALSE(std::filesystem::exists(installPath));
  EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, names.uninstallEntryPath()));
  EXPECT_TRUE(hasLine(logLines(games / "uninstall.log"), "exit code 0"));
}

// Fault: a silent copy begun on a drive that cannot hold it, which fails
// minutes later and rolls back, or ends with another code than the
// shortage's, or shows a window. (The dialogs' message: e2e-install.)
TEST(E2eUnattended, ADriveTooSmallStopsBeforeAnyFolder) {
  SmallDisk disk(1 << 20);
  if (!disk.reason().empty()) GTEST_SKIP() << "skipped: no small disk for the destination (" << disk.reason() << ")";
  ScenarioNames names("DiscmenuE2eSmall");
  GameDisc disc(names);
  bool windowSeen = true;
  EXPECT_EQ(runAsAScript(disc.medium().installer(), L"/S /D=Q:\\", disc.medium().root(), windowSeen), 4u);
  EXPECT_FALSE(windowSeen);
  EXPECT_EQ(disk.contents(), "");
}
