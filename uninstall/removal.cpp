#include "uninstall/removal.h"

#include "config/game_folder_names.h"
#include "core/sjis.h"
#include "footprint/install_path_check.h"
#include "footprint/install_record.h"
#include "footprint/installed_state.h"
#include "footprint/planning.h"
#include "footprint/safe_removal.h"
#include "texts.h"
#include "uninstall/registration_removal.h"
#include "uninstall/tree_deletion.h"

namespace {

const SparedFile& sparedUninstaller(const AppContext& ctx) {
  static const SparedFile none;
  return ctx.discFree ? ctx.discFree->sparedIdentity : none;
}

// Moves the spared uninstaller out of the held game folder once everything
// else is gone; true when it no longer stands there. Only the game's own
// uninst.exe is that file: one started from elsewhere has nothing to leave.
bool parkSparedUninstaller(AppContext& ctx, platform::RemovalEntry& installFolder) {
  const SparedFile& spared = sparedUninstaller(ctx);
  if (!spared) return true;
  platform::FileError error = platform::FileError::None;
  auto file = installFolder.openMember(kUninstallerProgram, &error);
  if (!file) return error == platform::FileError::Missing;
  if (file->identity() != *spared) return true;
  const std::string& parking = ctx.discFree->parking;
  // Windows moves a running image within one drive only.
  return !parking.empty() && file->moveTo(joinPath(parking, kParkedUninstaller));
}

// The files delete-all passes over: the running uninstaller, and the
// record, which goes last.
std::vector<platform::FileIdentity> keptUntilLast(platform::RemovalEntry& installFolder, const SparedFile& spared) {
  std::vector<platform::FileIdentity> kept;
  if (spared) kept.push_back(*spared);
  if (auto record = installFolder.openMember(kInstallRecordFile)) kept.push_back(record->identity());
  return kept;
}

// What the system calls the game folder now, every link on the way
// resolved: "" when it is missing, nullopt when it cannot be opened to ask
// (held by another program: the removal tells what it could not remove).
std::optional<std::string> finalPathNow(AppContext& ctx) {
  platform::FileError error = platform::FileError::None;
  auto folder = ctx.platform.openForRemoval(ctx.config.InstallPath, &error);
  if (!folder) return error == platform::FileError::Missing ? std::optional<std::string>("") : std::nullopt;
  return folder->finalPath();
}

// Whether the folder whose path is now `finalPath` (see finalPathNow) is
// still the one the guard accepted first: the guard's rule holds for where
// the links lead, and nothing leads elsewhere since.
RemovalRefusal acceptance(AppContext& ctx, const std::optional<std::string>& finalPath, bool exists) {
  if (!finalPath) return RemovalRefusal::None;
  const std::string& installPath = ctx.config.InstallPath;
  // A path that cannot be told, or that no longer ends in the game's folder
  // (a network drive's path names its share, which the guard does not read).
  if (exists && (finalPath->empty() || (hasDriveName(*finalPath) &&
                                        !isRemovableInstallPath(*finalPath, ctx.config.gameFolder, ctx.platform)))) {
    return RemovalRefusal::UnsafeInstallPath;
  }
  auto& accepted = ctx.acceptedRemovalFolder;
  if (!accepted || accepted->installPath != installPath) {
    accepted = AcceptedRemovalFolder{installPath, *finalPath};
    return RemovalRefusal::None;
  }
  return ctx.platform.equalsIgnoreCase(accepted->finalPath, *finalPath) ? RemovalRefusal::None
                                                                          : RemovalRefusal::LinkedInstallPath;
}

}  // namespace

std::string removalRefusalText(RemovalRefusal refusal, const AppContext& ctx) {
  switch (refusal) {
    case RemovalRefusal::None: break;
    case RemovalRefusal::UnsafeInstallPath: return texts::kUnsafeInstallPath;
    case RemovalRefusal::LinkedInstallPath: return std::string(texts::kLinkedInstallPath) + "\n" + ctx.config.InstallPath;
    case RemovalRefusal::NoInstallRecord: return texts::kNoInstallRecord;
  }
  return {};
}

RemovalRefusal removalRefusal(AppContext& ctx, RemovalMode mode) {
  const std::string& installPath = ctx.config.InstallPath;
  if (!isRemovableInstallPath(installPath, ctx.config.gameFolder, ctx.platform)) {
    return RemovalRefusal::UnsafeInstallPath;
  }
  if (isLink(ctx.platform, installPath)) return RemovalRefusal::LinkedInstallPath;
  if (mode == RemovalMode::KeepSaveData && ctx.discFree && !ctx.discFree->record) {
    return RemovalRefusal::NoInstallRecord;
  }
  const auto finalPath = finalPathNow(ctx);
  return acceptance(ctx, finalPath, finalPath && !finalPath->empty());
}

std::optional<InstallRecord> recordForRemoval(AppContext& ctx) {
  auto record = readInstallRecord(ctx.platform, ctx.config.InstallPath);
  if (!record && removalStage(ctx.platform, ctx.config.registryKey) == RemovalStage::Folders) record.emplace();
  return record;
}

