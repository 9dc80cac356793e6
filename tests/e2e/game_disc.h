#pragma once
// The game disc of the installation and uninstallation scenarios: a medium
// holding every kind of entry the copy treats on its own, its configuration,
// the registry key and Start-menu group named after the scenario, and the
// walks through the menu's dialogs that several scenarios share.

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/build_paths.h"

namespace e2e {

inline constexpr size_t kChunkSize = 1048576;
inline const std::wstring kGameTitle = L"デモアドベンチャー";
inline const std::wstring kGameFolder = L"Game";

// The per-user key and the Start-menu group a scenario installs under, each
// two levels deep below a first level of the scenario's own: "<name>ソ\Title"
// and "<name>ソ\ゲーム" (ソ ends in the byte 0x5C, just before the real
// separator). The first level is removed before and after the scenario,
// since every run of a preset shares one Wine prefix.
class ScenarioNames {
 public:
  explicit ScenarioNames(const std::string& scenario);
  ~ScenarioNames();
  ScenarioNames(const ScenarioNames&) = delete;
  ScenarioNames& operator=(const ScenarioNames&) = delete;

  std::string registryKey() const { return first_ + "\\Title"; }  // UTF-8, as the configuration takes it
  std::string menuGroup() const { return first_ + "\\ゲーム"; }
  std::wstring keyPath() const { return L"software\\" + widen(registryKey()); }
  std::wstring firstLevelKeyPath() const { return L"software\\" + widen(first_); }
  // The entry of the list of installed apps: "\\" in the key's name is "_".
  std::wstring uninstallEntryPath() const {
    return L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + widen(first_) + L"_Title";
  }
  std::filesystem::path groupFolder() const;
  std::filesystem::path firstLevelGroupFolder() const;

 private:
  void removeTraces() const;
  std::string first_;
};

// The user's Start-menu programs folder, where the program reads it.
std::filesystem::path programsFolder();

// Files below a folder by relative name, with their bytes.
using FileTree = std::map<std::filesystem::path, std::string>;
FileTree readTree(const std::filesystem::path& folder);
// The folders below a folder (not itself), by relative name.
std::set<std::filesystem::path> foldersBelow(const std::filesystem::path& folder);
void writeTree(const std::filesystem::path& folder, const FileTree& files);
// Expects exactly these files below the folder, with these bytes; names
// what is missing, extra or different (not the bytes, which may be many).
void expectFiles(const std::filesystem::path& folder, const FileTree& expected);

// The game folder right after an installation: exactly these files, and the
// install record, whole.
void expectInstalled(const std::filesystem::path& installPath, const FileTree& expected);

// The save data an earlier installation left in the game folder: SYSTEM.DAT
// and the preserved entries, with content that differs from the disc's.
FileTree earlierSaveData();

// The disc: StandardFiles of 0, ChunkSize + 1 and 3 x ChunkSize bytes among
// others; the extra entries "data" (nested folders, a dot file and a dot
// folder) and "ソフト資料" (ソ in a folder name), and "movie", configured but
// present only once addLargeFile put something there; SYSTEM.DAT; the
// preserved entries "config.ini" and "save" (a folder).
class GameDisc {
 public:
  explicit GameDisc(const ScenarioNames& names);
  const Json& config() const { return config_; }
  Medium& medium() { return medium_; }
  Process start() const { return medium_.start(); }
  // A file of `size` zero bytes, made without writing them.
  void addLargeFile(const std::filesystem::path& relative, uint64_t size);
  // What an installation into an empty game folder leaves there: every file
  // of the disc but install.exe and the entries whose names begin with ".".
  const FileTree& installedFiles() const { return installed_; }
  // What an installation into a game folder that holds these saves leaves
  // there: the saves as they were, everything else from the disc.
  FileTree installedOver(const FileTree& saves) const;

 private:
  Json config_;
  Medium medium_;
  FileTree installed_;
};

// A disk of `bytes` (a tmpfs) as drive Q: of the prefix, through a link in
// its dosdevices folder; unmounted and unlinked when the object ends.
// Mounting needs the superuser; `reason` says why there is no disk.
class SmallDisk {
 public:
  explicit SmallDisk(size_t bytes);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  const std::string& reason() const { return reason_; }
  std::filesystem::path root() const { return L"Q:\\"; }
  // What the disk holds, as Linux lists it (an empty drive root has no
  // "." or ".." to list on the Windows side).
  std::string contents() const;

 private:
  TempFolder folder_;  // the mount point; removed after the unmount
  std::string mountPoint_;
  std::string link_;
  std::string reason_;
};

// --- Walks through the menu ------------------------------------------------------
// The menu window of the disc's configuration.
Window waitForMenu(const Process& menu);
// Waits until the menu is shown again in the given state: the install
// button's caption and the launch button's state; the menu is active.
void expectMenuState(const Window& menu, bool installed);
// Clicks "終了" and expects the program to end with 0.
void closeMenu(Process& program, const Window& menu);
// Clicks "インストール" and returns the destination dialog.
Window openDestinationDialog(const Process& program, const Window& menu);
// Clicks "インストール開始" and answers the confirmation with OK; checks its
// text for `destination`. Saves a screenshot of the confirmation under
// `screenshotName` when one is given.
void startInstallation(const Process& program, const Window& dialog, const std::wstring& destination,
                       const std::string& screenshotName = "");
// Waits for "インストール完了しました" and answers it.
void acknowledgeInstallation(const Process& program);
// The whole installation from the menu into `destination` typed into the
// field; returns once the menu shows the installed state.
void installThroughMenu(const Process& program, const Window& menu, const std::filesystem::path& destination);
// Types `destination`, starts and confirms; expects `message` under "確認"
// and the destination dialog shown again.
void expectToldAfterConfirming(const Process& program, const Window& dialog, const std::wstring& destination,
                               const std::wstring& message);

// --- Runs as scripts make them ---------------------------------------------------
// Runs a program as a script would: started, waited for; whether a window
// of it was ever seen goes to `windowSeen`.
DWORD runAsAScript(const std::filesystem::path& program, const std::wstring& arguments,
                   const std::filesystem::path& currentDirectory, bool& windowSeen);
// The log's lines, UTF-8 with its byte-order mark taken off.
std::vector<std::string> logLines(const std::filesystem::path& file);
bool hasLine(const std::vector<std::string>& lines, const std::string& line);

enum class RemovalMode { KeepSaveData, DeleteAll };
// Opens the uninstall dialog from the menu, chooses the mode, starts and
// answers the question with OK; returns the message box that follows (the
// completion, or what the program tells instead) and the dialog. Saves a
// screenshot of the dialog under `screenshotName` when one is given.
struct UninstallEnd {
  Window dialog;
  MessageBoxView told;
};
UninstallEnd confirmUninstall(const Process& program, const Window& menu, RemovalMode mode,
                              const std::string& screenshotName = "");
// The uninstallation from the menu in that mode, both message boxes
// answered; returns once the menu shows the not-installed state. Saves a
// screenshot of the dialog under `screenshotName` when one is given.
void uninstallThroughMenu(const Process& program, const Window& menu, RemovalMode mode,
                          const std::string& screenshotName = "");

}  // namespace e2e
