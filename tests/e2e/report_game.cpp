// A stand-in for the installed game, origin.exe: writes the command line it
// was given and its current directory, one per line in UTF-8, to the file
// that DISCMENU_GAME_REPORT names, then ends. No window.
#include <windows.h>

#include <string>

namespace {

std::string utf8(const std::wstring& wide) {
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string text(n > 0 ? static_cast<size_t>(n) - 1 : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, text.data(), n, nullptr, nullptr);
  return text;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t reportPath[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"DISCMENU_GAME_REPORT", reportPath, MAX_PATH)) return 2;
  wchar_t directory[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, directory);
  std::string report = utf8(GetCommandLineW()) + "\n" + utf8(directory) + "\n";

  HANDLE file = CreateFileW(reportPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  BOOL ok = WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == report.size() ? 0 : 4;
}
