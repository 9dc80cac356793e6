// instcfg's entry point. On Windows the arguments are taken as UTF-16 and
// turned into UTF-8, so that paths outside the ANSI code page survive.
#include <iostream>
#include <string>
#include <vector>

#include "tools/instcfg_cli.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include <memory>

namespace {

std::vector<std::string> utf8Arguments() {
  int count = 0;
  std::unique_ptr<LPWSTR, decltype(&LocalFree)> argv(CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
  std::vector<std::string> args;
  for (int i = 0; argv && i < count; ++i) {
    const wchar_t* wide = argv.get()[i];
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(n > 0 ? static_cast<size_t>(n) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), n, nullptr, nullptr);
    text.resize(text.size() - 1);
    args.push_back(std::move(text));
  }
  return args;
}

}  // namespace

int main() { return runInstcfg(utf8Arguments(), std::cout, std::cerr); }

#else

int main(int argc, char** argv) { return runInstcfg(std::vector<std::string>(argv, argv + argc), std::cout, std::cerr); }

#endif
