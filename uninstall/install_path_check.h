#pragma once
// The guard in front of every removal: InstallPath comes from the registry,
// where anything may stand, and the removal deletes below it.

#include <string>

// True when `installPath` names a folder below a drive root: a drive letter,
// ":\" (or ":/") and at least one folder name ("C:\Games", also "C:\\Games" as
// composed from a drive root). False for an empty path, a drive root ("C:",
// "C:\", "C:\\"), a relative or UNC path, and a path with a component made
// only of dots and spaces, which Windows folds into its parent ("C:\..",
// "C:\Games\.."). "/" counts as a separator, as it does for Windows. False
// too for text that is not well-formed code page 932 (a lead byte without
// its trail byte), where Windows would see separators this check cannot.
bool isRemovableInstallPath(const std::string& installPath);
