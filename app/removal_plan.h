#pragma once
// The uninstaller's plan, apart from the installer's: the files a removal
// deletes (names relative to InstallPath) and the folders it removes,
// recorded parents first and removed from the last to the first.

#include "core/string_list.h"

struct RemovalPlan {
  explicit RemovalPlan(CaseFolding& folding) : files(folding), folders(folding) {}
  StringList files;
  StringList folders;
};
