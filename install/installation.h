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
  JournalStands,     // an earlier run's rollback is not finished; detail: its destination
  JournalFailed,     // the install journal could not be written
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

// Reads the medium's digest list, plans the copy and checks it (an earlier
// run's journal, the list, names, listings, lengths, links, free space);
// nothing is made yet, and a stop leaves nothing.
InstallStep prepareInstallation(AppContext& ctx);
// Then begins the run, in this order: writes its install journal
// (footprint/install_journal.h), asks the system to stay awake, makes and
// records the folders and opens the first pair: afterwards the copy only
// needs its chunks. Counters and the chunk buffer are set up. Folders made
// where the right to write was missing are removed again; a refused first
// destination leaves its empty folders. Either way the journal goes and the
// system may sleep again; every other stop from here on is rolled back.
InstallStep beginInstallation(AppContext& ctx);
// For any plan in CopyPlan (a repair's): the checks of lengths, links and
// free space, then the folders, the counters and the first pair, without a
// journal.
InstallStep prepareCopy(AppContext& ctx);

// What a chunk's outcome stops, if anything (ChunkOutcome::ShortWrite and
// the failures of the next pair); the copy itself is done by copyChunk.
InstallStep stopAfterChunk(AppContext& ctx, const ChunkResult& result);

// After the last file, each of them on the disk already: the install record,
// then the registration and the entry of the installed apps, then the
// journal is removed and the registry put on the disk; the system may sleep
// again. A run ended before the journal is gone is rolled back by the next
// start, so the game is either all there and registered or not at all.
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
