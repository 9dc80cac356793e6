// The Windows entry point: the real platform services, then the program.
#include <windows.h>

#include "launcher/startup.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::Win32Platform platform;
  return runInstaller(platform);
}
