#pragma once
// install.exe's own file, "install.exe" in the current directory (or, for
// the uninstaller, its own file wherever it is): the check the entry point
// makes before any window exists, and the loader of the configuration block
// that the menu's FormCreate runs.

#include <string>

struct AppContext;

namespace platform {
class Platform;
}

// The file the disc's start-up reads: relative, so in the current
// directory, the medium's root.
inline constexpr char kInstallerImage[] = "install.exe";

// True when `image` opens, is a PE image, has something appended behind its
// last section (a certificate table at the end of the file does not count)
// and its trailer points there, behind the image and before the trailer.
// When false, runInstaller (or runUninstaller) returns -1 without creating
// a window, and WinMain returns that.
bool installerImagePasses(platform::Platform& platform, const std::string& image = kInstallerImage);

// Fills the configuration fields of ctx.config from the block and appends
// the entries to ctx.plan.ExtraCopyList and ctx.plan.PreserveList, which must exist.
// Never reads past the end of the file: a trailer pointing outside it loads
// nothing, a block cut short loads up to its last whole field, and every
// field not read is left empty or zero. Reports nothing.
void ReadInstallerConfig(AppContext& ctx, const std::string& image = kInstallerImage);
