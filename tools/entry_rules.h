#pragma once
// Rules for the names that install.exe joins to a destination folder: list
// entries and the game folder. They must stay inside that folder, or
// uninstalling could remove what the game never installed.

#include <optional>
#include <string>

// Why a Shift-JIS relative name is unsafe ("is empty", "is absolute",
// "carries a drive", "climbs out of the folder with \"..\""), or nullopt
// when it is fine. Both "\" and "/" count as separators.
std::optional<std::string> relativeNameProblem(const std::string& sjis);
