#pragma once
// The guard in front of every removal: InstallPath comes from the registry,
// where anything may stand, and the removal deletes below it. The
// destination dialog applies the same rule before anything is installed,
// so that every installation can be removed again.

#include <string>

#include "core/case_folding.h"

// True when `installPath` names the game's own folder below a drive root: a
// drive letter, ":\" (or ":/"), and folder names of which the last ones are
// `gameFolder`'s (ignoring letter case as the user's locale does). Every
// name must mean to Windows what it spells: none made only of dots and
// spaces ("C:\Games\.."), none ending in a dot or a space, no device name,
// no character Windows refuses. Repeated separators collapse and "/" counts
// as one, as for Windows. False for an empty path, a drive root, a relative
// or UNC path, an empty or unsound `gameFolder`, and text that is not
// well-formed code page 932 (a lead byte without its trail byte), where
// Windows would see separators this check cannot.
bool isRemovableInstallPath(const std::string& installPath, const std::string& gameFolder, CaseFolding& folding);
