#include "uninstall/removal.h"

#include "installed/planning.h"
#include "installed/install_path_check.h"
#include "installed/safe_removal.h"
#include "uninstall/registration_removal.h"
#include "uninstall/tree_deletion.h"

RemovalRefusal removalRefusal(AppContext& ctx) {
  const std::string& installPath = ctx.config.InstallPath;
  if (!isRemovableInstallPath(installPath, ctx.config.gameFolder, ctx.platform)) {
    return RemovalRefusal::UnsafeInstallPath;
  }
  if (isLink(ctx.platform, installPath)) return RemovalRefusal::LinkedInstallPath;
  return RemovalRefusal::None;
}

void planGameData(AppContext& ctx) {
  ctx.CopyPlan->clear();
  planStandardFiles(ctx);
  // A name on the medium without a Shift-JIS form stops every installation,
  // so nothing of it was installed: what AddEntryToPlan reports is moot.
  for (const std::string& entry : ctx.ExtraCopyList->items()) AddEntryToPlan(ctx, entry, false);
}

RemovalOutcome removeInstallation(AppContext& ctx, RemovalMode mode) {
  RemovalOutcome outcome;
  outcome.refusal = removalRefusal(ctx);
  if (outcome.refusal != RemovalRefusal::None) return outcome;
  const std::string& installPath = ctx.config.InstallPath;
  RemovalReport report;
  ctx.CreatedDirs->clear();
  if (mode == RemovalMode::DeleteAll) {
    const bool keptByDesign = DeleteTreeContents(ctx.platform, installPath, report);
    recordInstallPathChain(ctx, false);
    removeCreatedDirs(ctx);
    // Emptied, the game folder itself goes too; a process working in it
    // keeps it.
    if (!keptByDesign && ctx.platform.fileAttributes(installPath) != platform::kInvalidAttributes) {
      report.left(installPath);
    }
  } else {
    planGameData(ctx);
    recordInstallPathChain(ctx, false);
    recordPlanFolders(ctx, false);
    deletePlannedFiles(ctx, report);
    removeCreatedDirs(ctx);
  }
  outcome.firstLeft = report.firstLeft;
  // Kept while anything is left, so that the player can close the game and
  // remove the rest: without PATH nothing could find the folder again.
  if (report.complete()) RemoveRegistration(ctx);
  return outcome;
}
