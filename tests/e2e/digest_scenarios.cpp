// The disc's install.sha256 checked while copying, and the installed files
// checked and repaired later (/VERIFY, /REPAIR): the real install.exe and
// uninst.exe under Wine, their SHA-256 by Wine's bcrypt.dll.
#include <gtest/gtest.h>

#include "forms/layouts.h"
#include "tests/e2e/game_disc.h"

using namespace e2e;

namespace {

// Changes one byte of a file, the last one (in the second chunk of a file
// of more than one).
void changeLastByte(const std::filesystem::path& file) {
  std::string bytes = readFile(file);
  bytes.back() ^= 0x20;
  writeFile(file, bytes);
}

// Installs through the menu into `games`, expects `message` and the
// destination dialog again, and ends the menu.
void expectInstallationTold(GameDisc& disc, const std::filesystem::path& games, const std::wstring& message) {
  Process program = disc.start();
  Window menu = waitForMenu(program);
  Window dialog = openDestinationDialog(program, menu);
  expectToldAfterConfirming(program, dialog, games.wstring(), message);
  dialog.child(instformLayout, "Button3").click();
  expectMenuState(menu, false);
  closeMenu(program, menu);
}

}  // namespace

// Fault: a disc that returns one wrong byte (a bad burn, a damaged image)
// installs a broken game and says "インストール完了しました"; or the file is
// not named, something of the copy is left, or a script gets another code.
TEST(E2eDigest, AChangedByteOnTheDiscRollsBackAndIsNamed) {
  ScenarioNames names("DiscmenuE2eDamagedDisc");
  GameDisc disc(names);
  disc.medium().writeDigests();
  changeLastByte(disc.medium().root() / "GRAPHIC.DAT");
  TempFolder games("damaged-disc");

  // Rolled back: the folders it made are gone, the chosen one with them.
  expectInstallationTold(disc, games.path(), L"ファイルが壊れています\nGRAPHIC.DAT");
  EXPECT_FALSE(std::filesystem::exists(games / kGameFolder));

  bool windowSeen = true;
  const std::filesystem::path log = disc.medium().root() / "install.log";
  EXPECT_EQ(runAsAScript(disc.medium().installer(), L"/S /D=" + games.path().wstring() + L" /LOG=" + log.wstring(),
                         disc.medium().root(), windowSeen),
            5u);
  EXPECT_FALSE(windowSeen);
  const auto lines = logLines(log);
  EXPECT_TRUE(hasLine(lines, "failed: ファイルが壊れています")) << readFile(log);
  EXPECT_TRUE(hasLine(lines, "GRAPHIC.DAT"));
  EXPECT_FALSE(std::filesystem::exists(games / kGameFolder));
  EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, names.keyPath()));
}

// Fault: a list with a bad line passed over (the files then copied
// unchecked), or told only after folders were made, or without the list's
// name and line.
TEST(E2eDigest, AMalformedLineStopsBeforeTheFirstFolder) {
  ScenarioNames names("DiscmenuE2eBadList");
  GameDisc disc(names);
  disc.medium().writeDigests();
  std::string list = readFile(disc.medium().root() / "install.sha256");
  list.insert(list.find('\n') + 1, "0123  SYSTEM.INI\n");
  writeFile(disc.medium().root() / "install.sha256", list);
  TempFolder games("bad-list");

  expectInstallationTold(disc, games.path(), L"ファイルの検査値の一覧に誤りがあります\ninstall.sha256 2行目");
  EXPECT_TRUE(std::filesystem::is_empty(games.path()));
  bool windowSeen = true;
  EXPECT_EQ(runAsAScript(disc.medium().installer(), L"/S /D=" + games.path().wstring(), disc.medium().root(),
                         windowSeen),
            5u);
  EXPECT_TRUE(std::filesystem::is_empty(games.path()));
}

// Fault: an installed file with a changed byte passed as sound by
// /VERIFY, or not named; a repair that needs more than the disc, copies
// anything but the damaged file, or leaves it damaged; verify and repair
// opening a window with /S.
TEST(E2eDigest, VerifyFindsAChangedInstalledByteAndRepairRestoresIt) {
  ScenarioNames names("DiscmenuE2eVerify");
  GameDisc disc(names);
  disc.medium().writeDigests();
  TempFolder games("verify");
  const std::filesystem::path installPath = games / kGameFolder;
  const std::filesystem::path uninstaller = installPath / "uninst.exe";
  bool windowSeen = true;
  ASSERT_EQ(runAsAScript(disc.medium().installer(), L"/S /D=" + games.path().wstring(), disc.medium().root(),
                         windowSeen),
            0u);
  expectInstalled(installPath, disc.installedFiles());
  // The record's digest is SHA-256 as Linux's own tool computes it.
  const std::string sha256sum = runNativeOutput("sha256sum '" + unixPath(installPath / "SCENARIO.DAT") + "'");
  EXPECT_NE(readFile(installPath / "uninst-record.txt").find("file\tSCENARIO.DAT\t" + sha256sum.substr(0, 64) + "\r\n"),
            std::string::npos);
  EXPECT_EQ(runAsAScript(disc.medium().installer(), L"/VERIFY /S", disc.medium().root(), windowSeen), 0u);
  EXPECT_FALSE(windowSeen);

  changeLastByte(installPath / "SCENARIO.DAT");
  writeFile(installPath / "save" / "slot1.dat", "played");  // the player's: not judged
  const std::filesystem::path log = games / "verify.log";
  EXPECT_EQ(runAsAScript(uninstaller, L"/VERIFY /S /LOG=" + log.wstring(), installPath, windowSeen), 8u);
  EXPECT_FALSE(windowSeen);
  EXPECT_TRUE(hasLine(logLines(log), "damaged SCENARIO.DAT")) << readFile(log);
  EXPECT_FALSE(hasLine(logLines(log), "damaged save\\slot1.dat"));
  // Without /S, the player reads it.
  Process verify = Process::start(uninstaller, L"/VERIFY", installPath);
  MessageBoxView told = waitForMessageBox(verify, L"ファイルの検査");
  EXPECT_EQ(told.text, L"壊れているか見つからないファイルがあります\nSCENARIO.DAT\n\nディスクの install.exe /REPAIR で修復できます");
  screenshot(screenshotFolder(), "verify-found-a-damaged-file", told.window);
  told.answer(IDOK);
  EXPECT_EQ(verify.exitCode(), 8u);

  const std::filesystem::path repairLog = games / "repair.log";
  EXPECT_EQ(runAsAScript(disc.medium().installer(), L"/REPAIR /S /LOG=" + repairLog.wstring(), disc.medium().root(),
                         windowSeen),
            0u);
  EXPECT_FALSE(windowSeen);
  EXPECT_TRUE(hasLine(logLines(repairLog), "copied SCENARIO.DAT (3145728 bytes)")) << readFile(repairLog);
  FileTree expected = disc.installedFiles();
  expected[std::filesystem::path("save") / "slot1.dat"] = "played";
  expectInstalled(installPath, expected);
  EXPECT_EQ(runAsAScript(uninstaller, L"/VERIFY /S", installPath, windowSeen), 0u);
}
