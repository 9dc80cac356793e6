#pragma once
// /VERIFY: the installed files compared with the digests their install
// record kept, so that no disc is needed. Only the record's files are
// judged: the preserved entries and whatever the game wrote are not in it,
// since the player changes them.

#include <string>
#include <vector>

#include "app/app_context.h"

struct Verification {
  // Names relative to InstallPath, in the record's order.
  std::vector<std::string> missing;
  std::vector<std::string> damaged;   // other bytes than recorded, or unreadable
  std::vector<std::string> unjudged;  // there, but no digest to compare with
  int intact = 0;
  bool sound() const { return missing.empty() && damaged.empty(); }
};

// Reads every file of the record below InstallPath through ctx.copy.CopyBuffer
// and compares its digest with the recorded one. A file without a recorded
// digest (a record of an earlier build), or where the system computes none,
// is only looked for.
Verification verifyInstallation(AppContext& ctx, const InstallRecord& record);
