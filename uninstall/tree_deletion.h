#pragma once
// Emptying a folder for the delete-all removal.

#include <string>

#include "platform/platform.h"

// Deletes every file and subfolder below `folder` (a full path without a
// trailing separator), not the folder itself. Names beginning with "." are
// passed over and survive, with every folder above them. A member whose
// attributes cannot be read ends the listing of its folder; the caller one
// level up goes on. A junction or symbolic link to a folder is removed as a
// link and never entered, so its target is left alone. Read-only files are
// not made writable: they stay, and so do their folders. Nothing is
// reported. The caller vouches for `folder` (an empty one would name the
// root of the current drive).
void DeleteTreeContents(platform::Platform& platform, const std::string& folder);
