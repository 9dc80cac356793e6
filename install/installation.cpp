#include "install/installation.h"

#include <unordered_map>
#include <unordered_set>

#include "core/sjis.h"
#include "footprint/install_journal.h"
#include "footprint/install_record.h"
#include "install/copy_plan.h"
#include "install/destination.h"
#include "install/file_digests.h"
#include "install/registration.h"
#include "texts.h"

namespace {

uint64_t roundedUp(uint64_t bytes, uint64_t cluster) {
  if (cluster == 0) return bytes;
  return bytes / cluster * cluster + (bytes % cluster ? cluster : 0);
}

// The deepest folder of InstallPath's chain that exists: where the files go
// once it is made.
std::string deepestExistingFolder(platform::Platform& platform, const std::string& installPath) {
  std::string deepest = installPath.substr(0, 3);
  forEachSeparator(installPath, 3, [&](size_t at) {
    std::string prefix = installPath.substr(0, at);
    if (platform::isFolderAttributes(platform.fileAttributes(prefix))) deepest = std::move(prefix);
  });
  if (platform::isFolderAttributes(platform.fileAttributes(installPath))) deepest = installPath;
  return deepest;
}

// The folder the destination file of a plan entry goes into: InstallPath,
// or the entry's folder below it.
std::string destinationFolder(const std::string& installPath, const std::string& entry) {
  const auto last = lastSeparator(entry, 0);
  return last ? joinPath(installPath, std::string_view(entry).substr(0, *last)) : installPath;
}

InstallStep destinationRefused(const AppContext& ctx, platform::FileError error, bool rollBack) {
  switch (error) {
    case platform::FileError::DiskFull: return {.stop = InstallStop::DiskFull, .rollBack = rollBack};
    case platform::FileError::AccessDenied:
      return {.stop = InstallStop::NoWriteAccess,
              .detail = destinationFolder(ctx.config.InstallPath, ctx.plan.CopyPlan->get(ctx.copy.CurrentIndex)),
              .rollBack = rollBack};
    default:
      return {.stop = InstallStop::CannotCreateFile,
              .detail = joinPath(ctx.config.InstallPath, ctx.plan.CopyPlan->get(ctx.copy.CurrentIndex)),
              .rollBack = rollBack};
  }
}

std::string megabytes(uint64_t bytes, bool roundUp) {
  const uint64_t mebibyte = 1 << 20;
  return std::to_string(bytes / mebibyte + (roundUp && bytes % mebibyte ? 1 : 0));
}

}  // namespace

uint64_t spaceNeeded(AppContext& ctx, uint64_t clusterBytes) {
  const auto& plan = ctx.plan.CopyPlan->items();
  const auto& sizes = ctx.copy.PlannedSizes;
  std::unordered_set<std::string> seen;
  // Whether each destination folder exists, asked once: in a new game
  // folder no file is there yet, and Wine answers a missing name only
  // after a look through its folder.
  std::unordered_map<std::string, bool> folders;
  uint64_t needed = 0;
  for (size_t i = 0; i < plan.size(); ++i) {
    // A name planned twice is written over itself.
    if (!seen.insert(ctx.platform.caseFoldKey(plan[i])).second) continue;
    const uint64_t wanted = roundedUp(i < sizes.size() ? sizes[i] : 0, clusterBytes);
    const std::string folder = destinationFolder(ctx.config.InstallPath, plan[i]);
    auto known = folders.try_emplace(folder, false);
    if (known.second) known.first->second = platform::isFolderAttributes(ctx.platform.fileAttributes(folder));
    uint64_t there = 0;
    if (known.first->second) {
      const std::string destination = joinPath(ctx.config.InstallPath, plan[i]);
      if (auto existing = ctx.platform.openStream(destination, platform::OpenMode::Read)) {
        there = roundedUp(measureSize(*existing), clusterBytes);
      }
    }
    if (wanted > there) needed += wanted - there;
  }
  return needed;
}

