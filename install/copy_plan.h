#pragma once
// Which files an installation copies: the standard game files, the
// configured entries and the save data under the preserve rule. The
// uninstaller plans with the same functions to find the files to delete.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/app_context.h"

// The game files copied whenever the medium holds them, in this order.
inline constexpr std::array<const char*, 17> StandardFiles = {
    "SYSTEM.INI", "origin.exe", "SCENARIO.HED", "SCENARIO.DAT", "GRAPHIC.HED", "GRAPHIC.DAT",
    "SOUND.HED",  "SOUND.DAT",  "BGM.HED",      "BGM.DAT",      "VOICE.HED",   "VOICE.DAT",
    "MASK.HED",   "MASK.DAT",   "EXTRA.HED",    "EXTRA.DAT",    "uninst.exe",
};

// The save data, copied only when the destination does not hold it yet.
inline constexpr char kSaveDataFile[] = "SYSTEM.DAT";

// Plans the file `name` (relative to the current directory), or every file
// below the folder `name`, through AddFileToPlan with the same flag. Members
// whose name begins with "." are passed over, and so is an empty name (it
// would name the root of the current drive). A missing name adds nothing.
// Returns the relative name of the first folder met that holds a member
// whose name has no Shift-JIS form (such a member cannot be named, so it
// is not planned); nullopt when every member was planned.
std::optional<std::string> AddEntryToPlan(AppContext& ctx, const std::string& name, bool preserve);
// Plans one file: adds its size to TotalBytes and appends it to CopyPlan,
// unless `preserve` is set and the file already stands at the destination.
// A file that cannot be opened is planned all the same with the size 0 (its
// copy reports it).
void AddFileToPlan(AppContext& ctx, const std::string& name, bool preserve);

// Appends the StandardFiles that open on the medium, in table order, and
// adds their sizes to TotalBytes; the preserve rule does not apply to them.
void planStandardFiles(AppContext& ctx);

// Appends the folder chain of InstallPath to CreatedDirs, outermost first:
// each prefix before a separator from the fourth byte on, then InstallPath
// itself; creates each folder too when `create` is set.
void recordInstallPathChain(AppContext& ctx, bool create);
// Appends to CreatedDirs each folder inside the plan ("%s\%s" of InstallPath
// and a CopyPlan entry's prefix before a separator) that it does not hold
// yet, parents first; creates each one too when `create` is set.
void recordPlanFolders(AppContext& ctx, bool create);

// Plans an installation: empties CopyPlan and CreatedDirs, plans
// StandardFiles, ExtraCopyList, SYSTEM.DAT and PreserveList in this order,
// and sets TotalBytes and FileCount. Returns, as AddEntryToPlan does, the
// first folder holding a name that cannot be planned: the plan is then
// incomplete and must not be installed.
std::optional<std::string> planCopy(AppContext& ctx);
// Deletes "%s\%s" of InstallPath and every CopyPlan entry; failures (files
// never copied, read-only files) pass silently.
void deletePlannedFiles(AppContext& ctx);
// Removes the folder when it is empty, but never a junction or symbolic
// link (attribute 0x400): Windows would remove the link even while its
// target holds files, and an ancestor of the game folder may be the user's
// link to another drive.
void removeFolderUnlessLinked(platform::Platform& platform, const std::string& folder);
// Removes the CreatedDirs folders from the last to the first, so children go
// before their parents; a folder that still holds anything stays, and so
// does a link.
void removeCreatedDirs(AppContext& ctx);

// Creates the folder chain of InstallPath and the plan's folders, recording
// each in CreatedDirs.
void createInstallFolders(AppContext& ctx);

// The size of an open stream, measured as the position of its end; leaves
// the stream positioned there. 0 when the position cannot be told.
uint64_t measureSize(platform::Stream& stream);
