// The Windows entry point: the real platform services, then the program,
// as the disc's menu or, under the name uninst.exe, as the uninstaller.
#include <windows.h>

#include <string>

#include "launcher/arguments.h"
#include "launcher/program_arguments_win32.h"
#include "launcher/uninstaller_win32.h"
#include "platform/win32/system_functions.h"
#include "platform/win32/win32_platform.h"

namespace {

// Before anything else: every DLL loaded from here on (by this program, by
// COM, by the shell) comes from the system folder, never from the image's
// folder (a download folder, the temp folder) or the current directory (the
// medium). Windows 7 has the call only with its update KB2533623.
void loadDllsFromTheSystemFolderOnly() {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const auto setDefault =
      platform::win32::loadedFunction<SetDefaultDllDirectoriesFunction>(L"kernel32.dll", "SetDefaultDllDirectories");
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // The current directory leaves the search in any case.
  SetDllDirectoryW(L"");
}

std::wstring modulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  loadDllsFromTheSystemFolderOnly();
  platform::Win32Platform platform;
  const std::wstring module = modulePath();
  const std::vector<std::wstring> arguments = programArguments();
  if (isUninstallerImage(module)) return runAsUninstaller(platform, module, arguments);
  return runInstallerWithArguments(platform, shiftJisArguments(arguments));
}
