#pragma once
// /VERIFY and /REPAIR: the installed files checked against the digests of
// the install record (uninst.exe and install.exe alike, without the disc),
// and the missing and damaged ones copied again from the disc (install.exe).
// Each tells its result in a message box when asked to, and in the log.

#include "app/app_context.h"

// The exit code: kExitDone when no file of the record is missing or
// damaged (files without a recorded digest are named as not judged),
// kExitDamaged when one is, kExitInstalledState when the game is not
// installed, kExitRefused without a usable record. With `tell`, a message
// box gives the result and the first names. The configuration is loaded.
int verifyInstalledGame(AppContext& ctx, bool tell);

// The files /VERIFY finds missing or damaged copied again from the medium,
// checked as an installation checks them, then the result of /VERIFY; a
// stop ends with its installation's exit code. Refused (kExitRefused) for a
// block whose names break the rules or an InstallPath the guard refuses.
int repairInstalledGame(AppContext& ctx, bool tell);
