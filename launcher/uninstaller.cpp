#include "launcher/uninstaller.h"

#include "app/app_context.h"
#include "config/game_folder_names.h"
#include "core/sjis.h"
#include "footprint/install_record.h"
#include "footprint/installed_state.h"
#include "launcher/exit_codes.h"
#include "launcher/file_checks.h"
#include "launcher/install_recovery.h"
#include "launcher/read_installer_config.h"
#include "launcher/unattended.h"
#include "texts.h"
#include "toolkit/toolkit.h"
#include "uninstall/removal.h"
#include "uninstall/uninsform.h"

namespace {

// Tells the waiting program, then, once it has ended, removes what is left
// of it after a complete removal.
void finishRun(AppContext& ctx, const UninstallerStart& start, int code) {
  ctx.log(exitCodeLine(code));
  if (start.reportAndAwaitEnd) start.reportAndAwaitEnd(code);
  if (code == kExitDone) removeSparedUninstaller(ctx);
}

// The relay's copy works only for the game's own uninst.exe: the program
// that waits for it runs that file, and the file to spare is that file. A
// command line another program made up names anything else.
bool relayProvesItself(AppContext& ctx, const UninstallerStart& start) {
  const auto installed = ctx.platform.fileIdentity(joinPath(ctx.config.InstallPath, kUninstallerProgram));
  return installed && start.waitingImage == installed && ctx.discFree->sparedIdentity == installed;
}

}  // namespace

int runUninstaller(platform::Platform& platform, const UninstallerStart& start,
                   const BeforeMessageLoop& beforeMessageLoop) {
  if (!installerImagePasses(platform, start.image)) return -1;

  AppContext ctx(platform);
  ctx.plan.createLists(ctx.platform);
  ctx.logSink = start.logSink;
  ReadInstallerConfig(ctx, start.image);
  ctx.log("title " + ctx.config.title);
  if (start.line.verify) {
    // Nothing of the game is removed, so nothing is spared, relayed or
    // waited for; an interrupted installation is still finished first.
    const int code =
        recoveryEndsRun(ctx, start.line.silent) ? kExitWriteFailed : verifyInstalledGame(ctx, !start.line.silent);
    ctx.log(exitCodeLine(code));
    return code;
  }
  ctx.discFree = DiscFreeUninstall{std::nullopt, start.sparedUninstaller, start.parking,
                                   platform.fileIdentity(start.sparedUninstaller)};
  // Before anything is asked or removed; a game that is not installed is
  // told as such below, with nothing removed either.
  if (start.relayed && detectInstalledGame(ctx) && !relayProvesItself(ctx, start)) {
    ctx.log("failed: the relay names another file than the game's uninstaller");
    ctx.log(exitCodeLine(kExitBadCommandLine));
    return kExitBadCommandLine;
  }
  if (start.line.silent) {
    const int code =
        recoveryEndsRun(ctx, true) ? kExitWriteFailed : uninstallUnattended(ctx, start.line.deleteAll);
    finishRun(ctx, start, code);
    return code;
  }
  toolkit::Application application(platform);
  int code = kExitCancelled;
  try {
    application.initialize();
    Tuninsform& uninsform = application.createForm<Tuninsform>(ctx);
    recoveryEndsRun(ctx, false);
    // Installed exactly as the menu decides it.
    if (!findInstalledGame(ctx)) {
      platform.messageBox(0, texts::kNotInstalled, texts::kUninstallConfirmCaption, platform::kMbOk);
      code = kExitInstalledState;
    } else {
      if (beforeMessageLoop) beforeMessageLoop(application, ctx);
      uninsform.showModal();
      code = exitCodeOf(uninsform.ending());
    }
  } catch (const toolkit::Exception& error) {
    application.showException(error);
  }
  finishRun(ctx, start, code);
  return code;
}
