// The uninstaller that needs no disc: uninst.exe, installed with the game,
// started as the Start-menu shortcut starts it after the disc is gone.
#include <gtest/gtest.h>

#include <sstream>

#include "forms/layouts.h"
#include "tests/e2e/game_disc.h"

using namespace e2e;

namespace {

// The lines of Wine's list of installed apps ("key|||name"), through the
// loader that scripts/wine-run picked.
std::string installedAppsList() {
  return runNativeOutput("${DISCMENU_WINE:-wine} uninstaller --list 2>/dev/null");
}

// Whether that list holds the scenario's entry. It prints through the
// console's code page, so the key's name has "?" for each character outside
// ASCII (ソ among them), and the title is compared by reading the registry.
bool listsEntry(const ScenarioNames& names) {
  const std::wstring key = names.uninstallEntryPath();
  std::string id;
  for (wchar_t c : key.substr(key.rfind(L'\\') + 1)) id += c < 0x80 ? static_cast<char>(c) : '?';
  std::istringstream lines(installedAppsList());
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(id + "|||", 0) == 0) return true;
  }
  return false;
}

// Installs from the disc, then takes the disc away: the medium's folder is
// gone, as a drive without its disc is empty.
void installThenRemoveTheDisc(GameDisc& disc, const std::filesystem::path& destination) {
  Process program = disc.start();
  Window menu = waitForMenu(program);
  installThroughMenu(program, menu, destination);
  closeMenu(program, menu);
  std::filesystem::remove_all(disc.medium().root());
}

// Starts the target of the uninstaller's Start-menu shortcut in the game
// folder, as the shortcut does, and works its dialog in `mode`; returns the
// program the shortcut started once it has ended, and its exit code.
DWORD uninstallWithoutTheDisc(const ScenarioNames& names, const std::filesystem::path& installPath,
                              RemovalMode mode, bool recorded = true) {
  EXPECT_TRUE(std::filesystem::exists(names.groupFolder() / L"アンインストール.lnk"));
  Process program = Process::start(installPath / "uninst.exe", L"", installPath);
  // The dialog belongs to the copy of the program that works from the temp
  // folder; the program started waits for it.
  Window dialog = waitForAnyWindow(L"Tuninsform", L"アンインストール");
  // Without the record, keep-save-data is not offered, and a line says why.
  EXPECT_EQ(dialog.child(uninsformLayout, "RadioButton1").enabled(), recorded);
  Window note = dialog.child(uninsformLayout, "recordnote");
  EXPECT_EQ(note.visible(), !recorded);
  if (!recorded) {
    EXPECT_EQ(note.text(), L"記録がないためセーブデータを残せません");
    screenshot(screenshotFolder(), "uninstall-without-a-record", dialog);
  }
  dialog.child(uninsformLayout, mode == RemovalMode::DeleteAll ? "savecheck" : "RadioButton1").click();
  dialog.child(uninsformLayout, "Button1").click();
  MessageBoxView question = waitForMessageBoxBeside(dialog, L"アンインストールの確認");
  question.answer(IDOK);
  waitForWindowGone(question.window);
  MessageBoxView completion = waitForMessageBoxBeside(dialog, L"アンインストールの確認");
  EXPECT_EQ(completion.text, L"アンインストール完了しました");
  completion.answer(IDOK);
  return program.exitCode();
}

void expectUnregistered(const ScenarioNames& names) {
  EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, names.keyPath()));
  EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, names.uninstallEntryPath()));
  EXPECT_FALSE(std::filesystem::exists(names.groupFolder()));
  EXPECT_FALSE(listsEntry(names));
}

}  // namespace

// Fault: no uninstaller without the disc; a keep-save-data removal without
// the disc that deletes the saves, the preserved files or what the game
// wrote into its own folders, or leaves recorded files, the record, the
// uninstaller or the registration; an exit before the work is done or with
// the wrong code; the game missing from Windows' list of installed apps, or
// listed under a title read in the wrong code page.
TEST(E2eUninstaller, KeepSaveDataWithoutTheDiscFollowsTheRecord) {
  ScenarioNames names("DiscmenuE2eDiscFree");
  GameDisc disc(names);
  TempFolder games("disc-free");
  const std::filesystem::path installPath = games / kGameFolder;
  installThenRemoveTheDisc(disc, games.path());
  EXPECT_TRUE(std::filesystem::exists(installPath / "uninst-record.txt"));
  EXPECT_TRUE(listsEntry(names)) << installedAppsList();
  EXPECT_EQ(readRegistryString(HKEY_CURRENT_USER, names.uninstallEntryPath(), L"DisplayName"), kGameTitle);
  EXPECT_EQ(readRegistryString(HKEY_CURRENT_USER, names.uninstallEntryPath(), L"QuietUninstallString"),
            L"\"" + (installPath / "uninst.exe").wstring() + L"\" /S");
  const FileTree writtenByTheGame = {{std::filesystem::path("data") / "mine.sav", "in a configured folder"},
                                     {std::filesystem::path("save") / "slot3.dat", "slot 3"}};
  writeTree(installPath, writtenByTheGame);

  EXPECT_EQ(uninstallWithoutTheDisc(names, installPath, RemovalMode::KeepSaveData), 0u);

  FileTree kept = writtenByTheGame;
  for (const char* name : {"SYSTEM.DAT", "config.ini", "save/slot1.dat", "save/slot2.dat"}) {
    const std::filesystem::path relative = std::filesystem::path(name).make_preferred();
    kept[relative] = disc.installedFiles().at(relative);
  }
  expectFiles(installPath, kept);
  EXPECT_EQ(foldersBelow(installPath), (std::set<std::filesystem::path>{"data", "save"}));
  expectUnregistered(names);
}

// Fault: delete-all without the disc leaving anything of the game, or of
// ours (the uninstaller, its record), in the game folder or its parents;
// keep-save-data offered without a record, or delete-all refused then.
TEST(E2eUninstaller, DeleteAllWithoutTheDiscLeavesNothingBehind) {
  ScenarioNames names("DiscmenuE2eDiscFreeAll");
  GameDisc disc(names);
  TempFolder games("disc-free-all");
  const std::filesystem::path installPath = games / "Games" / kGameFolder;
  writeFile(games / "other.txt", "not the game's");
  installThenRemoveTheDisc(disc, games / "Games");
  // Installed by an earlier build, or the record lost.
  std::filesystem::remove(installPath / "uninst-record.txt");

  EXPECT_EQ(uninstallWithoutTheDisc(names, installPath, RemovalMode::DeleteAll, false), 0u);

  expectFiles(games.path(), {{"other.txt", "not the game's"}});
  EXPECT_TRUE(foldersBelow(games.path()).empty());
  expectUnregistered(names);
}
