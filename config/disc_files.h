#pragma once
// The medium's files that every installation plans by name, whatever the
// block says: the game's standard files and the save data. install.exe plans
// them, and instcfg lists them in install.sha256.

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
