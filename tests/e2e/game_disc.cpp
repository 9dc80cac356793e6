#include "tests/e2e/game_disc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

#include "forms/layouts.h"
#include "tools/config_json.h"

namespace e2e {

namespace {

const std::wstring kShellFolders = L"software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Bytes that differ from chunk to chunk, so that a chunk written twice or
// out of place shows.
std::string patterned(size_t size, unsigned seed) {
  std::minstd_rand random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() >> 7);
  return bytes;
}

std::filesystem::path fromUtf8(const char* utf8) { return std::filesystem::path(widen(utf8)); }

}  // namespace

ScenarioNames::ScenarioNames(const std::string& scenario) : first_(scenario + "ソ") { removeTraces(); }

ScenarioNames::~ScenarioNames() { removeTraces(); }

std::filesystem::path ScenarioNames::groupFolder() const { return programsFolder() / widen(menuGroup()); }

std::filesystem::path ScenarioNames::firstLevelGroupFolder() const { return programsFolder() / widen(first_); }

void ScenarioNames::removeTraces() const {
  deleteRegistryTree(HKEY_CURRENT_USER, firstLevelKeyPath());
  deleteRegistryTree(HKEY_CURRENT_USER, uninstallEntryPath());
  std::error_code ignored;
  std::filesystem::remove_all(firstLevelGroupFolder(), ignored);
}

std::filesystem::path programsFolder() {
  auto folder = readRegistryString(HKEY_CURRENT_USER, kShellFolders, L"Programs");
  if (!folder) throw DriverError("no Start-menu programs folder in the registry");
  return *folder;
}

FileTree readTree(const std::filesystem::path& folder) {
  FileTree files;
  if (!std::filesystem::exists(folder)) return files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files[entry.path().lexically_relative(folder)] = readFile(entry.path());
  }
  return files;
}

std::set<std::filesystem::path> foldersBelow(const std::filesystem::path& folder) {
  std::set<std::filesystem::path> folders;
  if (!std::filesystem::exists(folder)) return folders;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_directory()) folders.insert(entry.path().lexically_relative(folder));
  }
  return folders;
}

void writeTree(const std::filesystem::path& folder, const FileTree& files) {
  for (const auto& [name, bytes] : files) writeFile(folder / name, bytes);
}

void expectFiles(const std::filesystem::path& folder, const FileTree& expected) {
  const FileTree found = readTree(folder);
  for (const auto& [name, bytes] : expected) {
    auto file = found.find(name);
    if (file == found.end()) {
      ADD_FAILURE() << "missing: " << narrow(name.wstring());
    } else if (file->second != bytes) {
      ADD_FAILURE() << "differs: " << narrow(name.wstring()) << ", " << file->second.size() << " bytes, "
                    << bytes.size() << " expected";
    }
  }
  for (const auto& [name, bytes] : found) {
    if (!expected.count(name)) ADD_FAILURE() << "not expected: " << narrow(name.wstring());
  }
}

void expectInstalled(const std::filesystem::path& installPath, const FileTree& expected) {
  FileTree withRecord = expected;
  const std::filesystem::path record = installPath / "uninst-record.txt";
  const std::string text = std::filesystem::exists(record) ? readFile(record) : std::string();
  EXPECT_EQ(text.rfind("\xEF\xBB\xBFinstall record 2\r\n", 0), 0u) << "no install record whole";
  withRecord["uninst-record.txt"] = text;
  expectFiles(installPath, withRecord);
}

FileTree earlierSaveData() {
  return {{"SYSTEM.DAT", "system: earlier play"},
          {"config.ini", "[config]\r\nvolume=3\r\n"},
          {std::filesystem::path("save") / "slot1.dat", "slot 1: earlier play"}};
}

