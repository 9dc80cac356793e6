#pragma once
// The Windows services the installer relies on, behind one narrow interface.
// Every string crossing this interface is Shift-JIS bytes; relative paths
// resolve against the current directory. A name or value coming back from
// the system is handed over only in its exact Shift-JIS form: where it has
// none (a character outside code page 932), the call says so instead. Two
// backends implement it: `win32` (the real system) and `memory` (an
// in-memory Windows for tests).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/case_folding.h"
#include "core/sha256.h"

namespace platform {

inline constexpr uint32_t kInvalidAttributes = 0xFFFFFFFF;
inline constexpr uint32_t kAttributeReadOnly = 0x01;
inline constexpr uint32_t kAttributeDirectory = 0x10;
inline constexpr uint32_t kAttributeReparsePoint = 0x400;

// True for the attributes of something that exists and is a folder;
// kInvalidAttributes, the answer for a missing name, has every bit set.
inline bool isFolderAttributes(uint32_t attributes) {
  return attributes != kInvalidAttributes && (attributes & kAttributeDirectory);
}

inline constexpr uint32_t kCreateNewConsole = 0x10;

inline constexpr uint32_t kMbOk = 0x0;
inline constexpr uint32_t kMbOkCancel = 0x1;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

inline constexpr int kSwShowNormal = 1;

// Longest string value a registry read copies, terminating NUL included.
inline constexpr size_t kRegistryStringLimit = 1024;

enum class Hive { CurrentUser, LocalMachine };

// Why a file or folder could not be made, opened or removed, as far as the
// program tells the player.
enum class FileError {
  None,
  Missing,       // the file, or a folder on the way, does not exist
  Exists,        // a folder to be made is there already
  AccessDenied,  // no right to write there, or a read-only medium
  DiskFull,
  InUse,         // another program holds it
  Other,
};
// The cause in a few words, for the log.
inline const char* fileErrorText(FileError error) {
  switch (error) {
    case FileError::None: return "no error";
    case FileError::Missing: return "missing";
    case FileError::Exists: return "exists already";
    case FileError::AccessDenied: return "access denied";
    case FileError::DiskFull: return "disk full";
    case FileError::InUse: return "in use by another program";
    case FileError::Other: break;
  }
  return "refused by the system";
}
enum class OpenMode { Read, Write };  // "rb" and "wb"

// Why a program or file was not started.
enum class StartFailure {
  None,
  Other,         // missing, or the system refused it
  OnlyElevated,  // it could only have run with this program's elevated rights
};

// What names one file or folder whatever path leads to it (a short 8.3
// name, a substituted drive, a junction on the way, another hard link): the
// volume's serial number and the file's number on that volume.
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t file = 0;
  bool operator==(const FileIdentity&) const = default;
};
enum class SeekOrigin { Begin, End };

// An open binary stream; destroying it closes the file.
class Stream {
 public:
  Stream() = default;
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;
  virtual ~Stream() = default;

  // Reads up to `size` bytes and returns the count obtained. A short count
  // means the end of the file or a read error; readError() tells them apart.
  virtual size_t read(void* buffer, size_t size) = 0;
  // True once a read has failed for a reason other than the end of the file.
  virtual bool readError() const = 0;
  // Writes `size` bytes and returns the count accepted: fewer when the
  // medium is full or the write fails. A short tail may be held in a buffer
  // and reported as accepted; if the disk then refuses it, only flush() or
  // close() tells.
  virtual size_t write(const void* data, size_t size) = 0;
  // Writes out what is buffered; false when the disk took less.
  virtual bool flush() = 0;
  // Writes out what is buffered and has the system put the file's bytes on
  // the disk itself, so that they outlive a crash of the machine; false when
  // either failed.
  virtual bool commit() = 0;
  // Writes out what is buffered and closes the file; false when either
  // failed. Nothing else may be called afterwards. Destroying a stream that
  // is still open closes it and drops the result.
  virtual bool close() = 0;
  virtual bool seek(int64_t offset, SeekOrigin origin) = 0;
  // The position from the start of the file; -1 when it cannot be told.
  virtual int64_t tell() = 0;
};

