#pragma once
// Recording a finished installation: the per-user registry value PATH and
// the Start-menu shortcuts. The uninstaller removes exactly these, composing
// the names the same way (footprint/names.h).

#include <string>

#include "app/app_context.h"
#include "footprint/names.h"

// Writes PATH, the entry in Windows' list of installed apps (when uninst.exe
// was installed), and, with a menuGroup, the group folders and shortcuts.
void RegisterInstall(AppContext& ctx);
// The per-user entry of the list of installed apps (footprint/names.h): the
// title with the wide API, the quoted uninst.exe and its silent form, the
// folder, origin.exe as icon, parentFolder as publisher, the size in KiB,
// today's date, no modify or repair. Nothing when uninst.exe is not in
// CopyPlan.
void registerUninstallEntry(AppContext& ctx);
// Writes one shortcut; false, with the cause in `error` when asked, when it
// could not be written.
bool CreateShortcut(platform::Platform& platform, const std::string& linkFile, const std::string& target,
                    const std::string& arguments, const std::string& workingDirectory,
                    platform::FileError* error = nullptr);
