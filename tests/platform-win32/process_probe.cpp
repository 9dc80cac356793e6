// A small program the process tests start. It writes its process id, its
// command line, its current directory and whether it runs elevated
// ("elevated" or "limited"), as UTF-16 lines separated by line feeds, to
// "probe-report.txt" in its current directory, then signals the
// event "discmenu-process-probe". The name is fixed, not handed down in the
// environment: a program that the desktop's shell starts for an elevated
// caller gets the shell's environment.
#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

namespace {

bool elevated() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  platform::win32::UniqueKernelHandle token(raw);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
         elevation.TokenIsElevated;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::wstring directory(GetCurrentDirectoryW(0, nullptr), L'\0');
  directory.resize(GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data()));
  const std::wstring report = std::to_wstring(GetCurrentProcessId()) + L"\n" + GetCommandLineW() + L"\n" +
                              directory + L"\n" + (elevated() ? L"elevated" : L"limited");
  {
    platform::win32::UniqueFileHandle file(
        CreateFileW(L"probe-report.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), report.data(), static_cast<DWORD>(report.size() * sizeof(wchar_t)), &written,
                            nullptr))
      return 1;
  }
  platform::win32::UniqueKernelHandle done(OpenEventW(EVENT_MODIFY_STATE, FALSE, L"discmenu-process-probe"));
  return done && SetEvent(done.get()) ? 0 : 3;
}
