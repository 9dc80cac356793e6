#pragma once
// The fixed names of what an installation puts into the game folder, which
// the installer copies, the menu launches, the registration links to and
// the uninstaller removes.

#include <array>

#include "config/game_folder_names.h"

// The game files copied whenever the medium holds them, in this order.
inline constexpr std::array<const char*, 17> StandardFiles = {
    "SYSTEM.INI", "origin.exe", "SCENARIO.HED", "SCENARIO.DAT", "GRAPHIC.HED", "GRAPHIC.DAT",
    "SOUND.HED",  "SOUND.DAT",  "BGM.HED",      "BGM.DAT",      "VOICE.HED",   "VOICE.DAT",
    "MASK.HED",   "MASK.DAT",   "EXTRA.HED",    "EXTRA.DAT",    "uninst.exe",
};

// The save data, copied only when the destination does not hold it yet.
inline constexpr char kSaveDataFile[] = "SYSTEM.DAT";

// The game's program, started with its one argument.
inline constexpr char kGameProgram[] = "origin.exe";
inline constexpr char kLaunchArgument[] = "/l";

// The uninstaller among the standard files, kUninstallerProgram, is this
// program itself under the name that makes it run as the uninstaller.
