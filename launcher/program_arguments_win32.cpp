#include "launcher/program_arguments_win32.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/wide_text.h"

std::vector<std::wstring> programArguments() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> list;
  for (int i = 1; argv && i < count; ++i) list.emplace_back(argv[i]);
  if (argv) LocalFree(argv);
  return list;
}

std::optional<std::vector<std::string>> shiftJisArguments(const std::vector<std::wstring>& arguments) {
  std::vector<std::string> converted;
  for (const std::wstring& argument : arguments) {
    auto sjis = platform::win32::toSjis(argument);
    if (!sjis) return std::nullopt;
    converted.push_back(std::move(*sjis));
  }
  return converted;
}
