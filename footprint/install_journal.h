#pragma once
// The install journal: what a running installation will make, written
// before its first folder and removed once the installation is registered
// or rolled back. A process ended without warning (End task, a crash, a
// power cut) leaves it behind, and the next start of the program, in any
// mode, finds it without the game folder and finishes that run's rollback.
//
// It is the string value "InstallJournal" of the game's per-user key
// "software\<registryKey>", beside PATH, which the installed state does not
// read. Its text (Shift-JIS, lines ending in "\n"):
//
//   install journal 1
//   destination<TAB>D:\Games\Title
//   keys made<TAB>1
//   folder<TAB>data
//   file<TAB>SYSTEM.INI
//   file<TAB>data\a.bin
//
// "keys made" counts the levels of the game's key, innermost first, that
// the run made only for the journal: they go with it. Folders and files
// are relative to the destination, as the plan names them; the destination's
// own chain of folders follows from it. Anything else, or a name that is not
// a sound relative name inside the destination (config/name_rules), makes
// the journal unusable.

#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"

inline constexpr char kInstallJournalValue[] = "InstallJournal";

struct InstallJournal {
  std::string destination;           // InstallPath
  int keysMade = 0;                  // levels of the game's key made for it
  std::vector<std::string> folders;  // the plan's folders, parents first
  std::vector<std::string> files;    // every planned file
  bool operator==(const InstallJournal&) const = default;
};

std::string formatInstallJournal(const InstallJournal& journal);
// The journal a text holds; nullopt for a damaged or foreign one.
std::optional<InstallJournal> parseInstallJournal(const std::string& text);

// The journal of the installation planned in ctx (InstallPath, CopyPlan and
// the plan's folders, which it computes as recordPlanFolders does), written
// into the game's key, creating the key where it is missing, and put on the
// disk before it returns. Sets ctx.copy.journalKeysMade. False, with nothing
// left behind, when it could not be written.
bool writeInstallJournal(AppContext& ctx);

// What stands under the game's key: nothing, a usable journal, or a value
// that is none.
struct StandingJournal {
  bool present = false;
  std::optional<InstallJournal> journal;
};
StandingJournal readInstallJournal(platform::Platform& platform, const std::string& registryKey);

// Removes the journal and, innermost first, the `keysMade` levels of the
// game's key that were made for it (each only while it holds no other key).
// The game's key itself goes with its values: the caller gives 0 once the
// key holds the registration.
void removeInstallJournal(platform::Platform& platform, const std::string& registryKey, int keysMade);

// The game's key and the keys above it below "software", innermost first,
// each deleted while it holds no value and no key: what a run ended between
// making the key and writing its journal into it leaves.
void removeEmptyGameKeys(platform::Platform& platform, const std::string& registryKey);

// What the player is told while a journal stands that its start could not
// finish: the rollback of the installation into `destination` is not done,
// and what to do.
std::string unfinishedRollbackText(const std::string& destination);
