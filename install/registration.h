#pragma once
// Recording a finished installation: the per-user registry value PATH and
// the Start-menu shortcuts. The uninstaller removes exactly these, composing
// the names the same way.

#include <optional>
#include <string>

#include "app/app_context.h"

inline constexpr char kInstallPathValue[] = "PATH";

// "software\%s" with registryKey (or any other name).
std::string softwareKeyPath(const std::string& name);
// The user's Start-menu programs folder from the registry ("Shell Folders",
// value "Programs"); nullopt when it cannot be read.
std::optional<std::string> readProgramsFolder(platform::Platform& platform);
// "%s\%s.lnk" of a folder and a link name.
std::string linkFilePath(const std::string& folder, const std::string& linkName);

void RegisterInstall(AppContext& ctx);
void CreateShortcut(platform::Platform& platform, const std::string& linkFile, const std::string& target,
                    const std::string& arguments, const std::string& workingDirectory);