namespace {

// The checks of a plan before anything is made: lengths, links, free space.
InstallStep checkCopy(AppContext& ctx) {
  const std::string& installPath = ctx.config.InstallPath;
  // Refused before the first folder is made rather than failing halfway.
  if (!planFits(installPath, ctx.plan.CopyPlan->items())) return {.stop = InstallStop::PathTooLong};
  // The copy would write into a link's target, and a rollback delete there.
  if (auto linked = linkedInstallFolder(ctx)) return {.stop = InstallStop::LinkedFolder, .detail = *linked};
  // Minutes of copying that would end in a rollback are not begun; where the
  // drive cannot tell its space, the copy goes on as it always did.
  if (auto space = ctx.platform.volumeSpace(deepestExistingFolder(ctx.platform, installPath))) {
    const uint64_t needed = spaceNeeded(ctx, space->clusterBytes);
    if (needed > space->freeBytes) {
      return {.stop = InstallStop::NotEnoughSpace, .neededBytes = needed, .freeBytes = space->freeBytes};
    }
  }
  return {};
}

// Makes and records the folders, sets up the counters and the buffer, and
// opens the first pair. A stop without `rollBack` leaves nothing to roll
// back (the folders refused, or the first destination).
InstallStep startCopy(AppContext& ctx) {
  CopyState& copy = ctx.copy;
  if (auto refused = createInstallFolders(ctx)) {
    removeCreatedDirs(ctx, *ctx.plan.CreatedDirs);
    return {.stop = InstallStop::NoWriteAccess, .detail = *refused};
  }
  copy.TotalBytesDone = 0;
  copy.CurrentIndex = 0;
  copy.FileBytesDone = 0;
  copy.CopiedDigests.assign(copy.FileCount, std::nullopt);
  // Allocated on the first installation and kept: no tick allocates.
  if (ctx.copy.CopyBuffer.size() != ChunkSize) ctx.copy.CopyBuffer.resize(ChunkSize);

  platform::FileError error = platform::FileError::None;
  switch (openCurrentPair(ctx, &error)) {
    case PairOpen::Opened: return {};
    // The folders stay: nothing was written into them yet.
    case PairOpen::DestinationFailed: return destinationRefused(ctx, error, false);
    case PairOpen::SourceFailed:
      return {.stop = InstallStop::ReadFailed, .detail = ctx.plan.CopyPlan->get(copy.CurrentIndex), .rollBack = true};
  }
  return {};
}

}  // namespace

InstallStep prepareInstallation(AppContext& ctx) {
  ctx.copy.journalKeysMade.reset();
  // What an earlier run left must go first: a second journal would replace
  // the first, and its files would then stay unknown for good.
  if (auto standing = readInstallJournal(ctx.platform, ctx.config.registryKey); standing.present) {
    return {.stop = InstallStop::JournalStands, .detail = standing.journal ? standing.journal->destination : ""};
  }
  if (InstallStep listed = readMediumDigests(ctx); listed.stop != InstallStop::None) return listed;
  // Before anything is created: skipping the name, or the rest of a folder
  // whose listing failed, would report an incomplete installation as
  // complete.
  if (auto gap = planCopy(ctx)) {
    const InstallStop stop =
        gap->kind == PlanGap::Kind::ListingFailed ? InstallStop::ListingFailed : InstallStop::UnusableName;
    return {.stop = stop, .detail = gap->folder};
  }
  if (auto missing = listedFileMissing(ctx)) return {.stop = InstallStop::ReadFailed, .detail = *missing};
  if (ctx.copy.FileCount == 0) return {.stop = InstallStop::NothingToInstall};
  return checkCopy(ctx);
}

InstallStep beginInstallation(AppContext& ctx) {
  // Durable before the first folder: whatever the run makes from here on,
  // the next start can find and undo.
  if (!writeInstallJournal(ctx)) return {.stop = InstallStop::JournalFailed};
  // A machine that slept would find the disc or the destination gone.
  ctx.platform.keepSystemAwake(true);
  InstallStep step = startCopy(ctx);
  if (step.stop != InstallStop::None && !step.rollBack) {
    removeInstallJournal(ctx.platform, ctx.config.registryKey, ctx.copy.journalKeysMade.value_or(0));
    ctx.copy.journalKeysMade.reset();
    ctx.platform.keepSystemAwake(false);
  }
  return step;
}