// An open registry key; destroying it closes the key.
class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  virtual ~RegistryKey() = default;

  // A string value whose data, terminating NUL included, fits `limit`
  // bytes; nullopt when the value is missing, not a string, too long or
  // without an exact Shift-JIS form.
  virtual std::optional<std::string> queryString(const std::string& name,
                                                 size_t limit = kRegistryStringLimit) = 0;
  // Stores a REG_SZ value; its data size counts the terminating NUL.
  virtual bool setString(const std::string& name, const std::string& value) = 0;
  // Stores a REG_DWORD value.
  virtual bool setDword(const std::string& name, uint32_t value) = 0;
  // Deletes a value of a key opened for writing; false when it is missing
  // or could not be deleted.
  virtual bool deleteValue(const std::string& name) = 0;
  // The number of direct subkeys; nullopt when it cannot be read.
  virtual std::optional<uint32_t> subkeyCount() = 0;
  // The number of values of any type; nullopt when it cannot be read.
  virtual std::optional<uint32_t> valueCount() = 0;
};

struct ShellLink {
  std::string target;
  std::string arguments;
  std::string workingDirectory;
  int showCommand = kSwShowNormal;
  bool operator==(const ShellLink&) const = default;
};

// A folder's listing: the bare names in the order the file system delivers
// them, and how many names were left out because they have no exact
// Shift-JIS form (no path made from them could name the same entry).
// `failed` marks a listing that broke off with an error (a scratched disc):
// the names before the error are there, the rest are not.
struct FolderListing {
  FolderListing(std::vector<std::string> listed = {}, int leftOut = 0)
      : names(std::move(listed)), unrepresentable(leftOut) {}
  std::vector<std::string> names;
  int unrepresentable = 0;
  bool failed = false;
  bool operator==(const FolderListing&) const = default;
};

// A file or folder opened for removal. It is opened without following a
// reparse point, so that what it reports and what it removes is the entry
// itself (a junction is a link, never its target), and it is held so that
// no other program can rename or replace it while it is open. Names below
// it are taken literally, not by the usual path rules: "aux.txt" is a file
// there and "save." keeps its dot.
class RemovalEntry {
 public:
  RemovalEntry() = default;
  RemovalEntry(const RemovalEntry&) = delete;
  RemovalEntry& operator=(const RemovalEntry&) = delete;
  virtual ~RemovalEntry() = default;

  // The attributes of the entry itself, read on the open entry.
  virtual uint32_t attributes() = 0;
  // The members of the folder, without "." and ".."; nullopt for a file.
  virtual std::optional<FolderListing> list() = 0;
  // Opens a member of this folder by a name its listing gave; null, with
  // the cause in `error` when asked, when it cannot be opened.
  virtual std::unique_ptr<RemovalEntry> openMember(const std::string& name, FileError* error = nullptr) = 0;
  // Deletes the file, or removes the folder when it is empty (a link: the
  // link alone), and closes the entry. False when the entry is still there
  // afterwards; a read-only file is not made writable and stays.
  virtual bool remove() = 0;
  // Gives the file the absolute path `to`, replacing a file of that name,
  // and closes the entry; false when it could not. A running program's file
  // may be moved (never deleted) this way within one drive.
  virtual bool moveTo(const std::string& to) = 0;
  // The identity of the entry itself, read on the open entry.
  virtual FileIdentity identity() = 0;
  // The full path ("X:\...") the system gives the open entry now, every
  // link on the way to it resolved; empty when it cannot be told or has no
  // Shift-JIS form.
  virtual std::string finalPath() = 0;
};

// The current directory as the system holds it, whatever its name; putting
// it back when this object is destroyed.
class SavedCurrentDirectory {
 public:
  SavedCurrentDirectory() = default;
  SavedCurrentDirectory(const SavedCurrentDirectory&) = delete;
  SavedCurrentDirectory& operator=(const SavedCurrentDirectory&) = delete;
  virtual ~SavedCurrentDirectory() = default;
};

struct LocalDate {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
};

// What a drive holds free, and the size of its allocation unit (a file takes
// whole clusters).
struct VolumeSpace {
  uint64_t freeBytes = 0;     // as much as this user may still write
  uint64_t clusterBytes = 0;
};

struct ScreenSize {
  int width = 0;
  int height = 0;
};

// A rectangle on the screen in pixels; right and bottom lie just outside.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const ScreenRect&) const = default;
};

// A display monitor: its whole area, and its work area (the area less the
// taskbar and docked bars), where windows belong.
struct Monitor {
  ScreenRect area;
  ScreenRect workArea;
};

class Platform : public CaseFolding {
 public:
  Platform() = default;
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;
  virtual ~Platform() = default;

