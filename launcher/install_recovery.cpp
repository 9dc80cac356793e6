#include "launcher/install_recovery.h"

#include "core/path_names.h"
#include "core/sjis.h"
#include "footprint/block_check.h"
#include "footprint/install_journal.h"
#include "footprint/install_path_check.h"
#include "footprint/names.h"
#include "footprint/planning.h"
#include "footprint/safe_removal.h"
#include "install/copy_engine.h"
#include "texts.h"
#include "uninstall/registration_removal.h"

using platform::Hive;

namespace {

// Whether the run got as far as its registration: PATH names its folder.
bool registeredThere(platform::Platform& platform, const std::string& registryKey, const std::string& folder) {
  auto key = platform.openKey(Hive::CurrentUser, softwareKeyPath(registryKey));
  auto path = key ? key->queryString(kInstallPathValue) : std::nullopt;
  return path && platform.equalsIgnoreCase(withBackslashes(*path), folder);
}

RecoveryOutcome rollBack(AppContext& ctx, const InstallJournal& journal) {
  platform::Platform& platform = ctx.platform;
  const std::string& registryKey = ctx.config.registryKey;
  const std::string& destination = journal.destination;
  // A drive that is not there now (a disk taken out) holds what the run
  // made all the same.
  if (!platform::isFolderAttributes(platform.fileAttributes(destination.substr(0, 3)))) {
    ctx.log("failed: the interrupted installation's drive is missing: " + destination);
    return {Recovery::Unfinished, destination};
  }
  ctx.config.InstallPath = destination;
  ctx.plan.CopyPlan->clear();
  for (const std::string& file : journal.files) ctx.plan.CopyPlan->add(file);
  // How far the ended copy got is not known, so every name the journal
  // lists counts as made by the run: a preserved entry is planned only
  // where nothing stood, and the copy makes it new.
  ctx.copy.AlwaysCopiedCount = static_cast<int>(ctx.plan.CopyPlan->count());
  ctx.plan.CreatedDirs->clear();
  recordInstallPathChain(ctx, *ctx.plan.CreatedDirs);
  for (const std::string& folder : journal.folders) ctx.plan.CreatedDirs->add(joinPath(destination, folder));
  const bool registered = registeredThere(platform, registryKey, destination);
  // A registered run's journal goes with its key, after the registration.
  if (registered) {
    ctx.copy.journalKeysMade.reset();
  } else {
    ctx.copy.journalKeysMade = journal.keysMade;
  }
  if (!RollBackInstall(ctx)) {
    ctx.copy.journalKeysMade.reset();
    ctx.log("failed: the interrupted installation could not be rolled back; its journal stays");
    return {Recovery::Unfinished, destination};
  }
  if (registered) RemoveRegistration(ctx);
  ctx.log("rolled back the interrupted installation into " + destination);
  return {Recovery::RolledBack, destination};
}

}  // namespace

RecoveryOutcome recoverInterruptedInstallation(AppContext& ctx) {
  platform::Platform& platform = ctx.platform;
  InstallerConfig& config = ctx.config;
  // Such a block wrote no journal, and its key may name anything.
  if (brokenNameField(ctx)) return {};
  const StandingJournal standing = readInstallJournal(platform, config.registryKey);
  if (!standing.present) {
    removeEmptyGameKeys(platform, config.registryKey);
    return {};
  }
  const auto& journal = standing.journal;
  if (!journal || !isRemovableInstallPath(journal->destination, config.gameFolder, platform) ||
      isLink(platform, journal->destination)) {
    ctx.log("refused an install journal that is not the game's; removed it, nothing else");
    removeInstallJournal(platform, config.registryKey, 0);
    removeEmptyGameKeys(platform, config.registryKey);
    return {Recovery::Refused, journal ? journal->destination : ""};
  }
  ctx.log("found the journal of an interrupted installation into " + journal->destination);
  const std::string installPath = config.InstallPath;
  RecoveryOutcome outcome = rollBack(ctx, *journal);
  config.InstallPath = installPath;
  return outcome;
}

bool recoveryEndsRun(AppContext& ctx, bool silent) {
  const RecoveryOutcome outcome = recoverInterruptedInstallation(ctx);
  if (outcome.result != Recovery::Unfinished) return false;
  if (silent) return true;
  ctx.platform.messageBox(0, unfinishedRollbackText(outcome.destination), texts::kConfirmCaption, platform::kMbOk);
  return false;
}
