// A stand-in for the installed game, origin.exe, and for an extra item:
// writes the command line it was given, its current directory and whether
// it runs elevated ("elevated" or "limited"), one per line in UTF-8, to the
// file of its own path with ".report" appended, then ends. No window. A
// program started through the desktop's shell gets the shell's environment,
// not its starter's, so the report's place comes from nothing but itself.
//
// With the single argument --start-desktop it creates a window and ends
// instead: under Wine the first window of a session starts the desktop's
// shell (explorer.exe), which then runs with this program's rights.
#include <windows.h>

#include <string>

namespace {

std::string utf8(const std::wstring& wide) {
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string text(n > 0 ? static_cast<size_t>(n) - 1 : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, text.data(), n, nullptr, nullptr);
  return text;
}

bool elevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  const bool ok = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
  CloseHandle(token);
  return ok && elevation.TokenIsElevated;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
  if (std::wstring(arguments) == L"--start-desktop") {
    HWND window = CreateWindowW(L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(window);
    return window ? 0 : 5;
  }
  wchar_t self[MAX_PATH] = {};
  if (!GetModuleFileNameW(nullptr, self, MAX_PATH)) return 2;
  const std::wstring reportPath = std::wstring(self) + L".report";
  wchar_t directory[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, directory);
  std::string report =
      utf8(GetCommandLineW()) + "\n" + utf8(directory) + "\n" + (elevated() ? "elevated" : "limited") + "\n";

  // Written under another name first: the report appears whole or not at all.
  const std::wstring partPath = reportPath + L".part";
  HANDLE file = CreateFileW(partPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  BOOL ok = WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != report.size()) return 4;
  return MoveFileExW(partPath.c_str(), reportPath.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 6;
}
