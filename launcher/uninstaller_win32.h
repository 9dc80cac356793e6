#pragma once
// The program started as uninst.exe on Windows. A running image cannot be
// deleted, and the folder that holds it cannot be removed, so the
// uninst.exe the player (or a script) starts copies itself into a folder of
// the user's temp folder, starts the copy, and waits for it; the copy does
// the work (runUninstaller), spares the waiting uninst.exe and, once
// everything else is gone, moves it out of the game folder, tells its exit
// code to the waiting one, which ends with it, and deletes what is left of
// the original once it has ended. The copy's own file stays in the temp
// folder: Windows deletes no running image.

#include <string>
#include <vector>

namespace platform {
class Win32Platform;
}

// The exit code of the uninstallation. `arguments` are the program's, its
// name not among them.
int runAsUninstaller(platform::Win32Platform& platform, const std::wstring& modulePath,
                     const std::vector<std::wstring>& arguments);

// True when the program's file is named uninst.exe, in any letter case.
bool isUninstallerImage(const std::wstring& modulePath);
