#pragma once
// The platform interface on the real Windows. Shift-JIS text is converted
// with code page 932 and the wide calls are used, so the program behaves as
// on a Japanese system whatever the system's own code page is. Its methods
// are defined in one source per service (registry.cpp, files.cpp, ...).
//
// Shell links: a link file whose path does not fit 260 UTF-16 units,
// terminator included, is refused (writeShellLink returns false) rather than
// cut short; readShellLink fails for such a path likewise.
// Processes: an empty application or current directory is passed as none,
// so the program is taken from the command line and the directory inherited.
// When this process runs elevated above the player (an administrator under
// UAC), an existing program or file is started through the desktop's shell
// instead, with the shell's unelevated rights: the program then sees its
// path quoted in its command line, the creation flags are not applied (no
// new console), and a relative path or an empty directory means the
// current directory's. Where no desktop shell answers, it starts with a
// token of normal-user rights made from this process's own, and never
// elevated: where no such token can be made, nothing starts.
// Streams: opening a read-only file for writing fails, as on Windows, even
// where the file system would let the caller write (Wine run as superuser).
// Removal: the first entry is opened by its "\\?\" path and every member
// from its held folder (NtCreateFile), so that no Win32 path rule (dropped
// dots and spaces, device names) changes the name and no re-pointed link
// above leads elsewhere, and deleted through its handle. The copy's
// destination files and folders are reached the same way.

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace platform {

class Win32Platform final : public Platform {
 public:
  // The ways an elevated process starts a program or opens a file with the
  // player's rights, tried in this order; the tests leave one out.
  struct UnelevatedStarts {
    bool desktopShell = true;
    bool normalUserToken = true;
  };
  Win32Platform() = default;
  explicit Win32Platform(UnelevatedStarts starts) : starts_(starts) {}

  std::unique_ptr<RegistryKey> openKey(Hive hive, const std::string& path) override;
  std::unique_ptr<RegistryKey> createKey(Hive hive, const std::string& path) override;
  bool deleteKey(Hive hive, const std::string& path) override;
  bool flushRegistry(Hive hive) override;

  bool createDirectory(const std::string& path, FileError* error = nullptr) override;
  bool createProtectedDirectory(const std::string& path, FileError* error = nullptr) override;
  bool createDirectoryBelow(const std::string& root, const std::string& relative, FileError* error = nullptr) override;
  bool removeDirectory(const std::string& path) override;
  bool deleteFile(const std::string& path, FileError* error = nullptr) override;
  bool moveFile(const std::string& from, const std::string& to, FileError* error = nullptr) override;
  uint32_t fileAttributes(const std::string& path) override;
  std::optional<FolderListing> listFolder(const std::string& folder) override;
  std::unique_ptr<RemovalEntry> openForRemoval(const std::string& path, FileError* error = nullptr) override;

  std::string currentDirectory() override;
  std::string currentFolderOfDrive(char drive) override;
  bool setCurrentDirectory(const std::string& path) override;
  std::unique_ptr<SavedCurrentDirectory> saveCurrentDirectory() override;
  std::optional<VolumeSpace> volumeSpace(const std::string& folder) override;

  std::unique_ptr<Stream> openStream(const std::string& path, OpenMode mode, FileError* error = nullptr) override;
  std::unique_ptr<Stream> openDestinationFile(const std::string& root, const std::string& relative, bool createOnly,
                                              FileError* error = nullptr) override;
  std::optional<FileIdentity> fileIdentity(const std::string& path) override;

  std::unique_ptr<Sha256> startSha256() override;

  bool writeShellLink(const std::string& linkPath, const ShellLink& link, FileError* error = nullptr) override;
  std::optional<ShellLink> readShellLink(const std::string& linkPath) override;

  bool createProcess(const std::string& application, const std::string& commandLine, uint32_t creationFlags,
                     const std::string& currentDirectory, StartFailure* failure = nullptr) override;
  bool shellOpen(const std::string& file, StartFailure* failure = nullptr) override;

  int messageBox(uintptr_t owner, const std::string& text, const std::string& caption, uint32_t type) override;
  ScreenSize screenSize() override;
  std::vector<Monitor> monitors() override;
  bool highContrast() override;
  LocalDate localDate() override;
  void beginHighTimerResolution() override;
  void endHighTimerResolution() override;
  void keepSystemAwake(bool awake) override;

  bool equalsIgnoreCase(const std::string& a, const std::string& b) override;
  std::string caseFoldKey(const std::string& text) override;

 private:
  // A token of normal-user rights made from this process's; invalid when
  // none can be made.
  win32::UniqueKernelHandle unelevatedToken() const;

  UnelevatedStarts starts_{};
  // bcrypt.dll's SHA-256, set up at the first digest and kept.
  std::unique_ptr<Sha256Provider> sha256_;
};

inline std::unique_ptr<Platform> makeWin32Platform() { return std::make_unique<Win32Platform>(); }

}  // namespace platform
