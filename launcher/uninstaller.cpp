#include "launcher/uninstaller.h"

#include "app/app_context.h"
#include "installed/install_record.h"
#include "installed/installed_state.h"
#include "launcher/exit_codes.h"
#include "launcher/read_installer_config.h"
#include "texts.h"
#include "toolkit/toolkit.h"
#include "uninstall/removal.h"
#include "uninstall/uninsform.h"

namespace {

int exitCodeOf(Tuninsform::Ending ending) {
  switch (ending) {
    case Tuninsform::Ending::Done: return kExitDone;
    case Tuninsform::Ending::Cancelled: return kExitCancelled;
    case Tuninsform::Ending::Refused: return kExitRefused;
    case Tuninsform::Ending::Incomplete: return kExitWriteFailed;
  }
  return kExitCancelled;
}

}  // namespace

int runUninstaller(platform::Platform& platform, const UninstallerStart& start,
                   const BeforeMessageLoop& beforeMessageLoop) {
  if (!installerImagePasses(platform, start.image)) return -1;

  AppContext ctx(platform);
  ctx.createLists();
  ReadInstallerConfig(ctx, start.image);
  ctx.discFree = DiscFreeUninstall{std::nullopt, start.sparedUninstaller, start.parking};
  toolkit::Application application(platform);
  int code = kExitCancelled;
  try {
    application.initialize();
    ctx.uninsform = &application.createForm<Tuninsform>(ctx);
    // Installed exactly as the menu decides it.
    if (!detectInstalledGame(ctx)) {
      platform.messageBox(0, texts::kNotInstalled, texts::kUninstallConfirmCaption, platform::kMbOk);
      code = kExitInstalledState;
    } else {
      ctx.discFree->record = readInstallRecord(platform, ctx.config.InstallPath);
      if (beforeMessageLoop) beforeMessageLoop(application, ctx);
      ctx.uninsform->showModal();
      code = exitCodeOf(ctx.uninsform->ending());
    }
  } catch (const toolkit::Exception& error) {
    application.showException(error);
  }
  if (start.reportAndAwaitEnd) start.reportAndAwaitEnd(code);
  // The spared uninstaller's program has ended: what is left of it goes.
  if (code == kExitDone) removeSparedUninstaller(ctx);
  return code;
}
