// The scripted tour of `make demo` without a display: the demo disc's menu,
// an installation into a temporary folder, the launch of the sample game,
// then, with the disc taken out, the uninstallation by the uninstaller the
// game was installed with, and the menu back from the disc; a screenshot at
// each stop.
//
//   demo_tour MEDIUM OUT    (Linux paths: the medium's root, the folder for
//                            the screenshots)
//
// Prints each screenshot's path; ends with 0 when the whole road worked.
// Every wait has a timeout and whatever the tour started is ended.
#include <cstdio>
#include <string>

#include "automation/driver.h"
#include "forms/layouts.h"

using namespace e2e;

namespace {

constexpr wchar_t kGameWindowClass[] = L"DiscmenuSampleGame";
constexpr char kRegistryKey[] = "DiscmenuDemoAdventure";  // demo/demo.json
constexpr char kGameFolder[] = "DemoAdv";

// The disc taken out of its drive while the object lives: the medium's
// folder under another name, put back whatever happens.
class DiscTakenOut {
 public:
  explicit DiscTakenOut(std::filesystem::path medium) : medium_(std::move(medium)), away_(medium_) {
    away_ += "-taken-out";
    // The tour was started in the medium's root, which it must leave to
    // move it.
    std::filesystem::current_path(medium_.parent_path());
    std::filesystem::rename(medium_, away_);
  }
  ~DiscTakenOut() {
    std::error_code ignored;
    std::filesystem::rename(away_, medium_, ignored);
  }
  DiscTakenOut(const DiscTakenOut&) = delete;
  DiscTakenOut& operator=(const DiscTakenOut&) = delete;

 private:
  std::filesystem::path medium_;
  std::filesystem::path away_;
};

class Tour {
 public:
  Tour(std::filesystem::path medium, std::filesystem::path out) : medium_(std::move(medium)), out_(std::move(out)) {}

  void run() {
    // A tour that stopped half-way leaves the demo installed; start afresh.
    deleteRegistryTree(HKEY_CURRENT_USER, L"software\\" + widen(kRegistryKey));
    deleteRegistryTree(HKEY_CURRENT_USER,
                       L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + widen(kRegistryKey));
    installAndLaunch();
    uninstallWithoutTheDisc();
    menuNotInstalled();
  }

 private:
  void shoot(const std::string& name, const Window& settle) {
    std::printf("  %s\n", screenshot(out_, name, settle).c_str());
    std::fflush(stdout);
  }

  void step(const char* what) {
    std::printf("%s\n", what);
    std::fflush(stdout);
  }

  Process startMenu() { return Process::start(medium_ / "install.exe", L"", medium_); }

  Window control(const Window& form, const toolkit::FormLayout& layout, const char* name) {
    return form.child(controlId(layout, name));
  }

  void installAndLaunch() {
    step("The menu of the demo disc (not installed):");
    Process menuProcess = startMenu();
    Window menu = waitForWindow(menuProcess, L"Tmform");
    shoot("1-menu", menu);

    step("Install: the destination dialog, pointed at a temporary folder:");
    control(menu, mformLayout, "instbtn").click();
    Window destination = waitForWindow(menuProcess, L"Tinstform");
    control(destination, instformLayout, "dirpath").setText(destinationRoot_.path().wstring());
    shoot("2-destination", destination);
    control(destination, instformLayout, "Button2").click();

    MessageBoxView confirm = waitForMessageBox(menuProcess, L"インストール先の確認");
    shoot("3-confirm", confirm.window);
    confirm.answer(IDOK);

    step("Copying, then the completion message:");
    MessageBoxView done = waitForMessageBox(menuProcess, L"確認");
    shoot("4-installed", done.window);
    done.answer(IDOK);

    step("The menu, now installed:");
    waitUntil([&] { return control(menu, mformLayout, "runbtn").enabled() && menu.visible(); });
    shoot("5-menu-installed", menu);

    step("Launch: the sample game starts and the menu ends:");
    control(menu, mformLayout, "runbtn").click();
    const DWORD menuCode = menuProcess.exitCode();
    Window game = waitForAnyWindow(kGameWindowClass);
    shoot("6-game", game);
    game.close();
    waitForWindowGone(game);
    if (menuCode != 0) throw DriverError("the menu ended with " + std::to_string(menuCode));
  }

  void uninstallWithoutTheDisc() {
    step("The disc taken out: the Start menu's uninstaller, from the game folder:");
    DiscTakenOut discOut(medium_);
    const std::filesystem::path game = destinationRoot_ / kGameFolder;
    // Started as its shortcut starts it; its dialog belongs to the copy of
    // it that works from the temp folder, so that the game folder can go.
    Process uninstaller = Process::start(game / "uninst.exe", L"", game);
    Window dialog = waitForAnyWindow(L"Tuninsform");
    control(dialog, uninsformLayout, "savecheck").click();
    shoot("7-uninstall-without-the-disc", dialog);
    control(dialog, uninsformLayout, "Button1").click();
    // The question and the completion message share their caption.
    MessageBoxView question = waitForMessageBoxBeside(dialog, L"アンインストールの確認");
    question.answer(IDOK);
    waitForWindowGone(question.window);
    MessageBoxView done = waitForMessageBoxBeside(dialog, L"アンインストールの確認");
    shoot("8-uninstalled", done.window);
    done.answer(IDOK);
    if (DWORD code = uninstaller.exitCode()) throw DriverError("the uninstaller ended with " + std::to_string(code));
    if (std::filesystem::exists(game)) throw DriverError("the game folder is still there after uninstalling");
    if (registryKeyExists(HKEY_CURRENT_USER, L"software\\" + widen(kRegistryKey))) {
      throw DriverError("the registry key is still there after uninstalling");
    }
  }

  void menuNotInstalled() {
    step("The disc back in: the menu, not installed again:");
    Process menuProcess = startMenu();
    Window menu = waitForWindow(menuProcess, L"Tmform");
    waitUntil([&] { return !control(menu, mformLayout, "runbtn").enabled() && menu.visible(); });
    shoot("9-menu-after-uninstall", menu);
    control(menu, mformLayout, "closebtn").click();
    if (DWORD code = menuProcess.exitCode()) throw DriverError("the menu ended with " + std::to_string(code));
  }

  std::filesystem::path medium_;
  std::filesystem::path out_;
  TempFolder destinationRoot_{"demo-games"};
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: demo_tour MEDIUM OUT\n");
    return 2;
  }
  try {
    Tour(windowsPath(argv[1]), windowsPath(argv[2])).run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "demo tour stopped: %s\n", error.what());
    return 1;
  }
  std::printf("The tour is complete.\n");
  return 0;
}