InstallStep prepareCopy(AppContext& ctx) {
  if (InstallStep checked = checkCopy(ctx); checked.stop != InstallStop::None) return checked;
  return startCopy(ctx);
}

InstallStep stopAfterChunk(AppContext& ctx, const ChunkResult& result) {
  switch (result.outcome) {
    case ChunkOutcome::SameFile:
    case ChunkOutcome::NextFile:
    case ChunkOutcome::PlanDone:
      return {};
    case ChunkOutcome::ShortWrite: return {.stop = InstallStop::DiskFull, .rollBack = true};
    case ChunkOutcome::DestinationOpenFailed: return destinationRefused(ctx, result.error, true);
    case ChunkOutcome::ReadFailed:
    case ChunkOutcome::SourceOpenFailed:
      return {.stop = InstallStop::ReadFailed,
              .detail = ctx.plan.CopyPlan->get(ctx.copy.CurrentIndex),
              .rollBack = true};
    case ChunkOutcome::Corrupted:
      return {.stop = InstallStop::Corrupted,
              .detail = ctx.plan.CopyPlan->get(ctx.copy.CurrentIndex),
              .rollBack = true};
  }
  return {};
}

void finishInstallation(AppContext& ctx) {
  // Before the registration, which lists the uninstaller that reads it. The
  // game stays installed without it.
  platform::FileError error = platform::FileError::None;
  if (!writeInstallRecord(ctx, &error)) {
    ctx.log(std::string("failed: the install record was not written (") + platform::fileErrorText(error) +
            "); without the disc only delete-all is offered");
  }
  RegisterInstall(ctx);
  // The commit: from here on the game stays. The key keeps PATH.
  removeInstallJournal(ctx.platform, ctx.config.registryKey, 0);
  ctx.copy.journalKeysMade.reset();
  ctx.platform.flushRegistry(platform::Hive::CurrentUser);
  ctx.platform.keepSystemAwake(false);
}

StopMessage stopMessage(const InstallStep& step) {
  const std::string detail = "\n" + step.detail;
  switch (step.stop) {
    case InstallStop::None: break;
    case InstallStop::UnusableName: return {texts::kUnusableFileName + detail, texts::kConfirmCaption};
    case InstallStop::ListingFailed:
    case InstallStop::ReadFailed: return {texts::kReadFailed + detail, texts::kConfirmCaption};
    case InstallStop::NothingToInstall: return {texts::kNothingToInstall, texts::kConfirmCaption};
    case InstallStop::PathTooLong: return {texts::kPathTooLong, texts::kDestinationConfirmCaption};
    case InstallStop::LinkedFolder: return {texts::kLinkedInstallFolder + detail, texts::kConfirmCaption};
    case InstallStop::NotEnoughSpace:
      return {std::string(texts::kNotEnoughSpace) + "\n" + formatWith(texts::kSpaceNeeded, megabytes(step.neededBytes, true)) +
                  "\n" + formatWith(texts::kSpaceFree, megabytes(step.freeBytes, false)),
              texts::kConfirmCaption};
    case InstallStop::NoWriteAccess: return {texts::kCannotWriteDestination + detail, texts::kConfirmCaption};
    case InstallStop::CannotCreateFile: return {texts::kCannotCreateFile + detail, texts::kConfirmCaption};
    case InstallStop::DiskFull: return {texts::kNotEnoughSpace, texts::kConfirmCaption};
    case InstallStop::Corrupted: return {texts::kFileCorrupted + detail, texts::kConfirmCaption};
    case InstallStop::DigestListUnreadable: return {texts::kDigestListUnreadable + detail, texts::kConfirmCaption};
    case InstallStop::DigestListMalformed: return {texts::kDigestListMalformed + detail, texts::kConfirmCaption};
    case InstallStop::JournalStands: return {unfinishedRollbackText(step.detail), texts::kConfirmCaption};
    case InstallStop::JournalFailed: return {texts::kJournalFailed, texts::kConfirmCaption};
  }
  return {"", texts::kConfirmCaption};
}
