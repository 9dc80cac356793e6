#include "launcher/startup.h"

#include "app/app_context.h"
#include "install/dirform.h"
#include "install/iform.h"
#include "install/instform.h"
#include "launcher/mform.h"
#include "launcher/read_installer_config.h"
#include "toolkit/toolkit.h"
#include "uninstall/uninsform.h"

int runInstaller(platform::Platform& platform, const BeforeMessageLoop& beforeMessageLoop,
                 const std::function<void(const std::string&)>& logSink) {
  if (!installerImagePasses(platform)) return -1;

  // Declared before the application: the forms refer to the context until
  // the application destroys them.
  AppContext ctx(platform);
  ctx.logSink = logSink;
  toolkit::Application application(platform);
  try {
    application.initialize();
    // Each form reaches the others through the application, by their type.
    application.createForm<Tmform>(ctx);
    application.createForm<Tinstform>(ctx);
    application.createForm<Tdirform>(ctx);
    application.createForm<Tiform>(ctx);
    application.createForm<Tuninsform>(ctx);
    if (beforeMessageLoop) beforeMessageLoop(application, ctx);
    application.run();
  } catch (const toolkit::Exception& error) {
    application.showException(error);
  }
  return 0;
}
