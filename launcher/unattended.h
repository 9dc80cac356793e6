#pragma once
// Installing and uninstalling for scripts (/S): the dialogs' own runs
// (install/install_run, uninstall/uninstall_run), with no window and no
// message box. What happens goes to ctx.log, how it ended to the exit code
// (launcher/exit_codes.h).

#include <optional>
#include <string>

#include "app/app_context.h"
#include "install/installation.h"
#include "uninstall/uninstall_run.h"

// Installs into `typed` (the text a player would type; gameFolder is
// appended), or into the proposed destination when there is none. The
// configuration is loaded, the lists exist.
int installUnattended(AppContext& ctx, const std::optional<std::string>& typed);

// The exit code that tells a script why an installation stopped.
int exitCodeOf(InstallStop stop);
// The exit code of how an uninstallation ended, with or without its dialog.
int exitCodeOf(RemovalEnding ending);

// Removes the installation: keep-save-data (from the medium, or without the
// disc from the install record) or delete-all. The configuration is loaded,
// the lists exist.
int uninstallUnattended(AppContext& ctx, bool deleteAll);
