#pragma once
// Recording a finished installation: the per-user registry value PATH and
// the Start-menu shortcuts. The uninstaller removes exactly these, composing
// the names the same way (installed/names.h).

#include <string>

#include "app/app_context.h"
#include "installed/names.h"

void RegisterInstall(AppContext& ctx);
void CreateShortcut(platform::Platform& platform, const std::string& linkFile, const std::string& target,
                    const std::string& arguments, const std::string& workingDirectory);