  // --- Registry -----------------------------------------------------------
  // Opens an existing key for reading; null when it cannot be opened.
  virtual std::unique_ptr<RegistryKey> openKey(Hive hive, const std::string& path) = 0;
  // Creates the key (and missing parents) or opens it when it exists, for
  // writing; null on failure.
  virtual std::unique_ptr<RegistryKey> createKey(Hive hive, const std::string& path) = 0;
  // Deletes a key with its values. Fails, changing nothing, when the key is
  // missing or still has subkeys.
  virtual bool deleteKey(Hive hive, const std::string& path) = 0;
  // Has the system write every change of the hive to the disk before it
  // returns, so that the changes outlive a crash of the machine (the
  // system otherwise writes them some seconds later); false when it could
  // not.
  virtual bool flushRegistry(Hive hive) = 0;

  // --- Folders and files --------------------------------------------------
  // Fails without harm when the folder exists or its parent is missing; the
  // cause goes to `error` when asked.
  virtual bool createDirectory(const std::string& path, FileError* error = nullptr) = 0;
  // The same for the outermost folder of a game folder: when this program
  // runs elevated, the folder gets an access list of its own that nothing
  // above it changes (SYSTEM and Administrators full control, the player
  // who runs this program modify, Users read and execute), which all it
  // will hold inherits; so no other user, and no unelevated program, can
  // put a program or DLL there that an administrator runs later. Otherwise
  // it inherits its parent's, as createDirectory's does.
  virtual bool createProtectedDirectory(const std::string& path, FileError* error = nullptr) = 0;
  // Creates the folder `relative` ("\" or "/" separate) below the existing
  // folder `root`, each folder on the way opened from the one above without
  // following a reparse point: a folder on the way that is a junction or
  // symbolic link, or no longer the one it was, fails with FileError::Other.
  virtual bool createDirectoryBelow(const std::string& root, const std::string& relative,
                                    FileError* error = nullptr) = 0;
  // Fails, changing nothing, when the folder is missing or not empty. On a
  // junction or symbolic link it removes the link and never its target.
  virtual bool removeDirectory(const std::string& path) = 0;
  // Fails, changing nothing, for a missing path (FileError::Missing), a
  // folder or a read-only file (FileError::AccessDenied) or a file another
  // program holds (FileError::InUse); the cause goes to `error` when asked.
  virtual bool deleteFile(const std::string& path, FileError* error = nullptr) = 0;
  // Gives the file `from` the name `to`, replacing a file of that name; the
  // change is on the disk when it returns. Fails, with the cause in `error`
  // when asked, for folders (FileError::AccessDenied) and as deleteFile
  // fails for `from` or for a file that stands at `to`. A running program's
  // image may be moved this way (never deleted), within one drive.
  virtual bool moveFile(const std::string& from, const std::string& to, FileError* error = nullptr) = 0;
  // The attribute bits; kInvalidAttributes (all bits, the folder bit
  // included) when the path is missing.
  virtual uint32_t fileAttributes(const std::string& path) = 0;
  // The bare names matching "<folder>\*.*" in the order the file system
  // delivers them, "." and ".." included where the folder has them; nullopt
  // when there is no such folder (missing, or a file). Any other error, at
  // the start or part-way, gives a listing marked `failed`.
  virtual std::optional<FolderListing> listFolder(const std::string& folder) = 0;
  // Opens the file or folder at an absolute path ("X:\a\b", no "." or ".."
  // part) for removal, the last name not followed if it is a reparse point;
  // null, with the cause in `error` when asked, when it cannot be opened
  // (missing, held by another program, no right to remove it).
  virtual std::unique_ptr<RemovalEntry> openForRemoval(const std::string& path, FileError* error = nullptr) = 0;

  // --- Current directory --------------------------------------------------
  // Empty when it cannot be told or has no exact Shift-JIS form.
  virtual std::string currentDirectory() = 0;
  // The folder a drive-relative path "X:name" continues: the current
  // directory when it is on drive X, otherwise the one the system keeps for
  // X (its root when it keeps none). Empty when it cannot be told or has no
  // exact Shift-JIS form.
  virtual std::string currentFolderOfDrive(char drive) = 0;
  virtual bool setCurrentDirectory(const std::string& path) = 0;
  // Restores the current directory exactly, even one whose name the
  // program could not hold, when the returned object is destroyed.
  virtual std::unique_ptr<SavedCurrentDirectory> saveCurrentDirectory() = 0;
  // The free space of the drive that holds the existing folder `folder`;
  // nullopt when the system cannot tell.
  virtual std::optional<VolumeSpace> volumeSpace(const std::string& folder) = 0;

