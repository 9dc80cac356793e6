// Destinations and media where the installation must stop before it makes
// anything, or make the destination absolute so that the uninstaller can
// always remove what was installed: the real install.exe under Wine.
#include <gtest/gtest.h>

#include "forms/layouts.h"
#include "tests/e2e/game_disc.h"

using namespace e2e;

namespace {

// scripts/unreadable-folder, as the build names it.
const std::string kUnreadableFolderScript = E2E_UNREADABLE_FOLDER;

// Types `text` into the destination dialog, starts, and expects the refusal
// `message` under "インストール先の確認" with the dialog staying open.
void expectRefused(const Process& program, const Window& dialog, const std::wstring& text,
                   const std::wstring& message) {
  SCOPED_TRACE(narrow(text));
  dialog.child(instformLayout, "dirpath").setText(text);
  dialog.child(instformLayout, "Button2").click();
  MessageBoxView box = waitForMessageBox(program, L"インストール先の確認");
  EXPECT_EQ(box.text, message);
  box.answer(IDOK);
  waitForWindowGone(box.window);
  EXPECT_TRUE(dialog.visible());
}

// A folder whose listing fails with an I/O error (scripts/unreadable-folder,
// a FUSE file system), mounted while the object lives; `reason` says why
// there is none.
class UnreadableFolder {
 public:
  explicit UnreadableFolder(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    // As the kernel lists mounts: through the links of the Wine prefix.
    mountPoint_ = runNativeOutput("realpath '" + unixPath(folder) + "' | tr -d '\\n'");
    if (runNative("test -c /dev/fuse && { test $(id -u) = 0 || command -v fusermount; } >/dev/null") != 0) {
      reason_ = "FUSE needs /dev/fuse, and root or fusermount";
      return;
    }
    // Left running in the background; unmounting ends it.
    runNative("{ setsid '" + kUnreadableFolderScript + "' '" + mountPoint_ + "' </dev/null >/dev/null 2>&1 & }");
    if (!waitUntil([&] { return mounted(); }, Duration{10000})) reason_ = "the FUSE folder did not mount";
  }
  ~UnreadableFolder() {
    if (mounted()) runNative("fusermount -u '" + mountPoint_ + "' 2>/dev/null || umount '" + mountPoint_ + "'");
  }
  UnreadableFolder(const UnreadableFolder&) = delete;
  UnreadableFolder& operator=(const UnreadableFolder&) = delete;
  const std::string& reason() const { return reason_; }

 private:
  bool mounted() const { return runNative("grep -q ' " + mountPoint_ + " fuse' /proc/mounts") == 0; }
  std::string mountPoint_;
  std::string reason_;
};

}  // namespace

