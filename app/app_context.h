#pragma once
// Everything the installer shares between its forms: the configuration
// record, the four string lists and the copy state. The forms themselves
// are reached through the toolkit's application, which holds them.
// runInstaller or runUninstaller makes one; tests make a fresh one per case.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/digest_list.h"
#include "config/installer_config.h"
#include "core/sha256.h"
#include "core/string_list.h"
#include "platform/platform.h"

inline constexpr size_t ChunkSize = 1048576;

// The state of a running copy; sizes and counters are 64-bit so that files
// of 2 GiB and plans of 4 GiB and more are measured and shown correctly.
struct CopyState {
  uint64_t TotalBytes = 0;
  int FileCount = 0;
  // The first entries of CopyPlan, copied whatever stands at the
  // destination (the standard files and the extra entries); those after
  // them were planned under the preserve rule.
  int AlwaysCopiedCount = 0;
  // How many entries of CopyPlan, from the first, the copy has opened at the
  // destination: a preserved entry beyond them was never made by this copy.
  int DestinationsReached = 0;
  // The measured size of each CopyPlan entry, in its order, once planned.
  std::vector<uint64_t> PlannedSizes;
  int CurrentIndex = 0;
  uint64_t FileSize = 0;
  uint64_t FileBytesDone = 0;
  uint64_t TotalBytesDone = 0;
  std::unique_ptr<platform::Stream> SourceFile;
  std::unique_ptr<platform::Stream> DestFile;
  // Set from the moment this run's install journal stands until it is
  // removed: the levels of the game's key made for it, which go with it.
  // While it is set, what the run made is to be rolled back or committed.
  std::optional<int> journalKeysMade;
  // The medium's install.sha256; nullopt when it has none.
  std::optional<DigestList> MediumDigests;
  // The digest of the file being copied, fed with each chunk as it is read;
  // null when the system cannot compute one.
  std::unique_ptr<Sha256> FileDigest;
  // The digest each CopyPlan entry was copied with, in its order, for the
  // install record; nullopt for one not copied (yet) or without a digest.
  std::vector<std::optional<Sha256Digest>> CopiedDigests;
};

// What one installation made, as its record in the game folder keeps it:
// names relative to InstallPath, "\\" between folders.
struct InstallRecord {
  std::vector<std::string> files;    // copied whatever stood at the destination
  std::vector<std::string> folders;  // made for them, parents first
  // The digest each file was copied with, by its name in `files`; a file
  // has none in a record of an earlier build, or where the system could
  // not compute it.
  std::map<std::string, Sha256Digest> digests;
  bool operator==(const InstallRecord&) const = default;
};

// The program run as uninst.exe, the uninstaller that needs no disc.
struct DiscFreeUninstall {
  // What the installation recorded; nullopt when there is no usable record
  // (an earlier build installed the game, or the record was lost), and the
  // keep-save-data removal is then not offered.
  std::optional<InstallRecord> record;
  // The uninst.exe whose image runs while the removal does (the one the
  // player started, which waits for this copy of it): Windows deletes no
  // running image, so the removal spares it and, once everything else is
  // gone, moves it into `parking` (a folder in the user's temp folder,
  // empty for none) so that the game folder can go. What stays is removed
  // once that program has ended.
  std::string sparedUninstaller;
  std::string parking;
  // That file's identity, by which the removal knows it under any name;
  // nullopt when it cannot be told (nothing is then spared).
  std::optional<platform::FileIdentity> sparedIdentity;
};

// The game folder as the removal's guard accepted it: InstallPath, and the
// path the system gave the folder then, every link on the way resolved
// (empty: it was missing). A removal goes ahead only while the folder it
// holds still has that path, so that a link above it re-pointed after the
// check (while the player reads the question) leads nowhere.
struct AcceptedRemovalFolder {
  std::string installPath;
  std::string finalPath;
};

struct AppContext {
  explicit AppContext(platform::Platform& p) : platform(p) {}
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  platform::Platform& platform;
  InstallerConfig config;

  // Creates the four lists, empty, in their order.
  void createLists() {
    ExtraCopyList = std::make_unique<StringList>(platform);
    PreserveList = std::make_unique<StringList>(platform);
    CopyPlan = std::make_unique<StringList>(platform);
    CreatedDirs = std::make_unique<StringList>(platform);
  }

  // Created by the menu's FormCreate in this order, destroyed by FormClose.
  std::unique_ptr<StringList> ExtraCopyList;
  std::unique_ptr<StringList> PreserveList;
  std::unique_ptr<StringList> CopyPlan;
  std::unique_ptr<StringList> CreatedDirs;

  CopyState copy;
  // The log of a run started with /LOG=: each line as the program's text
  // (Shift-JIS); empty when there is none.
  std::function<void(const std::string&)> logSink;
  void log(const std::string& line) {
    if (logSink) logSink(line);
  }
  // Set when the program runs as uninst.exe.
  std::optional<DiscFreeUninstall> discFree;
  // Set by the first check of a removal of InstallPath.
  std::optional<AcceptedRemovalFolder> acceptedRemovalFolder;
  // The chunk buffer of the copy, allocated on first use and kept for the
  // life of the process.
  std::vector<char> CopyBuffer;
};
