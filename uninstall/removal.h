#pragma once
// The removal behind the uninstall dialog, without its questions: files of
// the chosen mode, then the collected folders, then the registration.

#include <optional>
#include <string>

#include "app/app_context.h"

enum class RemovalMode {
  KeepSaveData,  // only the files an installation copies unconditionally
  DeleteAll,     // everything below InstallPath but names beginning with "."
};

// Why a removal is refused before anything is removed.
enum class RemovalRefusal {
  None,
  UnsafeInstallPath,  // isRemovableInstallPath refuses InstallPath
  LinkedInstallPath,  // InstallPath is a junction or symbolic link
  NoInstallRecord,    // keep save data without the disc, and no usable record
};

struct RemovalOutcome {
  RemovalRefusal refusal = RemovalRefusal::None;
  // The first file or folder that the mode should have removed and that is
  // still there (held by the running game, read-only, unreadable); the
  // registration is then kept, so that the removal can be tried again.
  std::optional<std::string> firstLeft;
  bool complete() const { return refusal == RemovalRefusal::None && !firstLeft; }
};

// What the uninstall dialog tells of a refusal (texts.h): the reason, and
// for a link the folder.
std::string removalRefusalText(RemovalRefusal refusal, const AppContext& ctx);

// Whether InstallPath may be removed from at all in `mode`; checked before
// asking.
RemovalRefusal removalRefusal(AppContext& ctx, RemovalMode mode);

// Rebuilds the removal's files (ctx.removal) as those an installation
// copies whatever stands at the destination: the StandardFiles present in
// the current directory (the medium), then the ExtraCopyList entries
// planned without the preserve rule; without the disc (ctx.discFree), the files of the install record.
// Save data and files the game or the user made are never named.
void planGameData(AppContext& ctx);

// The install record in InstallPath, for the removal without the disc; an
// empty one when an earlier removal, ended before its end, got past every
// file and the record (RemovalStage::Folders), so that only folders and the
// registration are left to remove. nullopt when there is none.
std::optional<InstallRecord> recordForRemoval(AppContext& ctx);

// The name the spared uninstaller takes in its parking folder.
inline constexpr char kParkedUninstaller[] = "original-uninst.exe";

// Removes the installation at InstallPath in `mode`: clears the removal's folders,
// deletes the files (keep save data: the planned files, and collects the
// InstallPath chain and the plan's subfolders, or the recorded folders
// without the disc; delete all: DeleteTreeContents on InstallPath, and
// collects the chain), removes the install record, removes the collected
// folders from last to first as far as they are empty, and, when nothing the
// mode should remove is left, calls RemoveRegistration. The running
// uninstaller (DiscFreeUninstall::sparedUninstaller) is spared and, at the
// end, parked. Refused, changing nothing at all, when removalRefusal says so.
RemovalOutcome removeInstallation(AppContext& ctx, RemovalMode mode);

// After the spared uninstaller's program has ended: deletes it where it
// stands (parked, or in the game folder when it could not be parked) and,
// in the second case, removes the game folder's chain as far as it is
// empty.
void removeSparedUninstaller(AppContext& ctx);
