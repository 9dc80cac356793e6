#include "install/repair.h"

#include <algorithm>

#include "footprint/planning.h"
#include "install/copy_engine.h"
#include "install/file_digests.h"

namespace {

bool among(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The record's digests as the copy checks against a medium's list.
DigestList recordedDigests(AppContext& ctx, const InstallRecord& record) {
  DigestList list;
  for (const auto& [name, digest] : record.digests) list.add(ctx.platform, name, digest);
  return list;
}

}  // namespace

InstallStep repairInstallation(AppContext& ctx, const InstallRecord& record, const Verification& found) {
  CopyState& copy = ctx.copy;
  if (InstallStep listed = readMediumDigests(ctx); listed.stop != InstallStop::None) return listed;
  if (!copy.MediumDigests) copy.MediumDigests = recordedDigests(ctx, record);
  ctx.plan.CopyPlan->clear();
  ctx.plan.CreatedDirs->clear();
  copy.TotalBytes = 0;
  copy.PlannedSizes.clear();
  for (const std::string& file : record.files) {
    if (among(found.missing, file) || among(found.damaged, file)) AddFileToPlan(ctx, file, false);
  }
  copy.FileCount = copy.AlwaysCopiedCount = ctx.plan.CopyPlan->count();

  InstallStep step = prepareCopy(ctx);
  while (step.stop == InstallStop::None) {
    const ChunkResult result = copyChunk(ctx);
    if (result.outcome == ChunkOutcome::PlanDone) return {};
    step = stopAfterChunk(ctx, result);
  }
  if (step.rollBack) {
    auto root = openInstallFolder(ctx);
    if (root) removeFileBelow(*root, ctx.plan.CopyPlan->get(copy.CurrentIndex));
    removeCreatedDirs(ctx, *ctx.plan.CreatedDirs, std::move(root));
    step.rollBack = false;
  }
  return step;
}
