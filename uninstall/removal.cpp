#include "uninstall/removal.h"

#include "core/sjis.h"
#include "installed/install_path_check.h"
#include "installed/install_record.h"
#include "installed/installed_state.h"
#include "installed/planning.h"
#include "installed/safe_removal.h"
#include "uninstall/registration_removal.h"
#include "texts.h"
#include "uninstall/tree_deletion.h"

namespace {

const std::string& sparedUninstaller(const AppContext& ctx) {
  static const std::string none;
  return ctx.discFree ? ctx.discFree->sparedUninstaller : none;
}

// Moves the spared uninstaller out of the game folder once everything else
// is gone; true when it no longer stands there.
bool parkSparedUninstaller(AppContext& ctx) {
  const std::string& spared = sparedUninstaller(ctx);
  if (spared.empty() || ctx.platform.fileAttributes(spared) == platform::kInvalidAttributes) return true;
  const std::string& parking = ctx.discFree->parking;
  // Windows moves a running image within one drive only.
  return !parking.empty() && ctx.platform.moveFile(spared, joinPath(parking, kParkedUninstaller));
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
  return RemovalRefusal::None;
}

std::optional<InstallRecord> recordForRemoval(AppContext& ctx) {
  auto record = readInstallRecord(ctx.platform, ctx.config.InstallPath);
  if (!record && removalStage(ctx.platform, ctx.config.registryKey) == RemovalStage::Folders) record.emplace();
  return record;
}

void planGameData(AppContext& ctx) {
  ctx.CopyPlan->clear();
  if (ctx.discFree && ctx.discFree->record) {
    for (const std::string& file : ctx.discFree->record->files) ctx.CopyPlan->add(file);
    return;
  }
  planStandardFiles(ctx);
  // A name on the medium without a Shift-JIS form stops every installation,
  // so nothing of it was installed: what AddEntryToPlan reports is moot.
  for (const std::string& entry : ctx.ExtraCopyList->items()) AddEntryToPlan(ctx, entry, false);
}

RemovalOutcome removeInstallation(AppContext& ctx, RemovalMode mode) {
  RemovalOutcome outcome;
  outcome.refusal = removalRefusal(ctx, mode);
  if (outcome.refusal != RemovalRefusal::None) return outcome;
  platform::Platform& platform = ctx.platform;
  const std::string& installPath = ctx.config.InstallPath;
  const std::string& registryKey = ctx.config.registryKey;
  const std::string& spared = sparedUninstaller(ctx);
  RemovalReport report;
  report.onRemoved = [&ctx](const std::string& path) { ctx.log("removed " + path); };
  // From here on the game stays registered, whatever is left of its
  // folder, until everything else is gone: a removal ended at any point is
  // found and finished by the next one.
  if (!markRemoval(platform, registryKey, RemovalStage::Files)) ctx.log("failed: the removal could not be marked");
  ctx.CreatedDirs->clear();
  bool keptByDesign = false;
  if (mode == RemovalMode::DeleteAll) {
    // The record goes last, with the registration close behind it.
    std::vector<std::string> kept{joinPath(installPath, kInstallRecordFile)};
    if (!spared.empty()) kept.push_back(spared);
    keptByDesign = DeleteTreeContents(platform, installPath, report, kept);
    recordInstallPathChain(ctx, false);
  } else {
    planGameData(ctx);
    recordInstallPathChain(ctx, false);
    if (ctx.discFree) {
      // The folders the installation made, as recorded.
      for (const std::string& folder : ctx.discFree->record->folders) {
        ctx.CreatedDirs->add(joinPath(installPath, folder));
      }
    } else {
      recordPlanFolders(ctx, false);
    }
    deletePlannedFiles(ctx, report, spared);
  }
  // The game folder stays for the record; its subfolders go.
  removeCreatedDirs(ctx);
  bool sparedStays = false;
  // Kept while anything is left, so that another try finds what to remove.
  if (report.complete()) {
    // Only folders and the registration are left: another removal needs no
    // record to finish.
    markRemoval(platform, registryKey, RemovalStage::Folders);
    removeInstallRecord(platform, installPath);
    sparedStays = !parkSparedUninstaller(ctx);
    removeCreatedDirs(ctx);
  }
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
  const std::string& spared = sparedUninstaller(ctx);
  if (spared.empty()) return;
  if (!ctx.discFree->parking.empty()) removeFile(ctx.platform, joinPath(ctx.discFree->parking, kParkedUninstaller));
  // Parked, it left the game folder and its chain gone already; touching
  // them again would only keep other programs from listing its parents.
  if (ctx.platform.fileAttributes(spared) == platform::kInvalidAttributes) return;
  removeFile(ctx.platform, spared);
  ctx.CreatedDirs->clear();
  recordInstallPathChain(ctx, false);
  removeCreatedDirs(ctx);
}