  // --- Byte streams -------------------------------------------------------
  // Read opens an existing file; Write creates or truncates. Null, with the
  // cause in `error` when asked, when the file cannot be opened.
  virtual std::unique_ptr<Stream> openStream(const std::string& path, OpenMode mode, FileError* error = nullptr) = 0;
  // Opens the file `relative` below the folder `root` for writing, as the
  // copy writes what it installs: the folders on the way are reached as
  // createDirectoryBelow reaches them, and the file itself is opened
  // without following a reparse point. A file that stands there already is
  // truncated only when the open file shows a regular file with no other
  // name (no hard link, no symbolic link): otherwise FileError::Other, and
  // FileError::AccessDenied for a read-only one. With `createOnly`, a file
  // that stands there already fails with FileError::Exists.
  virtual std::unique_ptr<Stream> openDestinationFile(const std::string& root, const std::string& relative,
                                                      bool createOnly, FileError* error = nullptr) = 0;
  // The identity of the file or folder at `path`, links followed; nullopt
  // when it cannot be opened.
  virtual std::optional<FileIdentity> fileIdentity(const std::string& path) = 0;

  // --- Digests ------------------------------------------------------------
  // Starts a SHA-256 digest by the system's own cryptography (Windows:
  // bcrypt.dll from the system folder); null when the system has none.
  virtual std::unique_ptr<Sha256> startSha256() = 0;

  // --- Shell links --------------------------------------------------------
  // Writes a .lnk file; false, with the cause in `error` when asked, when any
  // step fails (FileError::Other for a path longer than the shell takes).
  virtual bool writeShellLink(const std::string& linkPath, const ShellLink& link, FileError* error = nullptr) = 0;
  // Reads a .lnk file back; nullopt when it cannot be loaded.
  virtual std::optional<ShellLink> readShellLink(const std::string& linkPath) = 0;

  // --- Processes ----------------------------------------------------------
  // Both start what they start with the player's own rights: unelevated
  // even when this program runs elevated. When no way to start it so
  // exists, nothing starts and `failure` says StartFailure::OnlyElevated.
  // Starts a program without waiting for it; false when it did not start.
  virtual bool createProcess(const std::string& application, const std::string& commandLine,
                             uint32_t creationFlags, const std::string& currentDirectory,
                             StartFailure* failure = nullptr) = 0;
  // Opens a file with its associated application (verb "open", shown
  // normally, no owner); false when that failed.
  virtual bool shellOpen(const std::string& file, StartFailure* failure = nullptr) = 0;

  // --- User interface -----------------------------------------------------
  // Shows a message box owned by `owner` (a window handle, 0 for none) with
  // kMbOk or kMbOkCancel; returns kIdOk or kIdCancel.
  virtual int messageBox(uintptr_t owner, const std::string& text, const std::string& caption,
                         uint32_t type) = 0;
  // The primary screen's size in pixels.
  virtual ScreenSize screenSize() = 0;
  // The display monitors, the primary first; never empty.
  virtual std::vector<Monitor> monitors() = 0;
  // Whether the user has high contrast on: what the toolkit draws itself
  // then takes the system colours that the user chose.
  virtual bool highContrast() = 0;
  // Today in the user's time zone.
  virtual LocalDate localDate() = 0;
  // Asks for the finest system timer resolution while a copy runs; every
  // begin is matched by one end.
  virtual void beginHighTimerResolution() = 0;
  virtual void endHighTimerResolution() = 0;
  // Asks the system not to go to sleep while `awake` holds (the copy and
  // its rollback); false lets it sleep again. The request belongs to this
  // thread and ends with the process.
  virtual void keepSystemAwake(bool awake) = 0;

  // --- Text ---------------------------------------------------------------
  // Equality ignoring letter case under the user's locale.
  virtual bool equalsIgnoreCase(const std::string& a, const std::string& b) = 0;
  // A key with caseFoldKey(a) == caseFoldKey(b) exactly when
  // equalsIgnoreCase(a, b); lets callers index strings by that equality.
  std::string caseFoldKey(const std::string& text) override = 0;
};

}  // namespace platform
