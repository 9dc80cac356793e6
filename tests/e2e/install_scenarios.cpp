// Installation from the real menu on the real window system (Wine): the
// destination and browse dialogs, the chunked copy from a real medium, the
// registration as other programs read it, and the rollback of a cancel.
#include <gtest/gtest.h>

#include <sstream>

#include "forms/layouts.h"
#include "tests/e2e/game_disc.h"
#include "tools/config_json.h"

using namespace e2e;

namespace {

std::string trimmed(std::string text) {
  const char* space = " \t\r\n";
  text.erase(0, text.find_first_not_of(space));
  text.erase(text.find_last_not_of(space) + 1);
  return text;
}

// The value as Wine's own reg.exe prints it, run from the Linux side through
// the loader that scripts/wine-run picked (DISCMENU_WINE).
std::string registryStringFromOutside(const std::wstring& key, const std::string& value) {
  const std::string output = runNativeOutput("${DISCMENU_WINE:-wine} reg query 'HKCU\\" + narrow(key) + "' /v " +
                                             value + " 2>/dev/null");
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    const size_t type = line.find("REG_SZ");
    if (type != std::string::npos && trimmed(line.substr(0, type)) == value) return trimmed(line.substr(type + 6));
  }
  throw DriverError("no " + value + " in reg query's output:\n" + output);
}

struct ShellLink {
  std::string target, arguments, directory;
  bool operator==(const ShellLink&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ShellLink& link) {
  return out << "{" << link.target << " | " << link.arguments << " | " << link.directory << "}";
}

// A link file as lnkinfo, which knows nothing of Wine, reads it.
ShellLink linkFromOutside(const std::filesystem::path& file) {
  std::istringstream lines(runNativeOutput("/usr/bin/lnkinfo '" + unixPath(file) + "'"));
  ShellLink link;
  for (std::string line; std::getline(lines, line);) {
    const size_t colon = line.find(": ");
    if (colon == std::string::npos) continue;
    const std::string name = trimmed(line.substr(0, colon));
    const std::string value = trimmed(line.substr(colon + 2));
    if (name == "Local path") link.target = value;
    if (name == "Command line arguments") link.arguments = value;
    if (name == "Working directory") link.directory = value;
  }
  return link;
}

// The show command of a link file's header (offset 0x3C), which lnkinfo
// does not report faithfully.
uint32_t linkShowCommand(const std::filesystem::path& file) {
  const std::string header = readFile(file).substr(0, 0x40);
  if (header.size() < 0x40) return 0;
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(header[0x3C + i]);
  return value;
}

// Opens `name` in the folder list; the list then shows it as its current
// folder, at `depth` below the drive root.
void openFolder(const Window& folders, const std::wstring& name, int depth) {
  folders.doubleClickItem(folders.itemIndex(name));
  const int current = folders.selectedItem();
  if (current != depth || _wcsicmp(folders.items().at(current).c_str(), name.c_str()) != 0) {
    throw DriverError("the folder list did not open " + narrow(name));
  }
}

// The folder list shows a drive's root as its current folder.
void expectDriveRoot(const Window& folders, const std::wstring& drive) {
  const auto lines = folders.items();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), drive + L"\\");
  EXPECT_EQ(folders.selectedItem(), 0);
}

}  // namespace

