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

// Why a run refuses before anything is asked or changed: the text to tell,
// and for a block whose names break the rules the field it names.
struct Refusal {
  std::string text;
  std::optional<std::string> field{};
  // As a message box tells it: the field on a line of its own.
  std::string shown() const { return field ? text + "\n" + *field : text; }
  // As the log has it: the field in brackets after the text.
  std::string logged() const { return field ? text + " (" + *field + ")" : text; }
};
