// The Windows entry point: the real platform services, then the program,
// as the disc's menu or, under the name uninst.exe, as the uninstaller.
#include <windows.h>

#include <string>

#include "launcher/arguments.h"
#include "launcher/uninstaller_win32.h"
#include "platform/win32/win32_platform.h"

namespace {

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
  platform::Win32Platform platform;
  const std::wstring module = modulePath();
  const std::vector<std::wstring> arguments = programArguments();
  if (isUninstallerImage(module)) return runAsUninstaller(platform, module, arguments);
  return runInstallerWithArguments(platform, shiftJisArguments(arguments));
}
