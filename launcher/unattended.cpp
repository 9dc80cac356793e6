#include "launcher/unattended.h"

#include "footprint/installed_state.h"
#include "install/destination.h"
#include "install/install_run.h"
#include "launcher/exit_codes.h"
#include "texts.h"

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

int exitCodeOf(RemovalEnding ending) {
  switch (ending) {
    case RemovalEnding::Done: return kExitDone;
    case RemovalEnding::Cancelled: return kExitCancelled;
    case RemovalEnding::Refused: return kExitRefused;
    case RemovalEnding::Incomplete: return kExitWriteFailed;
  }
  return kExitCancelled;
}

int installUnattended(AppContext& ctx, const std::optional<std::string>& typed) {
  InstallerConfig& config = ctx.config;
  if (detectInstalledGame(ctx)) {
    ctx.log("failed: already installed in " + config.InstallPath);
    return kExitInstalledState;
  }
  lookUpDefaultRoot(ctx);
  const std::string destination = typed.value_or(proposedDestination(config));
  ctx.log("destination " + destination);
  const DestinationCheck checked = checkInstallDestination(ctx, destination);
  if (checked.refusal) {
    ctx.log("failed: " + checked.refusal->logged());
    return kExitRefused;
  }
  config.InstallPath = checked.destination.installPath;
  ctx.log("installing into " + config.InstallPath);

  // The copy at its own pace: no timer paces it, one chunk after the other.
  InstallRun run(ctx, {});
  InstallRun::State state = run.start();
  while (state == InstallRun::State::Copying) state = run.advance();
  return exitCodeOf(run.stop().stop);
}

int uninstallUnattended(AppContext& ctx, bool deleteAll) {
  if (!findInstalledGame(ctx)) {
    ctx.log("failed: " + std::string(texts::kNotInstalled));
    return kExitInstalledState;
  }
  ctx.log(std::string(deleteAll ? "delete all in " : "keep the save data in ") + ctx.config.InstallPath);
  // Nothing is asked.
  const UninstallResult result = uninstallGame(ctx, deleteAll ? RemovalMode::DeleteAll : RemovalMode::KeepSaveData);
  if (result.ending == RemovalEnding::Refused) ctx.log("failed: " + result.refusal.logged());
  if (result.ending == RemovalEnding::Incomplete) {
    ctx.log("failed: " + std::string(texts::kUninstallIncomplete) + " " + result.firstLeft);
  }
  return exitCodeOf(result.ending);
}
