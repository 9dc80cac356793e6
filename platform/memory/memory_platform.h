#pragma once
// An in-memory Windows with Windows semantics, for native tests and the unit
// suite under Wine. Beyond the platform interface it offers the switches a
// test needs: more drives, junctions, listing orders, faults keyed by
// operation, path and which call, message-box answers, and records of what
// was started, opened, shown and linked.
//
// Streams it hands out stay valid after the platform is destroyed (they
// share the file and the fault switches).
//
// Every call of the interface is a call of the running process
// (endProcessAfter), text comparisons, the screen and the date aside: those
// change nothing and tell nothing of the machine's state.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/memory/disk_faults.h"
#include "platform/memory/file_tree.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/process_lifetime.h"
#include "platform/memory/snapshot.h"
#include "platform/platform.h"

namespace platform {

enum class ListingOrder {
  Creation,  // members in the order they were created (the default)
  Reverse,   // the newest first
  Sorted,    // by name, ignoring case, as NTFS delivers them
};

// A fault switch hits every matching call when given this as `nth`.
inline constexpr int kEveryCall = 0;

struct MessageBoxRecord {
  uintptr_t owner = 0;
  std::string text;
  std::string caption;
  uint32_t type = kMbOk;
  int answer = 0;  // 0 while the hook runs
};

struct ProcessRecord {
  std::string application;
  std::string commandLine;
  uint32_t creationFlags = 0;
  std::string currentDirectory;
  bool started = false;
};

struct ShellOpenRecord {
  std::string file;
  bool opened = false;
};

struct ShellLinkRecord {
  std::string path;
  ShellLink link;
};

class MemoryPlatform : public Platform {
 public:
  // Drive C: with nothing on it but its root, the current directory C:\,
  // HKCU\Software and HKLM\SOFTWARE, a 1024 x 768 screen.
  MemoryPlatform();
  ~MemoryPlatform() override;

  // --- Platform -----------------------------------------------------------
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
  ScreenSize screenSize() override { return {monitors_[0].area.width(), monitors_[0].area.height()}; }
  std::vector<Monitor> monitors() override { return monitors_; }
  bool highContrast() override { return highContrast_; }
  LocalDate localDate() override { return date_; }
  void beginHighTimerResolution() override;
  void endHighTimerResolution() override;
  void keepSystemAwake(bool awake) override;
  bool equalsIgnoreCase(const std::string& a, const std::string& b) override;
  std::string caseFoldKey(const std::string& text) override;

  // --- Drives, junctions, listing order -----------------------------------
  // False when the letter is not a letter or the drive exists.
  bool addDrive(char letter);
  // A junction at `link` (whose parent folder must exist and which must not)
  // standing for the folder `target`, which may be missing for now.
  bool addJunction(const std::string& link, const std::string& target);
  // The junction at `link` stands for `target` from now on: another user
  // re-pointing a link between a check and what follows it.
  bool repointJunction(const std::string& link, const std::string& target);
  // Another name `link` for the file `existing` (a hard link): both names
  // show the same bytes.
  bool addHardLink(const std::string& existing, const std::string& link);

  // --- Rights ---------------------------------------------------------------
  // Whether this program runs elevated (an administrator's, under UAC); not
  // unless set. Folders made by createProtectedDirectory while it does get
  // an access list of their own, which protectedAccess tells.
  void setElevated(bool elevated) { elevated_ = elevated; }
  bool protectedAccess(const std::string& path) const;
  // createProcess and shellOpen start nothing and say
  // StartFailure::OnlyElevated: an elevated menu that found no way to start
  // a program with the player's rights.
  void refuseStartsAsThePlayer() { refuseStartsAsThePlayer_ = true; }
  void setListingOrder(ListingOrder order);
  // Lists `folder` with the named members first, in this order, and the rest
  // after them in creation order. Kept by the folder's path, so it holds for
  // a folder made again later.
  void setListingOrder(const std::string& folder, std::vector<std::string> names);

