// Uninstallation from the real menu on the real window system (Wine), each
// after an installation of its own through the same menu.
#include <gtest/gtest.h>

#include "forms/layouts.h"
#include "platform/win32/handles.h"
#include "tests/e2e/game_disc.h"

using namespace e2e;

namespace {

// The registration and the shortcuts are gone, the emptied first levels of
// the two-level key and group with them.
void expectRegistrationRemoved(const ScenarioNames& names) {
  EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, names.keyPath()));
  EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, names.firstLevelKeyPath()));
  EXPECT_FALSE(std::filesystem::exists(names.groupFolder()));
  EXPECT_FALSE(std::filesystem::exists(names.firstLevelGroupFolder()));
  EXPECT_TRUE(std::filesystem::exists(programsFolder()));
}

}  // namespace

// Fault: keeping save data deleting SYSTEM.DAT, a preserved entry or a file
// the game wrote later; or leaving game files, emptied folders of the extra
// entries, the registry key, its emptied parent key, shortcuts or emptied
// group folders behind (a trail byte 0x5C of ソ in the key and group names
// taken for a separator shows here); or the menu staying installed.
TEST(E2eUninstall, KeepSaveDataRemovesTheGameAndKeepsTheSaves) {
  ScenarioNames names("DiscmenuE2eKeep");
  GameDisc disc(names);
  TempFolder games("keep");
  const std::filesystem::path installPath = games / kGameFolder;

  Process program = disc.start();
  Window menu = waitForMenu(program);
  installThroughMenu(program, menu, games.path());
  ASSERT_TRUE(std::filesystem::exists(names.groupFolder() / L"ゲーム開始.lnk"));
  ASSERT_TRUE(readRegistryString(HKEY_CURRENT_USER, names.keyPath(), L"PATH"));
  const FileTree writtenByTheGame = {{std::filesystem::path("save") / "slot3.dat", "slot 3"},
                                     {"screenshot.bmp", "a picture"}};
  writeTree(installPath, writtenByTheGame);

  uninstallThroughMenu(program, menu, RemovalMode::KeepSaveData, "uninsform");

  FileTree kept = writtenByTheGame;
  for (const char* name : {"SYSTEM.DAT", "config.ini", "save/slot1.dat", "save/slot2.dat"}) {
    const std::filesystem::path relative = std::filesystem::path(name).make_preferred();
    kept[relative] = disc.installedFiles().at(relative);
  }
  expectFiles(installPath, kept);
  EXPECT_EQ(foldersBelow(installPath), std::set<std::filesystem::path>{"save"});
  expectRegistrationRemoved(names);

  closeMenu(program, menu);
}

// Fault: deleting all files leaving anything of the game folder, the folder
// itself or its emptied parents, or removing a parent that still holds
// something; or the registration and shortcuts staying. Names that other
// tools make and Win32's path rules turn into something else ("aux.txt" a
// device, "save." the file "save") left behind while the removal is told
// complete.
TEST(E2eUninstall, DeleteAllRemovesTheGameFolder) {
  ScenarioNames names("DiscmenuE2eDeleteAll");
  GameDisc disc(names);
  TempFolder games("delete-all");
  const std::filesystem::path chosen = games / "Games" / "Adventure";
  const std::filesystem::path installPath = chosen / kGameFolder;
  writeFile(games / "other.txt", "not the game's");

  Process program = disc.start();
  Window menu = waitForMenu(program);
  installThroughMenu(program, menu, chosen);
  writeFile(installPath / "save" / "slot3.dat", "written by the game");
  // Made on the Linux side, where the names mean nothing special.
  const std::string save = unixPath(installPath / "save");
  for (const char* name : {"aux.txt", "CON", "com1.log", "nul.sav", "save.", "a "}) {
    ASSERT_EQ(runNative("printf x > '" + save + "/" + name + "'"), 0u) << name;
  }

  uninstallThroughMenu(program, menu, RemovalMode::DeleteAll);

  EXPECT_FALSE(std::filesystem::exists(installPath));
  EXPECT_FALSE(std::filesystem::exists(games / "Games"));
  expectFiles(games.path(), {{"other.txt", "not the game's"}});
  expectRegistrationRemoved(names);

  closeMenu(program, menu);
}

// Fault: delete-all taking a folder name without a Shift-JIS form for its
// best-fit look-alike: "x¥..¥..¥victim" read as "x\\..\\..\\victim" empties
// the folder victim beside the game folder.
TEST(E2eUninstall, DeleteAllLeavesANameWithoutAShiftJisFormAndWhatItWouldReach) {
  ScenarioNames names("DiscmenuE2eForeign");
  GameDisc disc(names);
  TempFolder games("foreign");
  const std::filesystem::path installPath = games / kGameFolder;
  const std::filesystem::path foreign = installPath / L"x\u00A5..\u00A5..\u00A5victim";
  const FileTree outside = {{std::filesystem::path("victim") / "keep.txt", "outside the game folder"}};

  Process program = disc.start();
  Window menu = waitForMenu(program);
  installThroughMenu(program, menu, games.path());
  writeTree(games.path(), outside);
  writeFile(foreign / "save.dat", "a save the program cannot name");

  uninstallThroughMenu(program, menu, RemovalMode::DeleteAll);

  FileTree left = outside;
  left[std::filesystem::path(kGameFolder) / foreign.filename() / "save.dat"] = "a save the program cannot name";
  expectFiles(games.path(), left);
  expectRegistrationRemoved(names);
  closeMenu(program, menu);
}

