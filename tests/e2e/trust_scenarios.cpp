// The elevated installer and uninstaller as a trust boundary, on the real
// program under Wine (where every program runs elevated): what another user,
// or an unelevated program of the player, may put in their way must not
// make them write or delete anywhere else (docs/security.md).
#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <regex>

#include "forms/layouts.h"
#include "platform/win32/access_lists.h"
#include "tests/e2e/game_disc.h"

using namespace e2e;

namespace {

bool underWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// Installs the disc as a script would, into `destination`\Game.
void installSilently(GameDisc& disc, const std::filesystem::path& destination) {
  Process installer = Process::start(disc.medium().installer(), L"/S /D=" + destination.wstring(), disc.medium().root());
  ASSERT_EQ(installer.exitCode(), 0u);
}

// A game installed as a script would install it, under a scenario's own
// registry key and Start-menu group, into `games`\Game.
struct SilentlyInstalled {
  explicit SilentlyInstalled(const std::string& scenario) : names(scenario), disc(names), games(scenario) {
    installSilently(disc, games.path());
  }
  ScenarioNames names;
  GameDisc disc;
  TempFolder games;
  const std::filesystem::path installPath = games / kGameFolder;
};

// The folder of the image that runs the process showing `window`.
std::filesystem::path imageFolderOf(const Window& window) {
  DWORD id = 0;
  GetWindowThreadProcessId(window.handle(), &id);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  wchar_t image[MAX_PATH] = {};
  DWORD length = MAX_PATH;
  const bool read = process && QueryFullProcessImageNameW(process, 0, image, &length);
  if (process) CloseHandle(process);
  if (!read) throw DriverError("cannot read the image of process " + std::to_string(id));
  return std::filesystem::path(image).parent_path();
}

// The folder's access list in the security descriptor language.
std::wstring accessListOf(const std::filesystem::path& folder) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  PACL list = nullptr;
  if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list,
                            nullptr, &descriptor) != ERROR_SUCCESS) {
    return L"(unreadable)";
  }
  wchar_t* text = nullptr;
  ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text,
                                                       nullptr);
  std::wstring result = text ? text : L"(none)";
  LocalFree(text);
  LocalFree(descriptor);
  return result;
}

// A symbolic link of Linux, which Wine follows and shows as what it leads
// to; removed when the object ends, before the folder that holds it (a
// removal of that folder would go through it).
class LinuxLink {
 public:
  LinuxLink(const std::filesystem::path& link, const std::filesystem::path& target) : link_(unixPath(link)) {
    pointAt(target);
  }
  ~LinuxLink() { runNative("rm -f '" + link_ + "'"); }
  LinuxLink(const LinuxLink&) = delete;
  LinuxLink& operator=(const LinuxLink&) = delete;
  void pointAt(const std::filesystem::path& target) {
    if (runNative("ln -sfn '" + unixPath(target) + "' '" + link_ + "'") != 0) throw DriverError("cannot link " + link_);
  }

 private:
  std::string link_;
};

}  // namespace

// Fault: the internal relay switch accepted from any command line (a
// changed QuietUninstallString): the game's uninst.exe, copied elsewhere and
// started elevated with a switch naming a file of the attacker's choosing
// as "the waiting uninstaller", removing the game and then moving and
// deleting that file. A handle that is no pipe of the waiting process
// starts nothing; the exit code is 2. (A waiting process that runs another
// image, or another file to spare: the model's
// Uninstaller.TheRelayProvesItselfOrNothingIsRemoved.)
TEST(E2eTrust, AForgedRelaySwitchRemovesNothingAndEndsWithTwo) {
  SilentlyInstalled game("DiscmenuE2eForgedRelay");
  const std::filesystem::path& installPath = game.installPath;
  TempFolder elsewhere("forged-relay-copy");
  std::filesystem::copy_file(installPath / "uninst.exe", elsewhere / "uninst.exe");
  const std::filesystem::path precious = elsewhere / "precious.txt";
  writeFile(precious, "precious");
  const FileTree installed = readTree(installPath);

  EXPECT_EQ(Process::start(elsewhere / "uninst.exe", L"/S /ALL \"/_RELAY=0,1," + precious.wstring() + L"\"",
                           elsewhere.path())
                .exitCode(),
            2u);

  EXPECT_EQ(readFile(precious), "precious");
  expectFiles(installPath, installed);
  EXPECT_EQ(readRegistryString(HKEY_CURRENT_USER, game.names.keyPath(), L"PATH"), installPath.wstring());
}

