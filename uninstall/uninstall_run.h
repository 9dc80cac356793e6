#pragma once
// One uninstallation as the uninstall dialog and the unattended runs
// (install.exe /S /UNINSTALL, uninst.exe /S) both run it: the installed
// state, the refusals, then the removal. The dialog asks before it removes,
// the unattended runs do not; they differ only in how they report (a message
// box and the dialog's result, or the log and the exit code).

#include <functional>
#include <string>

#include "app/app_context.h"
#include "footprint/block_check.h"
#include "uninstall/removal.h"

// Whether the game is installed, exactly as the menu decides it
// (detectInstalledGame); without the disc its install record is read for the
// removal (recordForRemoval).
bool findInstalledGame(AppContext& ctx);

// How an uninstallation ended.
enum class RemovalEnding {
  Cancelled,   // the question was not answered with OK; nothing removed
  Refused,     // nothing removed: `refusal` says why
  Incomplete,  // something the mode should remove is left: `firstLeft`
  Done,
};

struct UninstallResult {
  RemovalEnding ending = RemovalEnding::Cancelled;
  Refusal refusal{};
  std::string firstLeft{};
};

// Refuses a block whose names break the rules (texts::kBadConfigUninstall
// and the field); then, when there is a question to ask, refuses what
// removalRefusal refuses before asking it, so that nobody confirms a removal
// that does not happen, and ends Cancelled unless `confirmed` says yes;
// then removeInstallation, which checks again (removalRefusalText).
UninstallResult uninstallGame(AppContext& ctx, RemovalMode mode, const std::function<bool()>& confirmed = {});
