#pragma once
// Where the build put what the scenarios run: the bare install.exe of this
// preset, the stand-in game and the folder for screenshots.
#include "automation/driver.h"

namespace e2e {
inline std::filesystem::path installerImage() { return windowsPath(E2E_INSTALL_EXE); }
inline std::filesystem::path reportGameImage() { return windowsPath(E2E_REPORT_GAME); }
inline std::filesystem::path screenshotFolder() { return windowsPath(E2E_SCREENSHOT_DIR); }
}  // namespace e2e
