#pragma once
// How the menu, and the uninstaller started without the disc, know that the
// game is installed.

#include "app/app_context.h"

// Reads HKCU "software\<registryKey>" value PATH into InstallPath ("/" read
// as "\") and tells whether origin.exe opens in that folder: the game counts
// as installed exactly then. A key that does not open, or a PATH that is
// missing, empty, not a string, too long or without a Shift-JIS form,
// leaves InstallPath as it was and means not installed (an empty
// InstallPath would make "\origin.exe" the medium's own program).
bool detectInstalledGame(AppContext& ctx);
