#pragma once
// What pack refuses in a configuration beyond its format, and check in a
// block already in an image: the name rules that install.exe applies too
// (config/name_rules.h), and a shown extra button without its item.

#include <string>
#include <vector>

#include "config/config_block.h"

// One line per finding, "field: reason", in the order of the format; empty
// when the content is fine.
std::vector<std::string> contentProblems(const ConfigBlockContent& content);