// Fault: the relay folder in %TEMP% named from the process id and the
// clock (another program makes it first, or a link by that name) or made
// with the temp folder's rights, so that an unelevated program replaces the
// copy or puts UxTheme.dll beside it before the elevated copy starts.
// Windows reads the access list back as it was made; Wine keeps none (it
// turns a list into Unix permissions), so there the list is compared as the
// program hands it over (tests/platform-win32, Win32AccessLists).
TEST(E2eTrust, TheRelayFolderIsUnforeseeableAndItsOwn) {
  SilentlyInstalled game("DiscmenuE2eRelayFolder");
  std::vector<std::filesystem::path> folders;
  for (int run = 0; run < 2; ++run) {
    Process program = Process::start(game.installPath / "uninst.exe", L"", game.installPath);
    Window dialog = waitForAnyWindow(L"Tuninsform", L"アンインストール");
    folders.push_back(imageFolderOf(dialog));
    dialog.child(uninsformLayout, "Button2").click();
    EXPECT_EQ(program.exitCode(), 1u);
  }
  for (const auto& folder : folders) {
    EXPECT_TRUE(std::regex_match(folder.filename().wstring(), std::wregex(L"uninst-[0-9a-f]{32}")))
        << narrow(folder.wstring());
    if (underWine()) continue;
    EXPECT_EQ(accessListOf(folder), platform::win32::accessListText(platform::win32::FolderAccess::ElevatedRelay,
                                                                    platform::win32::processUserSid().value()));
  }
  EXPECT_NE(folders[0], folders[1]);
  EXPECT_EQ(folders[0].parent_path(), folders[1].parent_path());
}

// Fault: the elevated copy opening a planned name by path and truncating
// what it finds: a hard link planted there (here the last standard file of
// an existing game folder) has its other name's bytes overwritten. The
// installation stops as a failed write (exit 6) and registers nothing.
TEST(E2eTrust, AHardLinkAtAPlannedNameLeavesTheLinkedFileUnchanged) {
  ScenarioNames names("DiscmenuE2eHardLink");
  GameDisc disc(names);
  TempFolder games("hard-link");
  const std::filesystem::path installPath = games / kGameFolder;
  std::filesystem::create_directories(installPath);
  const std::filesystem::path victim = games / "victim.ini";
  writeFile(victim, "the victim's");
  ASSERT_TRUE(CreateHardLinkW((installPath / "uninst.exe").c_str(), victim.c_str(), nullptr));

  Process installer = Process::start(disc.medium().installer(), L"/S /D=" + games.path().wstring(), disc.medium().root());
  EXPECT_EQ(installer.exitCode(), 6u);
  EXPECT_EQ(readFile(victim), "the victim's");
  EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, names.keyPath()));
}

// Fault: the removal checking the game folder once and then deleting by
// its path: a link above it (another user's, in a folder of theirs) re-pointed
// while the player reads the question sends an elevated delete-all into a
// folder of the same name elsewhere. Under Wine the link is one of Linux,
// which Wine follows unseen; the path the system gives the held folder
// tells it.
TEST(E2eTrust, ALinkAboveTheGameFolderRePointedDuringTheQuestionRemovesNothing) {
  ScenarioNames names("DiscmenuE2eRepointed");
  GameDisc disc(names);
  TempFolder games("repointed");
  const FileTree victimFiles = {{"origin.exe", "the victim's"}, {std::filesystem::path("data") / "a.bin", "theirs"}};
  writeTree(games / "victim" / kGameFolder, victimFiles);
  std::filesystem::create_directories(games / "real");
  LinuxLink link(games / "link", games / "real");
  installSilently(disc, games / "link");
  const std::filesystem::path installPath = games / "link" / kGameFolder;
  const FileTree installed = readTree(installPath);

  Process program = disc.start();
  Window menu = waitForMenu(program);
  menu.child(mformLayout, "instbtn").click();
  Window dialog = waitForWindow(program, L"Tuninsform", L"アンインストール");
  dialog.child(uninsformLayout, "savecheck").click();
  dialog.child(uninsformLayout, "Button1").click();
  MessageBoxView question = waitForMessageBox(program, L"アンインストールの確認");
  link.pointAt(games / "victim");
  question.answer(IDOK);
  waitForWindowGone(question.window);
  MessageBoxView told = waitForMessageBox(program, L"アンインストールの確認");
  EXPECT_EQ(told.text, L"インストール先のフォルダがリンクのため削除できません\n" + installPath.wstring());
  told.answer(IDOK);
  expectFiles(games / "victim" / kGameFolder, victimFiles);
  expectFiles(games / "real" / kGameFolder, installed);
  dialog.child(uninsformLayout, "Button2").click();
  expectMenuState(menu, true);
  closeMenu(program, menu);
}
