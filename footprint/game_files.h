#pragma once
// The fixed names of what an installation puts into the game folder, which
// the installer copies, the menu launches, the registration links to and
// the uninstaller removes.

// StandardFiles and the save data's name (config/disc_files.h).
#include "config/disc_files.h"

// The game's program, started with its one argument.
inline constexpr char kGameProgram[] = "origin.exe";
inline constexpr char kLaunchArgument[] = "/l";

// The uninstaller among the standard files, kUninstallerProgram, is this
// program itself under the name that makes it run as the uninstaller.
