#pragma once
// Undoing the registration of an installation: the per-user key that holds
// PATH, and the Start-menu shortcuts with their group folders. Every failure
// is silent; both functions always return to their caller.

#include "app/app_context.h"

// Calls RemoveShortcuts, then deletes the game's entry in the list of
// installed apps, HKCU "software\<registryKey>" (PATH with it, last, so
// that a removal ended before it still finds the game) and, for a
// registryKey of more than one level, the first-level key
// "software\<first>" when it has no subkeys left (its values do not count).
// Deeper levels are never examined. An empty registryKey (or first level)
// deletes no key, so "software" itself is never named.
void RemoveRegistration(AppContext& ctx);

// With a menuGroup and a readable Programs folder P: deletes the game's and
// the uninstaller's link files and each extra one whose flag is set from
// "P\<menuGroup>", then removes that folder and each folder above it up to
// and including P, innermost first, as far as they are empty. Folders
// above P are never tried.
void RemoveShortcuts(AppContext& ctx);