// Fault: the removal guard reading 0xFD (a character of one byte in code
// page 932) as a lead byte, so that it swallows the separator after it and
// accepts "T:\\" 0xFD "\\..", which Windows resolves to the drive root that
// delete-all then empties; or accepting any folder that holds an
// origin.exe, such as the user's documents, which are not the game's folder.
TEST(E2eUninstall, GuardRefusesAPathThatIsNotTheGameFolder) {
  ScenarioNames names("DiscmenuE2eGuard");
  GameDisc disc(names);
  TempFolder drive("drive-t");
  const std::string origin = disc.installedFiles().at("origin.exe");
  const FileTree onTheDrive = {{"origin.exe", origin},
                               {std::filesystem::path("other") / "keep.txt", "another program's"},
                               {std::filesystem::path("Docs") / "origin.exe", origin},
                               {std::filesystem::path("Docs") / "letter.txt", "the user's"}};
  writeTree(drive.path(), onTheDrive);
  DriveMapping mapping('t', drive.path());

  for (const std::wstring path : {L"T:\\\uF8F1\\..", L"T:\\Docs"}) {
    SCOPED_TRACE(narrow(path));
    writeRegistryString(HKEY_CURRENT_USER, names.keyPath(), L"PATH", path);
    Process program = disc.start();
    Window menu = waitForMenu(program);
    expectMenuState(menu, true);  // origin.exe opens through the path
    menu.child(mformLayout, "instbtn").click();
    Window dialog = waitForWindow(program, L"Tuninsform", L"アンインストール");
    dialog.child(uninsformLayout, "savecheck").click();
    dialog.child(uninsformLayout, "Button1").click();
    MessageBoxView box = waitForMessageBox(program, L"アンインストールの確認");
    EXPECT_EQ(box.text, L"インストール先が正しくないため削除できません");
    box.answer(IDOK);
    waitForWindowGone(box.window);
    EXPECT_TRUE(dialog.visible());
    dialog.child(uninsformLayout, "Button2").click();
    expectMenuState(menu, true);
    closeMenu(program, menu);

    expectFiles(drive.path(), onTheDrive);
    EXPECT_TRUE(registryKeyExists(HKEY_CURRENT_USER, names.keyPath()));
  }
}

// Fault: a file held open by the running game left while "アンインストール
// 完了しました" is told and the registration goes, so that nothing can find
// the folder again; or the second try, once the game has ended, not
// finishing the removal.
TEST(E2eUninstall, AFileHeldOpenIsToldAndASecondUninstallFinishes) {
  ScenarioNames names("DiscmenuE2eHeld");
  GameDisc disc(names);
  TempFolder games("held");
  const std::filesystem::path installPath = games / kGameFolder;
  writeFile(games / "other.txt", "keeps the folder above");

  Process program = disc.start();
  Window menu = waitForMenu(program);
  installThroughMenu(program, menu, games.path());
  const std::filesystem::path held = installPath / "save" / "slot1.dat";
  {
    // As a game holds its save: shared for reading, never for deletion.
    platform::win32::UniqueFileHandle game(CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(game);
    UninstallEnd end = confirmUninstall(program, menu, RemovalMode::DeleteAll);
    EXPECT_EQ(end.told.text, L"削除できなかったファイルがあります\n" + held.wstring() +
                                 L"\nゲームを終了してから、もう一度アンインストールしてください");
    end.told.answer(IDOK);
    expectMenuState(menu, true);
    EXPECT_TRUE(std::filesystem::exists(held));
    EXPECT_FALSE(std::filesystem::exists(installPath / "origin.exe"));
    EXPECT_EQ(readRegistryString(HKEY_CURRENT_USER, names.keyPath(), L"PATH"), installPath.wstring());
    EXPECT_TRUE(std::filesystem::exists(names.groupFolder() / L"ゲーム開始.lnk"));
  }

  uninstallThroughMenu(program, menu, RemovalMode::DeleteAll);
  expectFiles(games.path(), {{"other.txt", "keeps the folder above"}});
  expectRegistrationRemoved(names);
  closeMenu(program, menu);
}

// Fault: the uninstallation leaving the registry value behind, so that a
// menu started later finds the old folder (which still holds the save data,
// and here a game program put back) and offers uninstalling and launching.
TEST(E2eUninstall, MenuStartedAfterTheUninstallationIsNotInstalled) {
  ScenarioNames names("DiscmenuE2eRestart");
  GameDisc disc(names);
  TempFolder games("restart");
  const std::filesystem::path installPath = games / kGameFolder;
  {
    Process program = disc.start();
    Window menu = waitForMenu(program);
    installThroughMenu(program, menu, games.path());
    uninstallThroughMenu(program, menu, RemovalMode::KeepSaveData);
    closeMenu(program, menu);
  }
  writeFile(installPath / "origin.exe", disc.installedFiles().at("origin.exe"));

  Process program = disc.start();
  Window menu = waitForMenu(program);
  expectMenuState(menu, false);
  // The install button leads to the destination dialog, not the uninstaller.
  Window dialog = openDestinationDialog(program, menu);
  dialog.child(instformLayout, "Button3").click();
  expectMenuState(menu, false);
  closeMenu(program, menu);
}
