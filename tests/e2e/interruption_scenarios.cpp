// The real install.exe ended without warning (TerminateProcess, as End task
// does) in the middle of a copy, and started again; and a held Enter in the
// system's message boxes.
#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "forms/layouts.h"
#include "tests/e2e/game_disc.h"

using namespace e2e;

namespace {

const std::filesystem::path kBigSave = std::filesystem::path("save") / "big.sav";
constexpr uint64_t kBigSaveSize = 2048 * kChunkSize;
// What the disc holds of it by the new installation: smaller than what the
// ended one wrote, so that a half kept would show.
constexpr uint64_t kNewBigSaveSize = 4 * kChunkSize + 1;

uint64_t sizeOf(const std::filesystem::path& file) {
  std::error_code missing;
  const uint64_t size = std::filesystem::file_size(file, missing);
  return missing ? 0 : size;
}

// Ends the program once the large save data stands some chunks deep at the
// destination, as End task does.
void endWhileTheSaveIsHalfWritten(Process& program, const std::filesystem::path& installPath) {
  ASSERT_TRUE(waitUntil([&] { return sizeOf(installPath / kBigSave) >= 16 * kChunkSize; }, Duration(60000)));
  program.kill();
  program.waitForExit();
  ASSERT_LT(sizeOf(installPath / kBigSave), kBigSaveSize) << "the copy ended before it was ended";
}

}  // namespace

// Fault: a copy ended part-way stranding half a game that nothing records,
// and the next installation taking the half-written save for the player's
// and keeping it ("インストール完了しました" with a truncated save); the next start
// asking, or showing the menu, before the rollback is done.
TEST(E2eInterruption, AnInstallationEndedWhileASaveIsHalfWrittenLeavesNothingAtTheNextStart) {
  for (bool silent : {false, true}) {
    SCOPED_TRACE(silent ? "install.exe /S" : "through the menu");
    ScenarioNames names(silent ? "DiscmenuE2eEndedSilent" : "DiscmenuE2eEnded");
    GameDisc disc(names);
    disc.addLargeFile(kBigSave, kBigSaveSize);
    TempFolder games("ended");
    const std::filesystem::path installPath = games / kGameFolder;
    const std::wstring installSilently = L"/S /D=" + games.path().wstring();

    if (silent) {
      Process program = Process::start(disc.medium().installer(), installSilently, disc.medium().root());
      endWhileTheSaveIsHalfWritten(program, installPath);
    } else {
      Process program = disc.start();
      Window menu = waitForMenu(program);
      Window dialog = openDestinationDialog(program, menu);
      dialog.child(instformLayout, "dirpath").setText(games.path().wstring());
      startInstallation(program, dialog, games.path().wstring());
      endWhileTheSaveIsHalfWritten(program, installPath);
    }
    EXPECT_TRUE(readRegistryString(HKEY_CURRENT_USER, names.keyPath(), L"InstallJournal"));
    EXPECT_FALSE(readRegistryString(HKEY_CURRENT_USER, names.keyPath(), L"PATH"));

    // The next start rolls the run back before anything else, without asking.
    if (silent) {
      Process next = Process::start(disc.medium().installer(), L"/S /UNINSTALL", disc.medium().root());
      EXPECT_EQ(next.exitCode(), 7u);  // not installed
    } else {
      Process next = disc.start();
      Window menu = waitForMenu(next);
      EXPECT_FALSE(std::filesystem::exists(installPath));
      expectMenuState(menu, false);
      closeMenu(next, menu);
    }
    EXPECT_FALSE(std::filesystem::exists(installPath));
    EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, names.keyPath()));

    // A new installation writes every file whole.
    std::filesystem::resize_file(disc.medium().root() / kBigSave, kNewBigSaveSize);
    if (silent) {
      EXPECT_EQ(Process::start(disc.medium().installer(), installSilently, disc.medium().root()).exitCode(), 0u);
    } else {
      Process again = disc.start();
      Window menu = waitForMenu(again);
      installThroughMenu(again, menu, games.path());
      closeMenu(again, menu);
    }
    FileTree expected = disc.installedFiles();
    expected[kBigSave] = std::string(kNewBigSaveSize, '\0');
    expectInstalled(installPath, expected);
    EXPECT_FALSE(readRegistryString(HKEY_CURRENT_USER, names.keyPath(), L"InstallJournal"));
  }
}

// Fault: the player's Enter, held down on "アンインストール開始", repeated by the
// keyboard into the question that follows and answering it: every file of
// the game folder deleted by a key the player did not mean for it.
TEST(E2eInterruption, AHeldEnterAtTheDeleteAllQuestionDeletesNothing) {
  ScenarioNames names("DiscmenuE2eHeldEnter");
  GameDisc disc(names);
  TempFolder games("held");
  const std::filesystem::path installPath = games / kGameFolder;
  Process program = disc.start();
  Window menu = waitForMenu(program);
  installThroughMenu(program, menu, games.path());
  const FileTree installed = readTree(installPath);

  menu.child(mformLayout, "instbtn").click();
  Window dialog = waitForWindow(program, L"Tuninsform", L"アンインストール");
  Window deleteAll = dialog.child(uninsformLayout, "savecheck");
  deleteAll.click();
  ASSERT_TRUE(waitUntil([&] { return deleteAll.checked(); }));
  // The focus back on the start button, where the player presses Enter.
  const int start = controlId(uninsformLayout, "Button1");
  for (int tab = 0; tab < 4 && focusedWindow(dialog).id() != start; ++tab) pressKey(dialog, VK_TAB);
  ASSERT_EQ(focusedWindow(dialog).id(), start);
  ASSERT_TRUE(waitUntil([&] { return foregroundWindow().handle() == dialog.handle(); }));

  // Real key input through the X server, which repeats a held key. X hands
  // it to the window with its input focus, which may follow Wine's
  // activation a moment late: a press that reached no dialog is made again.
  std::optional<MessageBoxView> asked;
  for (int attempt = 0; attempt < 3 && !asked; ++attempt) {
    ASSERT_EQ(runNative("xdotool keydown Return"), 0u);
    try {
      asked = waitForMessageBox(program, L"アンインストールの確認", Duration(3000));
    } catch (const DriverError&) {
      runNative("xdotool keyup Return");
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
  }
  ASSERT_TRUE(asked) << "Enter never reached the start button";
  const MessageBoxView question = *asked;
  EXPECT_EQ(question.text, L"ゲームフォルダ内のファイルを全て削除します");
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // past the keyboard's repeat delay
  runNative("xdotool keydown Return");                            // and the key pressed on while down
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_EQ(runNative("xdotool keyup Return"), 0u);
  question.window.sync();

  EXPECT_TRUE(question.window.exists() && question.window.visible()) << "the question was answered";
  expectFiles(installPath, installed);
  if (question.window.exists()) question.answer(IDCANCEL);
  waitForWindowGone(question.window);
  EXPECT_TRUE(dialog.visible());
  dialog.child(uninsformLayout, "Button2").click();
  expectMenuState(menu, true);
  expectFiles(installPath, installed);
  closeMenu(program, menu);
}