void planGameData(AppContext& ctx) {
  ctx.removal.files.clear();
  if (ctx.discFree && ctx.discFree->record) {
    for (const std::string& file : ctx.discFree->record->files) ctx.removal.files.add(file);
    return;
  }
  const PlannedFileSink take = [&ctx](const std::string& name, uint64_t) { ctx.removal.files.add(name); };
  planStandardFiles(ctx, take);
  // A name on the medium without a Shift-JIS form stops every installation,
  // so nothing of it was installed: what AddEntryToPlan reports is moot.
  for (const std::string& entry : ctx.plan.ExtraCopyList->items()) AddEntryToPlan(ctx, entry, false, take);
}

RemovalOutcome removeInstallation(AppContext& ctx, RemovalMode mode) {
  RemovalOutcome outcome;
  outcome.refusal = removalRefusal(ctx, mode);
  if (outcome.refusal != RemovalRefusal::None) return outcome;
  platform::Platform& platform = ctx.platform;
  const std::string& installPath = ctx.config.InstallPath;
  const std::string& registryKey = ctx.config.registryKey;
  const SparedFile& spared = sparedUninstaller(ctx);
  RemovalReport report;
  report.onRemoved = [&ctx](const std::string& path) { ctx.log("removed " + path); };
  // Held from here until the folder itself goes: everything below it is
  // reached from it, whatever happens to the links above it meanwhile.
  platform::FileError error = platform::FileError::None;
  auto root = openInstallFolder(ctx, &error);
  if (root) {
    outcome.refusal = acceptance(ctx, root->finalPath(), true);
    if (outcome.refusal != RemovalRefusal::None) return outcome;
  } else if (error != platform::FileError::Missing) {
    report.left(installPath);
  }
  // From here on the game stays registered, whatever is left of its
  // folder, until everything else is gone: a removal ended at any point is
  // found and finished by the next one.
  if (!markRemoval(platform, registryKey, RemovalStage::Files)) ctx.log("failed: the removal could not be marked");
  ctx.removal.folders.clear();
  bool keptByDesign = false;
  if (mode == RemovalMode::DeleteAll) {
    // The record goes last, with the registration close behind it.
    if (root) keptByDesign = DeleteTreeContents(*root, installPath, report, keptUntilLast(*root, spared));
    recordInstallPathChain(ctx, ctx.removal.folders);
  } else {
    planGameData(ctx);
    recordInstallPathChain(ctx, ctx.removal.folders);
    if (ctx.discFree) {
      // The folders the installation made, as recorded.
      for (const std::string& folder : ctx.discFree->record->folders) {
        ctx.removal.folders.add(joinPath(installPath, folder));
      }
    } else {
      recordPlanFolders(ctx, ctx.removal.files, ctx.removal.folders);
    }
    if (root) deletePlannedFiles(ctx, ctx.removal.files, *root, report, spared);
  }
  // The game folder stays for the record; its subfolders go.
  if (root) removeCreatedDirsBelow(ctx, ctx.removal.folders, *root);
  bool sparedStays = false;
  // Kept while anything is left, so that another try finds what to remove.
  if (report.complete() && root) {
    // Only folders and the registration are left: another removal needs no
    // record to finish.
    markRemoval(platform, registryKey, RemovalStage::Folders);
    removeInstallRecord(*root);
    sparedStays = !parkSparedUninstaller(ctx, *root);
  }
  removeCreatedDirsAbove(ctx, ctx.removal.folders, std::move(root));
  // Emptied, the game folder itself goes too; a process working in it
  // keeps it.
  if (mode == RemovalMode::DeleteAll && report.complete() && !keptByDesign && !sparedStays &&
      platform.fileAttributes(installPath) != platform::kInvalidAttributes) {
    report.left(installPath);
  }
  outcome.firstLeft = report.firstLeft;
  // Kept while anything is left, so that the player can close the game and
  // remove the rest: without PATH nothing could find the folder again.
  if (report.complete()) RemoveRegistration(ctx);
  return outcome;
}

void removeSparedUninstaller(AppContext& ctx) {
  const SparedFile& spared = sparedUninstaller(ctx);
  if (!spared) return;
  const DiscFreeUninstall& discFree = *ctx.discFree;
  if (!discFree.parking.empty()) removeFile(ctx.platform, joinPath(discFree.parking, kParkedUninstaller), spared);
  // Parked, it left the game folder and its chain gone already; touching
  // them again would only keep other programs from listing its parents.
  const std::string& path = discFree.sparedUninstaller;
  if (path.empty() || ctx.platform.fileAttributes(path) == platform::kInvalidAttributes) return;
  removeFile(ctx.platform, path, spared);
  ctx.removal.folders.clear();
  recordInstallPathChain(ctx, ctx.removal.folders);
  removeCreatedDirs(ctx, ctx.removal.folders);
}
