#pragma once
// The start of the program, in every mode (the menu, /S, uninst.exe),
// finishes the rollback of an installation that a process ended without
// warning left behind (footprint/install_journal.h), before anything else
// and without asking.

#include <string>

#include "app/app_context.h"

enum class Recovery {
  Nothing,     // no journal stands
  RolledBack,  // the run's files, folders and registration are gone, and the journal
  Refused,     // the journal was unusable or named a folder the guard refuses:
               // nothing was removed by it, and it is gone
  Unfinished,  // something is left (a file in use, the drive missing): the journal stays
};

struct RecoveryOutcome {
  Recovery result = Recovery::Nothing;
  std::string destination;  // the run's InstallPath, once the journal was read
};

// Rolls back the run the journal names with RollBackInstall's rules: its
// planned files and the install record are deleted and its folders removed
// as far as they are empty, each reached through the destination without
// following a link. The journal lives in the per-user registry, where any
// program of the player's may write, so its destination must pass the same
// guard as PATH (isRemovableInstallPath, not a link) and its names must be
// sound relative names, or nothing is removed by it. A run that had got as
// far as its registration (PATH names its destination) loses that too,
// shortcuts and the entry of the installed apps first, the game's key
// (with the journal) last. What happened goes to the log. The block is
// loaded and the lists exist; InstallPath, CopyPlan and CreatedDirs are
// used, InstallPath is put back.
RecoveryOutcome recoverInterruptedInstallation(AppContext& ctx);

// The recovery at the start of a run: an unfinished rollback is told in a
// message box with no owner (nothing is on the screen yet), unless the run
// is silent (/S), and the run goes on. True when it is unfinished in a
// silent run, which then ends with kExitWriteFailed.
bool recoveryEndsRun(AppContext& ctx, bool silent);