  // --- Faults -------------------------------------------------------------
  // Files are named by path (resolved now, through junctions); an empty path
  // stands for any file. `nth` counts from 1 the matching calls made after
  // the switch is set; kEveryCall hits all of them.
  //
  // The total bytes the disk still accepts from stream writes; a write
  // beyond it accepts what is left. nullopt: no limit (the default).
  void setWriteCapacity(std::optional<uint64_t> bytes);
  std::optional<uint64_t> writeCapacity() const { return disk_->writeCapacity(); }
  // The n-th time bytes of the file reach the disk, it accepts only
  // `accepted` of them. Streams hold short writes in a buffer (as the C
  // runtime does): their bytes reach the disk at a flush or close, and a
  // write larger than the buffer reaches it at once.
  void shortWrite(const std::string& path, int nth, size_t accepted = 0);
  // The n-th open in `mode` of the file that would otherwise succeed fails,
  // for `cause`.
  void failOpen(const std::string& path, OpenMode mode, int nth = kEveryCall, FileError cause = FileError::Other);
  // Reads of the file stop at `offset`: the read that crosses it returns the
  // bytes before it and readError() turns true.
  void failReadAfter(const std::string& path, uint64_t offset);
  // Listings of `folder` deliver the first `names` members (without "."
  // and "..") and then break off with an error, as on a scratched disc.
  void failListing(const std::string& folder, size_t names = 0);
  // Creating a file or folder directly in `folder` is refused as for a user
  // without write access there.
  void denyWrites(const std::string& folder);
  // Runs `action` once, right after `folder` has been listed: a stand-in for
  // another program that changes the folder between the listing and what
  // the lister does next.
  void onceAfterListing(const std::string& folder, std::function<void()> action);
  // No SHA-256 digest starts, as on a system without its cryptography.
  void failDigests() { digestsFail_ = true; }
  // Removes every fault switch, the write capacity, the refused folders,
  // the actions after listings and the failing digests.
  void clearFaults();
  // Counts since construction, for tests that visit every failure point:
  // opens that succeeded, and the times bytes reached the disk.
  int openCount(OpenMode mode) const { return disk_->openCount(mode); }
  int writeCount() const { return disk_->writeCount(); }
  int openStreamCount() const { return disk_->openStreams; }

  // --- Records and answers ------------------------------------------------
  // Answers of kMbOkCancel boxes, first in first out; kIdOk when none is
  // left. A kMbOk box always answers kIdOk and takes nothing from the queue.
  void queueMessageBoxAnswer(int answer) { messageBoxAnswers_.push_back(answer); }
  // When set, decides every answer (a kMbOk box still answers kIdOk); it
  // sees the box before the box is answered.
  void setMessageBoxHook(std::function<int(const MessageBoxRecord&)> hook) { messageBoxHook_ = std::move(hook); }
  const std::vector<MessageBoxRecord>& messageBoxes() const { return messageBoxes_; }
  const std::vector<ProcessRecord>& processes() const { return processes_; }
  const std::vector<ShellOpenRecord>& shellOpens() const { return shellOpens_; }
  // The links written successfully, in order.
  const std::vector<ShellLinkRecord>& shellLinks() const { return shellLinks_; }

  // One monitor of that size, its work area the whole of it.
  void setScreenSize(ScreenSize size) {
    monitors_ = {{{0, 0, size.width, size.height}, {0, 0, size.width, size.height}}};
  }
  // The primary first; not empty.
  void setMonitors(std::vector<Monitor> monitors) { monitors_ = std::move(monitors); }
  void setHighContrast(bool on) { highContrast_ = on; }
  void setLocalDate(LocalDate date) { date_ = date; }
  // What volumeSpace tells of a drive; nothing (it cannot tell) unless set.
  void setVolumeSpace(char drive, VolumeSpace space);
  bool highTimerResolutionActive() const { return timerResolutionBalance_ > 0; }
  // Begins minus ends; anything but 0 after a copy is a leak or a double end.
  int highTimerResolutionBalance() const { return timerResolutionBalance_; }
  // Whether the process asks the system to stay awake (keepSystemAwake).
  bool keptAwake() const { return keptAwake_; }

  // --- The end of the process ----------------------------------------------
  // Ends the process without warning (End task, a crash) once `calls` more
  // platform calls have run: the next one throws memory::ProcessEnded, and
  // every call after it, from the destructors that unwind, changes nothing
  // and fails. A stream's buffer is lost, as the C runtime's is when the
  // process is ended; what reached the disk stays, whether committed or not.
  void endProcessAfter(long calls) { life_->endAfter(calls); }
  // Another process on the same machine, after the last one ended: files,
  // folders and the registry as they are; the raised timer resolution and
  // the request to stay awake, which the system ends with a process, gone.
  void startAnotherProcess();
  // The calls of the running process since it started, each named with its
  // subject ("createDirectory D:\Games"), for a test to count and name
  // them; kept only once asked for, for this process.
  void recordProcessCalls() { life_->record(true); }
  const std::vector<std::string>& processCalls() const { return life_->calls(); }
  // Whether the file's bytes are on the disk itself: written by no stream
  // since one last committed them (Stream::commit).
  bool durable(const std::string& path) const;

  // --- Test conveniences (no faults apply) --------------------------------
  // Creates or replaces a file; false when its folder is missing or it is a
  // folder or read-only.
  bool writeFile(const std::string& path, const std::string& bytes);
  std::optional<std::string> readFile(const std::string& path) const;
  bool exists(const std::string& path) const;
  // Creates the folder and every missing folder above it.
  bool createDirectories(const std::string& path);
  bool makeReadOnly(const std::string& path);
  // Creates a file in `folder` under exactly `name`, as other tools can where
  // the usual path rules would change it ("save.", "a ", "aux.txt").
  bool addFileNamed(const std::string& folder, const std::string& name, const std::string& bytes);
  bool setRegistryString(Hive hive, const std::string& key, const std::string& name, const std::string& value);
  // Names without a Shift-JIS form, as "Élan" or "x¥..¥..¥victim" are on
  // Windows. The file or folder at `path` (made under a stand-in name that
  // only tests use) is left out of listings and counted there, and a current
  // directory inside it cannot be told (it can still be saved and restored).
  // The value set before (with stand-in data) can no longer be read.
  bool markUnrepresentable(const std::string& path);
  bool markUnrepresentable(Hive hive, const std::string& key, const std::string& name);
  std::optional<std::string> registryString(Hive hive, const std::string& key, const std::string& name) const;
  std::optional<uint32_t> registryDword(Hive hive, const std::string& key, const std::string& name) const;
  bool keyExists(Hive hive, const std::string& key) const;
  // The machine values the launcher reads (ProgramFilesDir C:\Program Files,
  // BootDir C:\) and the user's Start-menu Programs folder
  // C:\Users\player\Start Menu\Programs, registered and created, as is
  // C:\Program Files.
  void installTypicalWindows();
  Snapshot snapshot() const;

