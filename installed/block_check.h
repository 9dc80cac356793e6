#pragma once
// install.exe's own check of the block's names before it installs or
// uninstalls: a disc mastered with odd names never writes or deletes in the
// wrong place, whatever tool wrote its block.

#include <optional>
#include <string>

#include "app/app_context.h"

// The first field whose name breaks the block's name rules
// (config/name_rules.h), as the block names it ("gameFolder",
// "extraEntries[1]"); nullopt when every name is sound.
std::optional<std::string> brokenNameField(const AppContext& ctx);
