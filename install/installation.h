#pragma once
// One installation's steps apart from any window: the progress dialog and
// the unattended installation (install.exe /S) run the same checks, the same
// copy engine, rollback and registration, and tell the same stops, one in a
// message box, the other in its log and exit code.

#include <cstdint>
#include <string>

#include "app/app_context.h"
#include "install/copy_engine.h"

// Why an installation stops.
enum class InstallStop {
  None,
  UnusableName,      // a name on the medium without a Shift-JIS form; detail: its folder
  ListingFailed,     // a folder of the medium could not be listed; detail: the folder
  NothingToInstall,  // the medium holds none of the planned names
  PathTooLong,       // a destination or folder longer than Windows takes
  LinkedFolder,      // InstallPath or a plan folder is a link; detail: that folder
  NotEnoughSpace,    // the drive holds less than the copy needs (neededBytes, freeBytes)
  NoWriteAccess,     // detail: the folder without the right to write
  CannotCreateFile,  // detail: the destination file
  DiskFull,          // a write fell short, or a destination was refused for want of space
  ReadFailed,        // detail: the relative name on the medium
  Corrupted,         // a file's bytes differ from install.sha256; detail: its relative name
  DigestListUnreadable,  // install.sha256 cannot be read or checked against; detail: its name
  DigestListMalformed,   // detail: the list's name and the line
};

struct InstallStep {
  InstallStop stop = InstallStop::None;
  std::string detail{};
  uint64_t neededBytes = 0;
  uint64_t freeBytes = 0;
  // Whether RollBackInstall is to run once the stop is told: not before any
  // folder exists, nor for a first destination that is refused (its folders
  // stay, as they are empty).
  bool rollBack = false;
};

// Reads the medium's digest list, plans the copy, checks it (the list,
// names, listings, lengths, links, free space), makes and records the
// folders, and opens the first pair: afterwards the copy only needs its
// chunks. Counters and the chunk buffer are set up. A stop before the
// folders are made leaves nothing; folders made where the right to write
// was missing are removed again.
InstallStep prepareInstallation(AppContext& ctx);
// The part of it after the plan, for any plan in CopyPlan (a repair's too):
// the checks of lengths, links and free space, the folders, the counters
// and the first pair.
InstallStep prepareCopy(AppContext& ctx);

// What a chunk's outcome stops, if anything (ChunkOutcome::ShortWrite and
// the failures of the next pair); the copy itself is done by copyChunk.
InstallStep stopAfterChunk(AppContext& ctx, const ChunkResult& result);

// After the last file: the install record, then the registration.
void finishInstallation(AppContext& ctx);

// The bytes the copy still needs on its drive: each planned file rounded up
// to whole clusters, less what a file of that name at the destination holds
// already (it is overwritten); preserved files that stand there are not in
// the plan and take nothing.
uint64_t spaceNeeded(AppContext& ctx, uint64_t clusterBytes);

// The message the progress dialog gives for a stop (texts.h), and its
// caption.
struct StopMessage {
  std::string text;
  const char* caption;
};
StopMessage stopMessage(const InstallStep& step);
