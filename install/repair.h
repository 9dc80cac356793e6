#pragma once
// install.exe /REPAIR: the files of the install record that verification
// found missing or damaged are copied again from the medium, through the
// same copy engine as an installation and checked as it checks them, and no
// other file is touched: not the preserved entries, not what the game wrote.

#include "app/app_context.h"
#include "footprint/verification.h"
#include "install/installation.h"

// Copies again exactly `found`'s missing and damaged files of `record`
// from the medium (the current directory) into InstallPath. Each is checked
// against the medium's install.sha256, or, where the medium has none,
// against the digest the record kept. On a stop the files copied and checked
// so far stay, and the file the copy stopped in is deleted (it is not
// whole); the step tells why, and never asks for a rollback.
InstallStep repairInstallation(AppContext& ctx, const InstallRecord& record, const Verification& found);