// Fault: destinations accepted as typed that the uninstaller then refuses,
// so that the game can never be removed: "T:Rel" installed below drive T's
// current folder and stored relative, "T:/Fwd/Games" failing at its first
// folder with a false "disk full", "T:\x\..\Dots" making T:\x and T:\Dots;
// or names Windows would change ("Games ", "aux") installed elsewhere.
TEST(E2eDestination, DestinationsAreMadeAbsoluteOrRefusedAndEveryInstallationCanBeRemoved) {
  ScenarioNames names("DiscmenuE2eAbsolute");
  GameDisc disc(names);
  TempFolder drive("drive-t");
  DriveMapping mapping('t', drive.path());
  {
    Process program = disc.start();
    Window menu = waitForMenu(program);
    Window dialog = openDestinationDialog(program, menu);
    expectRefused(program, dialog, L"T:\\x\\..\\Dots", L"インストール先に「.」や「..」のフォルダ名は使用できません");
    expectRefused(program, dialog, L"T:\\Games \\New",
                  L"インストール先のフォルダ名の末尾に「.」や空白は使用できません");
    expectRefused(program, dialog, L"T:\\aux\\Games", L"インストール先にCONやAUXなどの装置名は使用できません");
    EXPECT_TRUE(std::filesystem::is_empty(drive.path()));
    dialog.child(instformLayout, "Button3").click();
    expectMenuState(menu, false);
    closeMenu(program, menu);
  }

  // Drive T keeps its root as the folder "T:Rel" continues.
  const struct {
    std::wstring typed, absolute, below;
  } accepted[] = {{L"T:Rel", L"T:\\Rel", L"Rel"}, {L"T:/Fwd/Games", L"T:\\Fwd\\Games", L"Fwd/Games"}};
  for (const auto& [typed, absolute, below] : accepted) {
    SCOPED_TRACE(narrow(typed));
    Process program = disc.start();
    Window menu = waitForMenu(program);
    Window dialog = openDestinationDialog(program, menu);
    dialog.child(instformLayout, "dirpath").setText(typed);
    startInstallation(program, dialog, absolute);
    acknowledgeInstallation(program);
    expectMenuState(menu, true);
    EXPECT_EQ(readRegistryString(HKEY_CURRENT_USER, names.keyPath(), L"PATH"), absolute + L"\\" + kGameFolder);
    expectInstalled(drive / below / kGameFolder, disc.installedFiles());

    uninstallThroughMenu(program, menu, RemovalMode::DeleteAll);
    EXPECT_TRUE(std::filesystem::is_empty(drive.path()));
    closeMenu(program, menu);
  }
}

// Fault: a configured folder of the medium whose listing fails taken as
// empty or missing, so that "インストール完了しました" is told with its files
// missing; or anything made before the failure is told.
TEST(E2eDestination, AMediumFolderThatCannotBeListedStopsTheInstallationFirst) {
  ScenarioNames names("DiscmenuE2eScratched");
  GameDisc disc(names);
  UnreadableFolder scratched(disc.medium().root() / "data" / "scratched");
  if (!scratched.reason().empty()) GTEST_SKIP() << "skipped: no unreadable folder (" << scratched.reason() << ")";
  TempFolder games("scratched");
  Process program = disc.start();
  Window menu = waitForMenu(program);
  Window dialog = openDestinationDialog(program, menu);

  expectToldAfterConfirming(program, dialog, games.path().wstring(),
                            L"ファイルの読み込みに失敗しました\ndata\\scratched");
  EXPECT_TRUE(std::filesystem::is_empty(games.path()));
  EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, names.keyPath()));
  dialog.child(instformLayout, "Button3").click();
  expectMenuState(menu, false);
  closeMenu(program, menu);
}

// Fault: a folder the player may not write into (a standard user and
// "Program Files") told as "インストール先の容量が不足しています".
TEST(E2eDestination, ADestinationWithoutWriteAccessIsToldSo) {
  ScenarioNames names("DiscmenuE2eLocked");
  GameDisc disc(names);
  TempFolder games("locked");
  const std::filesystem::path locked = games / "Locked";
  std::filesystem::create_directories(locked);
  // The superuser writes everywhere but into an immutable folder.
  const std::string lock = "test $(id -u) = 0 && chattr +i '" + unixPath(locked) + "' || chmod a-w '" +
                           unixPath(locked) + "'";
  if (runNative(lock + " 2>/dev/null") != 0) GTEST_SKIP() << "skipped: cannot take the write access away here";
  Process program = disc.start();
  Window menu = waitForMenu(program);
  Window dialog = openDestinationDialog(program, menu);

  expectToldAfterConfirming(program, dialog, locked.wstring(), L"インストール先に書き込めません\n" + locked.wstring());
  dialog.child(instformLayout, "Button3").click();
  expectMenuState(menu, false);
  closeMenu(program, menu);
  runNative("chattr -i '" + unixPath(locked) + "' 2>/dev/null; chmod u+w '" + unixPath(locked) + "'");
  EXPECT_TRUE(std::filesystem::is_empty(locked));
  EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, names.keyPath()));
}
