#include "install/copy_plan.h"

#include <unordered_set>

#include "core/sjis.h"

std::optional<PlanGap> planCopy(AppContext& ctx) {
  CopyState& copy = ctx.copy;
  ctx.plan.CopyPlan->clear();
  ctx.plan.CreatedDirs->clear();
  copy.FileCount = 0;
  copy.DestinationsReached = 0;
  copy.TotalBytes = 0;
  copy.PlannedSizes.clear();

  std::optional<PlanGap> gap;
  auto plan = [&](const std::string& entry, bool preserve) {
    auto found = AddEntryToPlan(ctx, entry, preserve);
    if (!gap) gap = std::move(found);
  };
  planStandardFiles(ctx);
  for (const auto& entry : ctx.plan.ExtraCopyList->items()) plan(entry, false);
  copy.AlwaysCopiedCount = ctx.plan.CopyPlan->count();
  plan(kSaveDataFile, true);
  for (const auto& entry : ctx.plan.PreserveList->items()) plan(entry, true);
  copy.FileCount = ctx.plan.CopyPlan->count();
  return gap;
}

std::optional<std::string> linkedInstallFolder(AppContext& ctx) {
  const std::string& installPath = ctx.config.InstallPath;
  if (isLink(ctx.platform, installPath)) return installPath;
  std::unordered_set<std::string> seen;
  for (const auto& entry : ctx.plan.CopyPlan->items()) {
    std::optional<std::string> linked;
    // Outermost first: a folder behind a link is never looked at through it.
    forEachSeparator(entry, 0, [&](size_t at) {
      std::string folder = joinPath(installPath, std::string_view(entry).substr(0, at));
      if (linked || !seen.insert(folder).second) return;
      if (isLink(ctx.platform, folder)) linked = std::move(folder);
    });
    if (linked) return linked;
  }
  return std::nullopt;
}

std::optional<std::string> createInstallFolders(AppContext& ctx) {
  recordInstallPathChain(ctx, *ctx.plan.CreatedDirs);
  recordPlanFolders(ctx, *ctx.plan.CopyPlan, *ctx.plan.CreatedDirs);
  const std::string& installPath = ctx.config.InstallPath;
  const std::string inside = installPath + '\\';
  bool outermostMade = false;
  for (const std::string& folder : ctx.plan.CreatedDirs->items()) {
    platform::FileError error = platform::FileError::None;
    bool made = false;
    if (folder.starts_with(inside)) {
      // Inside the game folder, each reached from the one above, never
      // through a link.
      made = ctx.platform.createDirectoryBelow(installPath, folder.substr(inside.size()), &error);
    } else if (!outermostMade) {
      // The first folder made is where another user could otherwise change
      // the game's files: it gets its own rights when elevated.
      made = outermostMade = ctx.platform.createProtectedDirectory(folder, &error);
    } else {
      made = ctx.platform.createDirectory(folder, &error);
    }
    if (made) {
      ctx.log("created folder " + folder);
      continue;
    }
    if (error != platform::FileError::AccessDenied) continue;
    // Named by the folder the player chose or that exists: where the right
    // to write is missing.
    const auto last = lastSeparator(folder, 0);
    return last && *last > 2 ? folder.substr(0, *last) : folder.substr(0, 3);
  }
  return std::nullopt;
}
