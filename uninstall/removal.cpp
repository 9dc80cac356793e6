#include "uninstall/removal.h"

#include "install/copy_plan.h"
#include "uninstall/install_path_check.h"
#include "uninstall/registration_removal.h"
#include "uninstall/tree_deletion.h"

void planGameData(AppContext& ctx) {
  ctx.CopyPlan->clear();
  planStandardFiles(ctx);
  // A name on the medium without a Shift-JIS form stops every installation,
  // so nothing of it was installed: what AddEntryToPlan reports is moot.
  for (const std::string& entry : ctx.ExtraCopyList->items()) AddEntryToPlan(ctx, entry, false);
}

bool removeInstallation(AppContext& ctx, RemovalMode mode) {
  if (!isRemovableInstallPath(ctx.config.InstallPath)) return false;
  ctx.CreatedDirs->clear();
  if (mode == RemovalMode::DeleteAll) {
    DeleteTreeContents(ctx.platform, ctx.config.InstallPath);
    recordInstallPathChain(ctx, false);
  } else {
    planGameData(ctx);
    recordInstallPathChain(ctx, false);
    recordPlanFolders(ctx, false);
    deletePlannedFiles(ctx);
  }
  removeCreatedDirs(ctx);
  RemoveRegistration(ctx);
  return true;
}
