#pragma once
// The program run as uninst.exe: the uninstaller that needs no disc. It
// reads its block from its own file, opens the uninstall dialog without the
// menu, and removes by the install record.

#include <functional>
#include <optional>
#include <string>

#include "launcher/command_line.h"
#include "launcher/startup.h"
#include "platform/platform.h"

struct UninstallerStart {
  std::string image;  // its own file, found through its module path
  // The uninst.exe whose image runs while this one works (the one the
  // player started, which waits), and the folder to move it into at the end;
  // empty for none (DiscFreeUninstall).
  std::string sparedUninstaller;
  std::string parking;
  // Called with the exit code once the removal is over and before the
  // spared uninstaller is deleted: tells the waiting program, and returns
  // once that program has ended. Empty when nobody waits.
  std::function<void(int)> reportAndAwaitEnd;
  // Started by a waiting uninst.exe as its copy (the relay): the identity
  // of the waiting program's image (nullopt when it could not be read).
  // That image, the file to spare and the game folder's uninst.exe must be
  // one file, or nothing is removed.
  bool relayed = false;
  std::optional<platform::FileIdentity> waitingImage{};
  // /S (with /ALL): the removal without a window; /LOG=: where events go.
  CommandLine line{};
  std::function<void(const std::string&)> logSink{};
};

// -1, with no window, when the image carries no block. kExitBadCommandLine,
// with nothing removed, for a relay that does not prove itself (see
// UninstallerStart::relayed). A message box and
// kExitInstalledState when the game is not installed (as the menu decides
// it). Otherwise the uninstall dialog, and the exit code of how it ended:
// kExitDone, kExitCancelled, kExitRefused, or kExitWriteFailed when files
// were left. With /S, no window at all: uninstallUnattended. With /VERIFY,
// verifyInstalledGame alone, removing nothing.
int runUninstaller(platform::Platform& platform, const UninstallerStart& start,
                   const BeforeMessageLoop& beforeMessageLoop = {});