 private:
  struct Found : memory::FileTree::Location {
    bool folderOnly = false;  // written with a trailing separator
  };

  std::optional<memory::ResolvedPath> resolve(const std::string& path) const;
  // The folder and node a path leads to, resolved against the current
  // directory; nullopt when the path is malformed or its folder is missing.
  std::optional<Found> locate(const std::string& path) const;
  // The file at `path`, or null (a folder, missing, or "name\").
  memory::Node* findFile(const std::string& path) const;
  // The folder `path` names (through junctions), or null.
  memory::Node* findFolder(const std::string& path) const;
  // The name a fault switch or listing order keeps for a path: its full
  // path through junctions, letter case folded.
  std::string pathKey(const std::string& path) const;
  static std::string pathKey(const memory::FileTree::Location& location);
  std::vector<std::string> orderedMembers(const memory::Node& folder) const;
  // False when a name on the way to `path` has no Shift-JIS form.
  bool representable(const memory::FullPath& path) const;
  // The listing of a folder node with the listing faults and actions
  // applied; "." and ".." are not in it.
  FolderListing listMembers(memory::Node& folder);
  // Whether Windows would remove the node now, `ownHolds` of its holds being
  // the remover's own: not the root, a held or read-only file, a file a
  // stream has open, a folder with members or the current directory.
  bool removable(const memory::Node& node, int ownHolds) const;
  // Why Windows would not delete the file at `path` now, as deleteFile
  // tells it; FileError::None when it would.
  FileError deletionRefusal(const std::string& path) const;
  // Whether creating `name` in `folder` is refused (denyWrites).
  bool writesDenied(const memory::Node& folder) const;
  // Makes the folder `location` names; null, with the cause, when it exists
  // or writes are refused there.
  memory::Node* createIn(const memory::FileTree::Location& location, FileError* error);
  // Where `relative` leads below the folder `root`, nothing below `root`
  // followed as a link; nullopt, with the cause, when a folder on the way is
  // missing or is not a plain folder.
  std::optional<memory::FileTree::Location> locateBelow(const std::string& root, const std::string& relative,
                                                        FileError* error) const;
  // Opens the file at `location` as openStream does.
  std::unique_ptr<Stream> openAt(const memory::FileTree::Location& location, OpenMode mode, FileError* error);
  static FileIdentity identityOf(const memory::Node& node);

  // An entry for removal holding `node`; null, with the cause, for no node
  // or a file a stream holds.
  static std::unique_ptr<RemovalEntry> openHeld(MemoryPlatform& platform, memory::Node* node, FileError* error);

  friend class MemoryRemovalEntry;

  memory::FileTree tree_;
  memory::FullPath current_;
  memory::MemoryRegistry registry_;
  std::shared_ptr<memory::DiskFaults> disk_;
  std::shared_ptr<memory::ProcessLifetime> life_;
  ListingOrder listingOrder_ = ListingOrder::Creation;
  std::map<std::string, std::vector<std::string>> folderOrders_;
  std::map<std::string, size_t> failingListings_;
  std::vector<std::string> deniedFolders_;
  std::multimap<std::string, std::function<void()>> afterListing_;
  std::deque<int> messageBoxAnswers_;
  std::function<int(const MessageBoxRecord&)> messageBoxHook_;
  std::vector<MessageBoxRecord> messageBoxes_;
  std::vector<ProcessRecord> processes_;
  std::vector<ShellOpenRecord> shellOpens_;
  std::vector<ShellLinkRecord> shellLinks_;
  std::vector<Monitor> monitors_{{{0, 0, 1024, 768}, {0, 0, 1024, 768}}};
  bool highContrast_ = false;
  LocalDate date_{2026, 12, 9};
  std::map<char, VolumeSpace> volumes_;
  int timerResolutionBalance_ = 0;
  bool elevated_ = false;
  bool refuseStartsAsThePlayer_ = false;
  bool keptAwake_ = false;
  // The host's SHA-256 (libcrypto natively, bcrypt.dll under Wine), set up
  // at the first digest.
  std::unique_ptr<Sha256Provider> sha256_;
  bool digestsFail_ = false;
};

}  // namespace platform
