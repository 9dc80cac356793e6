#pragma once
// install.exe started with arguments: none runs the menu as ever; a script's
// switches (launcher/command_line.h) run it without a window, with a log, or
// show the usage.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "launcher/command_line.h"

namespace platform {
class Platform;
}

// `arguments` are Shift-JIS; nullopt when one of them has no Shift-JIS form
// (a bad command line). Returns the exit code: runInstaller's without
// arguments, kExitBadCommandLine for a bad command line or a log that cannot
// be opened, 0 after the usage.
int runInstallerWithArguments(platform::Platform& platform, const std::optional<std::vector<std::string>>& arguments);

// The usage message box of /?, owned by nothing.
void showUsage(platform::Platform& platform);

// Opens the log of /LOG= when asked for; false when it cannot be opened.
// The sink writes to it while `log` lives.
class RunLog;
bool openRunLog(platform::Platform& platform, const CommandLine& line, std::unique_ptr<RunLog>& log,
                std::function<void(const std::string&)>& sink);