// Fault: a copy begun on a drive that cannot hold it, which fails at its
// last file (a full disk shows there only at the flush of the C runtime's
// buffer) and rolls back; or the shortage told without the amounts needed
// and free, or after anything was made.
TEST(E2eInstall, ADriveTooSmallIsToldBeforeAnyFolderIsMade) {
  // Room for SYSTEM.INI's two pages and nothing more.
  SmallDisk disk(8192);
  if (!disk.reason().empty()) GTEST_SKIP() << "skipped: no small disk for the destination (" << disk.reason() << ")";
  ScenarioNames names("DiscmenuE2eFull");
  Json config = sampleConfigJson();
  config["title"] = narrow(kGameTitle);
  config["gameFolder"] = narrow(kGameFolder);
  config["registryKey"] = names.registryKey();
  config["menuGroup"] = names.menuGroup();
  config["extraEntries"] = Json::array();
  config["preserveEntries"] = Json::array();
  config["extra1"] = nullptr;
  config["buttons"]["extra1"] = nullptr;
  Medium medium("full");
  medium.pack(installerImage(), config);
  medium.addFile("SYSTEM.INI", std::string(8192, 's'));
  medium.addFile("uninst.exe", std::string(256, 'u'));  // the last planned file

  Process program = medium.start();
  Window menu = waitForMenu(program);
  Window dialog = openDestinationDialog(program, menu);
  dialog.child(instformLayout, "dirpath").setText(disk.root().wstring());
  startInstallation(program, dialog, disk.root().wstring());
  MessageBoxView failure = waitForMessageBox(program, L"確認");
  // The two pages and one for uninst.exe's 256 bytes, in whole megabytes.
  EXPECT_EQ(failure.text, L"インストール先の容量が不足しています\n必要な空き容量: 1 MB\n現在の空き容量: 0 MB");
  failure.answer(IDOK);

  // Back in the destination dialog with its text, nothing on the disk.
  EXPECT_TRUE(waitUntil([&] { return dialog.visible(); }));
  EXPECT_EQ(dialog.child(instformLayout, "dirpath").text(), disk.root().wstring());
  EXPECT_EQ(disk.contents(), "");
  EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, names.keyPath()));
  dialog.child(instformLayout, "Button3").click();
  expectMenuState(menu, false);
  closeMenu(program, menu);
}

