#pragma once
// The installer's plan: what one installation copies, its folders made and
// recorded, and the checks before the first file.

#include <optional>
#include <string>

#include "app/app_context.h"
#include "footprint/planning.h"

// Plans an installation: empties CopyPlan and CreatedDirs, plans
// StandardFiles, ExtraCopyList, SYSTEM.DAT and PreserveList in this order,
// and sets TotalBytes and FileCount. Returns, as AddEntryToPlan does, the
// first gap: the plan is then incomplete and must not be installed.
std::optional<PlanGap> planCopy(AppContext& ctx);
// The first of InstallPath and the plan's folders below it that stands as a
// junction or symbolic link: the copy would write into the link's target,
// and a rollback delete the planned names there. nullopt when none does.
std::optional<std::string> linkedInstallFolder(AppContext& ctx);

// Creates the folder chain of InstallPath and the plan's folders, recording
// each in CreatedDirs. Returns the folder in which a folder could not be made
// for want of the right to write there (a standard user below "Program
// Files"); nullopt otherwise. Other failures pass: the first file's open
// tells them.
std::optional<std::string> createInstallFolders(AppContext& ctx);
