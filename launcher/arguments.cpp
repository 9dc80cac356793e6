#include "launcher/arguments.h"

#include <memory>

#include "app/app_context.h"
#include "launcher/exit_codes.h"
#include "launcher/file_checks.h"
#include "launcher/install_recovery.h"
#include "launcher/read_installer_config.h"
#include "launcher/run_log.h"
#include "launcher/startup.h"
#include "launcher/unattended.h"
#include "platform/platform.h"
#include "texts.h"

namespace {

// install.exe /S, /VERIFY or /REPAIR: the image check, the block, then the
// work, without the menu.
int runWithoutMenu(platform::Platform& platform, const CommandLine& line,
                   const std::function<void(const std::string&)>& sink) {
  if (!installerImagePasses(platform)) return -1;
  AppContext ctx(platform);
  ctx.plan.createLists(ctx.platform);
  ctx.logSink = sink;
  ReadInstallerConfig(ctx);
  ctx.log("title " + ctx.config.title);
  if (recoveryEndsRun(ctx, line.silent)) return kExitWriteFailed;
  if (line.verify) return verifyInstalledGame(ctx, !line.silent);
  if (line.repair) return repairInstalledGame(ctx, !line.silent);
  return line.uninstall ? uninstallUnattended(ctx, line.deleteAll) : installUnattended(ctx, line.destination);
}

}  // namespace

void showUsage(platform::Platform& platform) {
  platform.messageBox(0, texts::kUsage, texts::kExceptionCaption, platform::kMbOk);
}

bool openRunLog(platform::Platform& platform, const CommandLine& line, std::unique_ptr<RunLog>& log,
                std::function<void(const std::string&)>& sink) {
  if (!line.logFile) return true;
  log = RunLog::open(platform, *line.logFile);
  if (!log) return false;
  RunLog* writer = log.get();
  sink = [writer](const std::string& text) { writer->line(text); };
  return true;
}

int runInstallerWithArguments(platform::Platform& platform, const std::optional<std::vector<std::string>>& arguments) {
  if (!arguments) return kExitBadCommandLine;
  if (arguments->empty()) return runInstaller(platform);
  const ParsedCommandLine parsed = parseCommandLine(*arguments, false);
  if (parsed.error) return kExitBadCommandLine;
  const CommandLine& line = parsed.line;
  if (line.usage) {
    showUsage(platform);
    return kExitDone;
  }
  std::unique_ptr<RunLog> log;
  std::function<void(const std::string&)> sink;
  if (!openRunLog(platform, line, log, sink)) return kExitBadCommandLine;
  const bool withoutMenu = line.silent || line.verify || line.repair;
  const int code = withoutMenu ? runWithoutMenu(platform, line, sink) : runInstaller(platform, {}, sink);
  if (sink) sink(exitCodeLine(code));
  return code;
}
