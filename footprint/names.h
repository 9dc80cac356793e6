#pragma once
// The names under which an installation is registered, composed the same
// way by the installer that writes them, the menu and the uninstaller that
// read them, and the uninstaller that removes them.

#include <optional>
#include <string>

#include "platform/platform.h"

// The per-user value that holds InstallPath, below "software\<registryKey>".
inline constexpr char kInstallPathValue[] = "PATH";
// Beside it while an uninstallation has not finished (installed_state.h).
inline constexpr char kRemovalValue[] = "Uninstalling";

// "software\%s" with registryKey (or any other name).
std::string softwareKeyPath(const std::string& name);

// The user's Start-menu programs folder from the registry ("Shell Folders",
// value "Programs"); nullopt when it cannot be read.
std::optional<std::string> readProgramsFolder(platform::Platform& platform);
// "%s\%s.lnk" of a folder and a link name.
std::string linkFilePath(const std::string& folder, const std::string& linkName);

// The per-user key of the game's entry in Windows' list of installed apps:
// "Software\Microsoft\Windows\CurrentVersion\Uninstall\<id>", where <id> is
// registryKey with each "\" turned into "_" (a key name holds no "\"), the
// same for every installation of the title.
std::string uninstallEntryKeyPath(const std::string& registryKey);
