#pragma once
// Emptying a folder for the delete-all removal.

#include <string>
#include <vector>

#include "footprint/safe_removal.h"
#include "platform/platform.h"

// Deletes every file and folder below `folder` (an absolute path), not the
// folder itself, each opened without following a link and removed through
// what was opened (footprint/safe_removal.h). Each member that should go and
// stays is reported. Names beginning with "." and names without a Shift-JIS
// form are left by design, with every folder above them, and are not
// reported. A link inside is removed as a link, never entered. Read-only
// files are not made writable: they stay and are reported. A member that
// cannot be removed does not stop its siblings. Returns true when something
// was left by design, so that the folder itself cannot go. A missing folder
// is nothing to remove; a folder that is a link is neither entered nor
// reported (the guard refuses it before). The files `spared`, known by their
// identity, are passed over and not reported: the running uninstaller, which
// goes once its program has ended, and the install record, which goes last.
bool DeleteTreeContents(platform::Platform& platform, const std::string& folder, RemovalReport& report,
                        const std::vector<platform::FileIdentity>& spared = {});
// The same for the held folder `folder`, whose path is `path` (for the
// report): what it holds is reached from it alone.
bool DeleteTreeContents(platform::RemovalEntry& folder, const std::string& path, RemovalReport& report,
                        const std::vector<platform::FileIdentity>& spared = {});