GameDisc::GameDisc(const ScenarioNames& names) : medium_("disc") {
  config_ = sampleConfigJson();
  config_["title"] = narrow(kGameTitle);
  config_["rootSelector"] = 1;
  config_["parentFolder"] = "DiscmenuE2e";
  config_["gameFolder"] = narrow(kGameFolder);
  config_["registryKey"] = names.registryKey();
  config_["extraEntries"] = {"data", "ソフト資料", "movie"};
  config_["preserveEntries"] = {"config.ini", "save"};
  config_["menuGroup"] = names.menuGroup();
  config_["gameLinkName"] = "ゲーム開始";
  config_["uninstallLinkName"] = "アンインストール";
  config_["extra1"] = {{"file", "data\\manual.txt"}, {"linkName", "説明書"}};
  config_["extra2"] = {{"file", "data\\bgm\\theme.ogg"}, {"linkName", "テーマ曲"}};
  medium_.pack(installerImage(), config_);

  const std::filesystem::path data = "data";
  const std::filesystem::path booklet = fromUtf8("ソフト資料");
  installed_ = {
      {"SYSTEM.INI", "[system]\r\nscreen=640x480\r\n"},
      {"origin.exe", "MZ stand-in for the game"},
      {"SCENARIO.DAT", patterned(3 * kChunkSize, 1)},
      {"GRAPHIC.DAT", patterned(kChunkSize + 1, 2)},
      {"SOUND.HED", ""},
      {data / "manual.txt", "how to play"},
      {data / "bgm" / "theme.ogg", patterned(4096, 3)},
      {data / "sub" / "deep" / "level.bin", patterned(777, 4)},
      {booklet / fromUtf8("表紙.txt"), "cover"},
      {booklet / fromUtf8("設定") / fromUtf8("ソース.txt"), "settings"},
      {"SYSTEM.DAT", "system: new game"},
      {"config.ini", "[config]\r\nvolume=5\r\n"},
      {std::filesystem::path("save") / "slot1.dat", "slot 1: empty"},
      {std::filesystem::path("save") / "slot2.dat", "slot 2: empty"},
  };
  // The uninstaller is the packed image itself, as instcfg writes it.
  installed_["uninst.exe"] = readFile(medium_.root() / "uninst.exe");
  writeTree(medium_.root(), installed_);
  // Passed over by the copy: names that begin with a dot.
  medium_.addFile(data / ".keep", "");
  medium_.addFile(data / ".cache" / "thumbnail.bin", "cached");
}

FileTree GameDisc::installedOver(const FileTree& saves) const {
  FileTree files = installed_;
  for (const auto& [name, bytes] : saves) files[name] = bytes;
  return files;
}

void GameDisc::addLargeFile(const std::filesystem::path& relative, uint64_t size) {
  const std::filesystem::path path = medium_.root() / relative;
  std::filesystem::create_directories(path.parent_path());
  // Setting the end of an empty file leaves a hole, not written zeros.
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw DriverError("cannot create " + narrow(path.wstring()));
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  if (!sized) throw DriverError("cannot size " + narrow(path.wstring()));
}

SmallDisk::SmallDisk(size_t bytes) : folder_("small-disk") {
  if (runNative("test $(id -u) = 0") != 0) {
    reason_ = "mounting a size-limited tmpfs needs root";
    return;
  }
  std::string prefix = runNativeOutput("printf %s $WINEPREFIX");
  if (prefix.empty()) {
    reason_ = "no WINEPREFIX to map a drive letter in";
    return;
  }
  mountPoint_ = unixPath(folder_.path());
  link_ = prefix + "/dosdevices/q:";
  if (runNative("mount -t tmpfs -o size=" + std::to_string(bytes) + " discmenu-small-disk '" + mountPoint_ + "'") != 0) {
    reason_ = "mount -t tmpfs failed";
    mountPoint_.clear();
    return;
  }
  if (runNative("ln -sfn '" + mountPoint_ + "' '" + link_ + "'") != 0) reason_ = "cannot link drive Q:";
}

SmallDisk::~SmallDisk() {
  if (!mountPoint_.empty()) runNative("rm -f '" + link_ + "'; umount '" + mountPoint_ + "'");
}

std::string SmallDisk::contents() const { return runNativeOutput("ls -A '" + mountPoint_ + "'"); }

Window waitForMenu(const Process& menu) { return waitForWindow(menu, L"Tmform", kGameTitle + L"　起動メニュー"); }

void expectMenuState(const Window& menu, bool installed) {
  const std::wstring caption = installed ? L"アンインストール" : L"インストール";
  Window install = menu.child(mformLayout, "instbtn");
  Window run = menu.child(mformLayout, "runbtn");
  EXPECT_TRUE(waitUntil([&] { return menu.visible() && install.text() == caption; }))
      << "install button reads \"" << narrow(install.text()) << "\"";
  EXPECT_EQ(run.enabled(), installed);
  // The dialog that ended handed the activation back to the menu.
  EXPECT_TRUE(waitUntil([&] { return foregroundWindow().handle() == menu.handle(); })) << "the menu is not active";
}

