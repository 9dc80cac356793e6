#pragma once
// How the menu, and the uninstaller started without the disc, know that the
// game is installed.

#include "app/app_context.h"

// Reads HKCU "software\<registryKey>" value PATH into InstallPath ("/" read
// as "\") and tells whether origin.exe opens in that folder, or an
// uninstallation has marked the key (it may have removed origin.exe
// already): the game counts as installed exactly then. A key that does not
// open, or a PATH that is missing, empty, not a string, too long or without
// a Shift-JIS form, leaves InstallPath as it was and means not installed (an
// empty InstallPath would make "\origin.exe" the medium's own program).
bool detectInstalledGame(AppContext& ctx);

// How far an uninstallation that ended before its end got. It marks the
// game's key beside PATH before it removes anything (Files), and again once
// every file of its mode and the install record are gone (Folders: only
// folders and the registration are left); the mark goes with the key at
// the end. So an uninstallation ended at any point leaves the game
// registered, and the next one finishes it.
enum class RemovalStage { None, Files, Folders };
RemovalStage removalStage(platform::Platform& platform, const std::string& registryKey);
// Sets the mark and puts it on the disk; false when it could not.
bool markRemoval(platform::Platform& platform, const std::string& registryKey, RemovalStage stage);
