#include "uninstall/removal.h"

#include "core/sjis.h"
#include "install/copy_plan.h"
#include "uninstall/install_path_check.h"
#include "uninstall/registration_removal.h"
#include "uninstall/tree_deletion.h"

namespace {

void deletePlannedFiles(AppContext& ctx) {
  for (const std::string& entry : ctx.CopyPlan->items()) {
    ctx.platform.deleteFile(joinPath(ctx.config.InstallPath, entry));
  }
}

// Children come after their parents in CreatedDirs, so going backwards
// empties each folder before its parent is tried.
void removeCreatedDirs(AppContext& ctx) {
  const auto& folders = ctx.CreatedDirs->items();
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) ctx.platform.removeDirectory(*folder);
}

}  // namespace

void planGameData(AppContext& ctx) {
  ctx.CopyPlan->clear();
  for (const char* name : StandardFiles) {
    if (ctx.platform.openStream(name, platform::OpenMode::Read)) ctx.CopyPlan->add(name);
  }
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
