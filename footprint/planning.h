#pragma once
// Which files an installation of the medium copies, and the folders it makes
// for them: the standard game files, the configured entries and the save
// data under the preserve rule. The installer plans its copy with these
// functions (into CopyPlan and CreatedDirs), and the uninstaller the files
// and folders to remove (into its own RemovalPlan), so that both name the
// same. Removing what a plan names goes through the held
// entries of footprint/safe_removal.h.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/app_context.h"
#include "footprint/game_files.h"
#include "footprint/safe_removal.h"

// Why a plan is incomplete, and the relative name of the medium's folder
// where it shows: a member whose name has no Shift-JIS form (it cannot be
// named, so it is not planned), or a listing that failed (a scratched disc).
struct PlanGap {
  enum class Kind { UnrepresentableName, ListingFailed };
  Kind kind;
  std::string folder;
  bool operator==(const PlanGap&) const = default;
};

// Takes each file a plan names, in the plan's order, with its measured size.
using PlannedFileSink = std::function<void(const std::string& name, uint64_t size)>;

// Plans the file `name` (relative to the current directory), or every file
// below the folder `name`, through AddFileToPlan with the same flag. "/"
// separates as "\\" does; the planned names use "\\" alone, one at a time.
// Members whose name begins with "." are passed over, and so is an empty
// name (it would name the root of the current drive). A missing name adds
// nothing. Returns the first gap met; nullopt when every member was planned.
std::optional<PlanGap> AddEntryToPlan(AppContext& ctx, const std::string& name, bool preserve);
// The same, each planned file handed to `take` instead.
std::optional<PlanGap> AddEntryToPlan(AppContext& ctx, const std::string& name, bool preserve,
                                      const PlannedFileSink& take);
// Plans one file: adds its size to TotalBytes and appends it to CopyPlan,
// unless `preserve` is set and the file already stands at the destination.
// A file that cannot be opened is planned all the same with the size 0 (its
// copy reports it).
void AddFileToPlan(AppContext& ctx, const std::string& name, bool preserve);

// Appends the StandardFiles that open on the medium, in table order, and
// adds their sizes to TotalBytes; the preserve rule does not apply to them.
void planStandardFiles(AppContext& ctx);
// The same, each file handed to `take` instead.
void planStandardFiles(AppContext& ctx, const PlannedFileSink& take);

// Appends the folder chain of InstallPath to `folders` (CreatedDirs, or a
// removal's), outermost first: each prefix before a separator from the
// fourth byte on, then InstallPath itself. Only recorded: the installation
// makes the folders itself.
void recordInstallPathChain(AppContext& ctx, StringList& folders);
// Appends to `folders` each folder inside the plan ("%s\%s" of InstallPath
// and a prefix before a separator of an entry of `files`) that it does not
// hold yet, parents first; only recorded, as above.
void recordPlanFolders(AppContext& ctx, const StringList& files, StringList& folders);

// InstallPath opened for removal, to be held while a removal runs below it;
// null when it is missing, cannot be opened, or is a link (nothing is
// removed through a link).
std::unique_ptr<platform::RemovalEntry> openInstallFolder(AppContext& ctx, platform::FileError* error = nullptr);

// Deletes the file of each of the first `count` entries of `files`
// (CopyPlan, or a removal's; all by default) below InstallPath, held as
// `root` (footprint/safe_removal.h: never through a link), reporting each
// one that is still there afterwards. Files never copied are no failure.
// The file `spared` is passed over: the running uninstaller.
void deletePlannedFiles(AppContext& ctx, const StringList& files, platform::RemovalEntry& root,
                        RemovalReport& report, const SparedFile& spared = std::nullopt, size_t count = SIZE_MAX);
// Removes the `folders` (CreatedDirs, or a removal's) from the last to the
// first, so children go before their parents; a folder that still holds
// anything stays, and so does a link. Folders below InstallPath are reached
// from `root`, its held entry (null when there is none), and InstallPath
// itself is removed through it.
void removeCreatedDirs(AppContext& ctx, const StringList& folders, std::unique_ptr<platform::RemovalEntry> root);
// The same with InstallPath opened here.
void removeCreatedDirs(AppContext& ctx, const StringList& folders);
// Only those of `folders` below InstallPath, from the last to the first,
// reached from `root`; InstallPath and the folders above it stay.
void removeCreatedDirsBelow(AppContext& ctx, const StringList& folders, platform::RemovalEntry& root);
// The rest, once those below are gone: InstallPath through `root` (null
// when there is none), then the recorded folders above it.
void removeCreatedDirsAbove(AppContext& ctx, const StringList& folders, std::unique_ptr<platform::RemovalEntry> root);

// The size of an open stream, measured as the position of its end; leaves
// the stream positioned there. 0 when the position cannot be told.
uint64_t measureSize(platform::Stream& stream);