// Fault: any break on the main road of an installation: the browse dialog
// not handing its folder over, or leaving the current directory elsewhere
// so that the copy no longer finds its sources; a folder whose name has no
// Shift-JIS form listed under a look-alike; a trail byte 0x5C of ソ
// taken for a separator; a dot folder missing from the browse list, or the
// destination dialog not active again after it; dot entries copied; a file of ChunkSize + 1 or of
// whole chunks cut short, padded or reordered; a preserved file
// overwritten; the installed path stored with other text than the program
// composed, or stored so that only Wine's own API reads it; shortcuts whose
// target, arguments, working directory or show command are wrong; the menu
// not switching to the installed state.
TEST(E2eInstall, WholeRoadFromTheMenuThroughTheBrowseDialog) {
  ScenarioNames names("DiscmenuE2eRoad");
  GameDisc disc(names);
  TempFolder games("road");
  const std::filesystem::path chosen = games / "Games" / "Target";
  const std::filesystem::path installPath = chosen / kGameFolder;
  writeTree(installPath, earlierSaveData());
  writeFile(games / "Games" / "Other" / "keep.txt", "another folder in the list");
  writeFile(games / "Games" / ".hidden" / "keep.txt", "a folder whose name begins with a dot");
  std::filesystem::create_directories(games / "Games" / L"\u00C9lan");  // no Shift-JIS form

  Process program = disc.start();
  Window menu = waitForMenu(program);
  expectMenuState(menu, false);
  Window dialog = openDestinationDialog(program, menu);
  Window dirpath = dialog.child(instformLayout, "dirpath");
  auto programFiles = readRegistryString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                         L"ProgramFilesDir");
  ASSERT_TRUE(programFiles);
  EXPECT_EQ(dirpath.text(), *programFiles + L"\\DiscmenuE2e");
  EXPECT_EQ(dialog.child(instformLayout, "instlabel").text(), L"上記の場所にGameフォルダを作り");
  screenshot(screenshotFolder(), "instform", dialog);

  // A path whose last two folders do not exist opens the list at the
  // deepest one that does.
  dirpath.setText((games / "Games" / "New" / "Sub").wstring());
  dialog.child(instformLayout, "Button1").click();
  Window browse = waitForWindow(program, L"Tdirform", L"dirform");
  Window folders = browse.child(dirformLayout, "dirlist");
  Window drives = browse.child(dirformLayout, "drivelist");
  ASSERT_EQ(folders.className(), L"ListBox");
  ASSERT_EQ(drives.className(), L"ComboBox");
  EXPECT_EQ(folders.items().at(folders.selectedItem()), L"Games");
  EXPECT_NO_THROW(folders.itemIndex(L"Target"));
  EXPECT_NO_THROW(folders.itemIndex(L"Other"));
  EXPECT_NO_THROW(folders.itemIndex(L".hidden"));
  // Not listed at all, rather than under a look-alike that names another folder.
  EXPECT_THROW(folders.itemIndex(L"Elan"), DriverError);
  EXPECT_THROW(folders.itemIndex(L"\u00C9lan"), DriverError);
  const std::wstring drive = chosen.root_name().wstring();
  EXPECT_EQ(drives.items().at(drives.selectedItem()), drive);
  screenshot(screenshotFolder(), "dirform", browse);

  // Another drive, then back to the chosen folder's drive and down to the
  // folder from its root, one double-click at a time.
  drives.chooseItem(drives.itemIndex(L"Z:"));
  expectDriveRoot(folders, L"Z:");
  drives.chooseItem(drives.itemIndex(drive));
  expectDriveRoot(folders, drive);
  int depth = 0;
  for (const auto& name : chosen.relative_path()) openFolder(folders, name.wstring(), ++depth);
  browse.child(dirformLayout, "Button1").click();
  waitForWindowGone(browse);
  EXPECT_EQ(dirpath.text(), chosen.wstring());
  EXPECT_TRUE(waitUntil([&] { return foregroundWindow().handle() == dialog.handle(); }));

  startInstallation(program, dialog, chosen.wstring(), "install-confirmation");
  acknowledgeInstallation(program);
  expectMenuState(menu, true);

  // Every planned file byte for byte; dot entries left on the disc; the
  // earlier save data kept, the save file that was missing copied.
  expectInstalled(installPath, disc.installedOver(earlierSaveData()));
  EXPECT_FALSE(std::filesystem::exists(installPath / "data" / ".cache"));  // not even the folder

  EXPECT_EQ(readRegistryString(HKEY_CURRENT_USER, names.keyPath(), L"PATH"), installPath.wstring());
  EXPECT_EQ(registryStringFromOutside(names.keyPath(), "PATH"), narrow(installPath.wstring()));

  const std::string folder = narrow(installPath.wstring());
  const std::map<std::wstring, ShellLink> links = {
      {L"ゲーム開始.lnk", {folder + "\\origin.exe", "/l", folder}},
      {L"アンインストール.lnk", {folder + "\\uninst.exe", "", folder}},
      {L"説明書.lnk", {folder + "\\data\\manual.txt", "", folder}},
      {L"テーマ曲.lnk", {folder + "\\data\\bgm\\theme.ogg", "", folder}},
  };
  EXPECT_EQ(readTree(names.groupFolder()).size(), links.size());
  for (const auto& [name, link] : links) {
    const std::filesystem::path file = names.groupFolder() / name;
    ASSERT_TRUE(std::filesystem::exists(file)) << narrow(name);
    EXPECT_EQ(linkFromOutside(file), link) << narrow(name);
    EXPECT_EQ(linkShowCommand(file), 1u) << narrow(name);  // SW_SHOWNORMAL
  }

  closeMenu(program, menu);
}

