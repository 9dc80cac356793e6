#pragma once
// The program from its image check to the end of the message loop, on any
// platform backend and whichever toolkit backend is linked.

#include <functional>
#include <string>

struct AppContext;

namespace platform {
class Platform;
}
namespace toolkit {
class Application;
}

// Runs after the five forms exist and before the message loop; tests queue
// the user's script and look at the forms here. Runs inside the guard that
// shows a toolkit::Exception.
using BeforeMessageLoop = std::function<void(toolkit::Application&, AppContext&)>;

// Returns -1, touching no window, when install.exe in the current directory
// carries nothing behind its image. Otherwise creates mform (the main form,
// whose FormCreate loads the configuration), instform, dirform, iform and
// uninsform in that order, runs the message loop until the menu closes and
// returns 0. A toolkit::Exception that escapes is shown with
// Application::showException; any other exception passes through. With a
// `logSink` (/LOG=), the installation's and uninstallation's events go to
// it.
int runInstaller(platform::Platform& platform, const BeforeMessageLoop& beforeMessageLoop = {},
                 const std::function<void(const std::string&)>& logSink = {});
