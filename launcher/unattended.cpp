#include "launcher/unattended.h"

#include "install/copy_engine.h"
#include "install/destination.h"
#include "install/installation.h"
#include "installed/block_check.h"
#include "installed/installed_state.h"
#include "launcher/exit_codes.h"
#include "texts.h"
#include "uninstall/removal.h"

int exitCodeOf(InstallStop stop) {
  switch (stop) {
    case InstallStop::None: return kExitDone;
    case InstallStop::UnusableName:
    case InstallStop::ListingFailed:
    case InstallStop::NothingToInstall:
    case InstallStop::ReadFailed:
    case InstallStop::Corrupted:
    case InstallStop::DigestListUnreadable:
    case InstallStop::DigestListMalformed:
      return kExitReadFailed;
    case InstallStop::PathTooLong:
    case InstallStop::LinkedFolder:
      return kExitRefused;
    case InstallStop::NotEnoughSpace:
    case InstallStop::DiskFull:
      return kExitNotEnoughSpace;
    case InstallStop::NoWriteAccess:
    case InstallStop::CannotCreateFile:
    case InstallStop::JournalStands:
    case InstallStop::JournalFailed:
      return kExitWriteFailed;
  }
  return kExitWriteFailed;
}

namespace {

// Logs why and how the installation stopped, and undoes it where that is due.
int stopped(AppContext& ctx, const InstallStep& step) {
  ctx.log("failed: " + stopMessage(step).text);
  if (step.rollBack && ctx.copy.journalKeysMade) RollBackInstall(ctx);
  return exitCodeOf(step.stop);
}

}  // namespace

int installUnattended(AppContext& ctx, const std::optional<std::string>& typed) {
  InstallerConfig& config = ctx.config;
  if (detectInstalledGame(ctx)) {
    ctx.log("failed: already installed in " + config.InstallPath);
    return kExitInstalledState;
  }
  lookUpDefaultRoot(ctx);
  const std::string destination = typed.value_or(proposedDestination(config));
  ctx.log("destination " + destination);
  if (auto field = brokenNameField(ctx)) {
    ctx.log("failed: " + std::string(texts::kBadConfigInstall) + " (" + *field + ")");
    return kExitRefused;
  }
  const Destination checked = checkDestination(ctx.platform, destination, config.gameFolder);
  if (checked.problem != DestinationProblem::None) {
    ctx.log("failed: " + destinationRefusalText(checked));
    return kExitRefused;
  }
  config.InstallPath = checked.installPath;
  ctx.log("installing into " + config.InstallPath);

  if (InstallStep step = prepareInstallation(ctx); step.stop != InstallStop::None) return stopped(ctx, step);
  if (InstallStep step = beginInstallation(ctx); step.stop != InstallStop::None) return stopped(ctx, step);
  // The copy at its own pace: no timer paces it, one chunk after the other.
  for (;;) {
    const ChunkResult result = copyChunk(ctx);
    if (result.outcome == ChunkOutcome::PlanDone) break;
    if (InstallStep step = stopAfterChunk(ctx, result); step.stop != InstallStop::None) return stopped(ctx, step);
  }
  finishInstallation(ctx);
  return kExitDone;
}

int uninstallUnattended(AppContext& ctx, bool deleteAll) {
  // Installed exactly as the menu decides it.
  if (!detectInstalledGame(ctx)) {
    ctx.log("failed: " + std::string(texts::kNotInstalled));
    return kExitInstalledState;
  }
  ctx.log(std::string(deleteAll ? "delete all in " : "keep the save data in ") + ctx.config.InstallPath);
  if (auto field = brokenNameField(ctx)) {
    ctx.log("failed: " + std::string(texts::kBadConfigUninstall) + " (" + *field + ")");
    return kExitRefused;
  }
  if (ctx.discFree) ctx.discFree->record = recordForRemoval(ctx);
  const RemovalOutcome outcome =
      removeInstallation(ctx, deleteAll ? RemovalMode::DeleteAll : RemovalMode::KeepSaveData);
  if (outcome.refusal != RemovalRefusal::None) {
    ctx.log("failed: " + removalRefusalText(outcome.refusal, ctx));
    return kExitRefused;
  }
  if (outcome.firstLeft) {
    ctx.log("failed: " + std::string(texts::kUninstallIncomplete) + " " + *outcome.firstLeft);
    return kExitWriteFailed;
  }
  return kExitDone;
}
