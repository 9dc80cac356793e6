#pragma once
// The installer's plan: the two lists the block configures, the files the
// copy takes (CopyPlan, names relative to the medium and to InstallPath)
// and the folders made for them (CreatedDirs, parents first), which a
// rollback removes again.

#include <memory>

#include "core/string_list.h"

struct InstallPlan {
  // Creates the four lists, empty, in their order.
  void createLists(CaseFolding& folding) {
    ExtraCopyList = std::make_unique<StringList>(folding);
    PreserveList = std::make_unique<StringList>(folding);
    CopyPlan = std::make_unique<StringList>(folding);
    CreatedDirs = std::make_unique<StringList>(folding);
  }

  // Created by the menu's FormCreate in this order, destroyed by FormClose.
  std::unique_ptr<StringList> ExtraCopyList;
  std::unique_ptr<StringList> PreserveList;
  std::unique_ptr<StringList> CopyPlan;
  std::unique_ptr<StringList> CreatedDirs;
};
