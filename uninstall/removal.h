#pragma once
// The removal behind the uninstall dialog, without its questions: files of
// the chosen mode, then the collected folders, then the registration.

#include "app/app_context.h"

enum class RemovalMode {
  KeepSaveData,  // only the files an installation copies unconditionally
  DeleteAll,     // everything below InstallPath but names beginning with "."
};

// Rebuilds CopyPlan as the files an installation copies whatever stands at
// the destination: the StandardFiles present in the current directory (the
// medium), then the ExtraCopyList entries planned without the preserve
// rule. Save data and files the game or the user made are never named.
void planGameData(AppContext& ctx);

// Removes the installation at InstallPath in `mode`: clears CreatedDirs,
// deletes the files (keep save data: the planned files, and collects the
// InstallPath chain and the plan's subfolders; delete all: DeleteTreeContents
// on InstallPath, and collects the chain), removes the collected folders
// from last to first as far as they are empty, and calls RemoveRegistration.
// Failures of single steps are silent. Returns false, having changed
// nothing at all, when isRemovableInstallPath refuses InstallPath.
bool removeInstallation(AppContext& ctx, RemovalMode mode);
