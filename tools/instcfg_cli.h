#pragma once
// instcfg's command line: parses the arguments (UTF-8, the program name
// first) and runs one command. Returns the exit code.

#include <iosfwd>
#include <string>
#include <vector>

int runInstcfg(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
