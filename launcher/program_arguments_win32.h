#pragma once
// The program's arguments as Windows hands them over, and their Shift-JIS
// forms: install.exe and uninst.exe read their switches alike.

#include <optional>
#include <string>
#include <vector>

// The program's arguments as CommandLineToArgvW splits them, its name left
// out.
std::vector<std::wstring> programArguments();
// Their Shift-JIS forms; nullopt when one has none.
std::optional<std::vector<std::string>> shiftJisArguments(const std::vector<std::wstring>& arguments);