// Fault: a cancel in the middle of a file leaving planned files, the partly
// written file or the folders made for it at the destination, deleting save
// data that was there before, registering the cancelled installation, not
// bringing the destination dialog back as it was, or leaving state behind
// that spoils the next installation of the same run.
TEST(E2eInstall, CancelInTheMiddleOfALargeFileRollsBack) {
  ScenarioNames names("DiscmenuE2eCancel");
  GameDisc disc(names);
  const std::wstring large = L"movie\\big\\opening.bin";
  // A chunk per 1 ms tick: 2,048 chunks are some seconds of copying even at
  // the timer's full pace, time enough to see the file named and cancel it.
  disc.addLargeFile(large, 2048 * kChunkSize);
  TempFolder games("cancel");
  const std::filesystem::path installPath = games / kGameFolder;
  writeTree(installPath, earlierSaveData());

  Process program = disc.start();
  Window menu = waitForMenu(program);
  Window dialog = openDestinationDialog(program, menu);
  Window dirpath = dialog.child(instformLayout, "dirpath");
  dirpath.setText(games.path().wstring());
  startInstallation(program, dialog, games.path().wstring());

  Window progress = waitForWindow(program, L"Tiform", L"インストール中");
  Window nowcopy = progress.child(iformLayout, "nowcopy");
  ASSERT_TRUE(waitUntil([&] { return nowcopy.text() == large; })) << narrow(nowcopy.text());
  screenshot(screenshotFolder(), "iform", progress);
  ASSERT_EQ(nowcopy.text(), large) << "the file was done before the cancel";
  EXPECT_TRUE(std::filesystem::exists(installPath / large));
  progress.child(iformLayout, "Button1").click();

  // The destination dialog again, as the user left it.
  EXPECT_TRUE(waitUntil([&] { return dialog.visible() && !progress.visible(); }));
  EXPECT_EQ(dirpath.text(), games.path().wstring());

  expectFiles(installPath, earlierSaveData());
  EXPECT_EQ(foldersBelow(installPath), std::set<std::filesystem::path>{"save"});
  EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, names.keyPath()));
  EXPECT_FALSE(std::filesystem::exists(names.groupFolder()));

  dialog.child(instformLayout, "Button3").click();
  waitForWindowGone(dialog);
  expectMenuState(menu, false);

  // The same menu installs in full afterwards: nothing of the cancelled
  // plan or copy carries over into a new showing of the dialogs.
  std::filesystem::remove_all(disc.medium().root() / "movie");
  installThroughMenu(program, menu, games.path());
  expectInstalled(installPath, disc.installedOver(earlierSaveData()));
  EXPECT_EQ(readRegistryString(HKEY_CURRENT_USER, names.keyPath(), L"PATH"), installPath.wstring());
  closeMenu(program, menu);
}

// Fault: a destination without a drive name accepted (installing relative
// to the medium); a character without a Shift-JIS form taken for its
// best-fit look-alike ("T:\\Élan" installed into "T:\\Elan"); either refused
// with another text or caption, or closing the dialog, changing its text,
// creating anything or leaving it inactive.
TEST(E2eInstall, DestinationWithoutDriveNameOrWithUnusableCharactersIsRefusedAndTheDialogStays) {
  ScenarioNames names("DiscmenuE2eDrive");
  GameDisc disc(names);
  TempFolder games("names");
  Process program = disc.start();
  Window menu = waitForMenu(program);
  Window dialog = openDestinationDialog(program, menu);
  Window dirpath = dialog.child(instformLayout, "dirpath");

  const std::wstring driveName = L"インストール先にドライブ名を含めてください";
  const std::wstring unusable = L"インストール先に使用できない文字が含まれています";
  const struct {
    std::wstring text, message;
  } refused[] = {
      {L"Games\\x", driveName},
      {L"1:\\games", driveName},
      {L"", driveName},
      {L"T:\\\u00C9lan", unusable},
      {(games / L"\u00C9lan").wstring(), unusable},
      {(games / L"x\u00A5..\u00A5y").wstring(), unusable},
  };
  for (const auto& [text, message] : refused) {
    SCOPED_TRACE(narrow(text));
    dirpath.setText(text);
    dialog.child(instformLayout, "Button2").click();
    MessageBoxView box = waitForMessageBox(program, L"インストール先の確認");
    EXPECT_EQ(box.text, message);
    size_t buttons = 0;
    for (const Window& child : box.window.children()) buttons += child.className() == L"Button" && child.visible();
    EXPECT_EQ(buttons, 1u);  // OK only
    if (text == refused[0].text) screenshot(screenshotFolder(), "drive-name-message", box.window);
    box.answer(IDOK);
    waitForWindowGone(box.window);
    EXPECT_TRUE(dialog.visible());
    EXPECT_TRUE(waitUntil([&] { return foregroundWindow().handle() == dialog.handle(); }));
    EXPECT_EQ(dirpath.text(), text);
  }
  EXPECT_TRUE(std::filesystem::is_empty(games.path()));
  EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, names.keyPath()));

  dialog.child(instformLayout, "Button3").click();
  expectMenuState(menu, false);
  closeMenu(program, menu);
}
