#pragma once
// Rules for the names that install.exe joins to a folder: list entries, the
// game folder and the extra items' files below the destination, and the
// Start-menu group and link names below the Programs folder. They must
// stay inside that folder and mean there what they say, or uninstalling
// could remove what the game never installed.

#include <optional>
#include <string>

// Why a Shift-JIS relative name is unsafe ("is empty", "is absolute",
// "carries a drive", "climbs out of the folder with \"..\""), or nullopt
// when it is fine. Both "\" and "/" count as separators.
std::optional<std::string> relativeNameProblem(const std::string& sjis);

// relativeNameProblem, and also a name of which a part is made only of dots
// and spaces (Windows folds "." and "..." into the folder above) or holds a
// character Windows refuses in names.
std::optional<std::string> placedNameProblem(const std::string& sjis);

// Why a group or link name, which may be empty, is unsafe: a separator at
// either end, a part ".." or made only of dots and spaces, or a character
// Windows refuses in names.
std::optional<std::string> linkNameProblem(const std::string& sjis);
