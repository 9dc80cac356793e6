// Starting programs and opening files with their associated application.
#include <windows.h>
#include <shellapi.h>

#include "platform/win32/com_initialization.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform {

using win32::toWide;

bool Win32Platform::createProcess(const std::string& application, const std::string& commandLine,
                                  uint32_t creationFlags, const std::string& currentDirectory) {
  const std::wstring wideApplication = toWide(application);
  const std::wstring wideDirectory = toWide(currentDirectory);
  std::wstring wideCommandLine = toWide(commandLine);  // CreateProcessW may write to it
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(wideApplication.empty() ? nullptr : wideApplication.c_str(), wideCommandLine.data(), nullptr,
                      nullptr, FALSE, creationFlags, nullptr, wideDirectory.empty() ? nullptr : wideDirectory.c_str(),
                      &startup, &started))
    return false;
  // Nobody waits for the program: its handles are closed at once.
  win32::UniqueKernelHandle process(started.hProcess);
  win32::UniqueKernelHandle thread(started.hThread);
  return true;
}

bool Win32Platform::shellOpen(const std::string& file) {
  // Some associated handlers are shell extensions that need COM.
  win32::ComInitialization com;
  HINSTANCE result = ShellExecuteW(nullptr, L"open", toWide(file).c_str(), nullptr, nullptr, SW_SHOW);
  return reinterpret_cast<INT_PTR>(result) > 32;  // larger than 32 means success
}

}  // namespace platform