void closeMenu(Process& program, const Window& menu) {
  menu.child(mformLayout, "closebtn").click();
  EXPECT_EQ(program.exitCode(), 0u);
}

Window openDestinationDialog(const Process& program, const Window& menu) {
  menu.child(mformLayout, "instbtn").click();
  return waitForWindow(program, L"Tinstform", L"インストール先の設定");
}

void startInstallation(const Process& program, const Window& dialog, const std::wstring& destination,
                       const std::string& screenshotName) {
  dialog.child(instformLayout, "Button2").click();
  MessageBoxView confirmation = waitForMessageBox(program, L"インストール先の確認");
  EXPECT_EQ(confirmation.text, destination + L"に\nGameフォルダを作成して\nインストールします");
  if (!screenshotName.empty()) screenshot(screenshotFolder(), screenshotName, confirmation.window);
  confirmation.answer(IDOK);
}

void acknowledgeInstallation(const Process& program) {
  MessageBoxView completion = waitForMessageBox(program, L"確認");
  EXPECT_EQ(completion.text, L"インストール完了しました");
  completion.answer(IDOK);
}

void installThroughMenu(const Process& program, const Window& menu, const std::filesystem::path& destination) {
  Window dialog = openDestinationDialog(program, menu);
  dialog.child(instformLayout, "dirpath").setText(destination.wstring());
  startInstallation(program, dialog, destination.wstring());
  acknowledgeInstallation(program);
  expectMenuState(menu, true);
}

void expectToldAfterConfirming(const Process& program, const Window& dialog, const std::wstring& destination,
                               const std::wstring& message) {
  dialog.child(instformLayout, "dirpath").setText(destination);
  startInstallation(program, dialog, destination);
  MessageBoxView box = waitForMessageBox(program, L"確認");
  EXPECT_EQ(box.text, message);
  box.answer(IDOK);
  EXPECT_TRUE(waitUntil([&] { return dialog.visible(); }));
}

DWORD runAsAScript(const std::filesystem::path& program, const std::wstring& arguments,
                   const std::filesystem::path& currentDirectory, bool& windowSeen) {
  Process process = Process::start(program, arguments, currentDirectory);
  windowSeen = false;
  waitUntil([&] {
    if (!topLevelWindows(process.id()).empty()) windowSeen = true;
    return !process.running();
  });
  return process.exitCode();
}

std::vector<std::string> logLines(const std::filesystem::path& file) {
  std::string text = readFile(file);
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool hasLine(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

UninstallEnd confirmUninstall(const Process& program, const Window& menu, RemovalMode mode,
                              const std::string& screenshotName) {
  menu.child(mformLayout, "instbtn").click();
  Window dialog = waitForWindow(program, L"Tuninsform", L"アンインストール");
  Window keep = dialog.child(uninsformLayout, "RadioButton1");
  Window deleteAll = dialog.child(uninsformLayout, "savecheck");
  // The dialog keeps the last choice while the menu runs.
  Window chosen = mode == RemovalMode::DeleteAll ? deleteAll : keep;
  Window other = mode == RemovalMode::DeleteAll ? keep : deleteAll;
  chosen.click();
  EXPECT_TRUE(waitUntil([&] { return chosen.checked() && !other.checked(); }));
  if (!screenshotName.empty()) screenshot(screenshotFolder(), screenshotName, dialog);
  dialog.child(uninsformLayout, "Button1").click();

  MessageBoxView question = waitForMessageBox(program, L"アンインストールの確認");
  EXPECT_EQ(question.text, mode == RemovalMode::DeleteAll ? L"ゲームフォルダ内のファイルを全て削除します"
                                                          : L"セーブデータを残してゲームデータを削除します");
  question.answer(IDOK);
  // What follows has the same caption.
  waitForWindowGone(question.window);
  return {dialog, waitForMessageBox(program, L"アンインストールの確認")};
}

void uninstallThroughMenu(const Process& program, const Window& menu, RemovalMode mode,
                          const std::string& screenshotName) {
  MessageBoxView completion = confirmUninstall(program, menu, mode, screenshotName).told;
  EXPECT_EQ(completion.text, L"アンインストール完了しました");
  completion.answer(IDOK);
  expectMenuState(menu, false);
}

}  // namespace e2e
