// The menu of the real install.exe on the real window system (Wine): the
// start-up check, the layout from the block, the installed state, the
// launch with the player's rights, and a signed image.
#include <gtest/gtest.h>

#include "forms/layouts.h"
#include "tests/e2e/build_paths.h"
#include "tests/e2e/picture_checks.h"
#include "tools/config_json.h"

using namespace e2e;

namespace {

constexpr wchar_t kMenuClass[] = L"Tmform";
const std::wstring kTitle = L"デモアドベンチャー";
const std::wstring kMenuCaption = kTitle + L"　起動メニュー";

// The per-user key of one scenario, removed before and after it.
class UserKey {
 public:
  explicit UserKey(std::string name) : name_(std::move(name)) { deleteRegistryTree(HKEY_CURRENT_USER, path()); }
  ~UserKey() { deleteRegistryTree(HKEY_CURRENT_USER, path()); }
  const std::string& name() const { return name_; }
  std::wstring path() const { return L"software\\" + widen(name_); }

 private:
  std::string name_;
};

Json menuConfig(const UserKey& key) {
  Json config = sampleConfigJson();
  config["title"] = narrow(kTitle);
  config["registryKey"] = key.name();
  config["clientWidth"] = 320;
  config["clientHeight"] = 240;
  config["imageLeft"] = 0;
  config["imageTop"] = 0;
  return config;
}

Window menuControl(const Window& menu, const char* name) { return menu.child(controlId(mformLayout, name)); }

// Left, top, width, height of a control in the menu's client area.
std::array<long, 4> geometry(const Window& control) {
  RECT r = control.rectInParent();
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// What report_game, started as `program`, reported; empty when no report
// came. It appears whole under its name, but Wine holds the renamed file
// open for a moment, so a read may fail at first.
std::string reportOf(const std::filesystem::path& program) {
  std::string report;
  waitUntil([&] {
    try {
      report = readFile(program.wstring() + L".report");
      return true;
    } catch (const DriverError&) {
      return false;
    }
  });
  return report;
}

// Under Wine the first window of a session starts the desktop's shell with
// the rights of its program, and every program starts elevated: the shell
// gets the unelevated rights it has on Windows before any test runs.
class UnelevatedDesktop : public ::testing::Environment {
 public:
  void SetUp() override {
    Process starter = Process::start(reportGameImage(), L"--start-desktop", std::filesystem::current_path(),
                                     Rights::Unelevated);
    ASSERT_EQ(starter.exitCode(), 0u);
  }
};
const ::testing::Environment* const unelevatedDesktop = ::testing::AddGlobalTestEnvironment(new UnelevatedDesktop);

}  // namespace

// Fault: an image without an appended block (the build step forgot it)
// showing a menu with an empty configuration, or ending with another code,
// instead of ending with -1 before any window exists.
TEST(E2eMenu, ImageWithoutBlockEndsWithMinusOneAndNoWindow) {
  Medium medium("bare");
  medium.copyBare(installerImage());
  Process program = medium.start();
  bool windowSeen = false;
  waitUntil([&] {
    windowSeen = windowSeen || !topLevelWindows(program.id()).empty();
    return !program.running();
  });
  EXPECT_EQ(program.exitCode(), 0xFFFFFFFFu);
  EXPECT_FALSE(windowSeen);
}

// Fault: the block not reaching the real window: a wrong caption (lost
// suffix, text converted with the wrong code page), a client size or button
// geometry taken as outer sizes, the configured text shown on an extra
// button, the picture not sizing itself, or a wrong initial state.
TEST(E2eMenu, MenuShowsTheConfiguredLayoutNotInstalled) {
  UserKey key("DiscmenuE2eLayout");
  Medium medium("layout");
  medium.pack(installerImage(), menuConfig(key));
  medium.addFile("install.bmp", solidBitmap(320, 120, RGB(0x30, 0x60, 0xC0)));
  Process program = medium.start();
  Window menu = waitForWindow(program, kMenuClass, kMenuCaption);
  screenshot(screenshotFolder(), "menu-not-installed", menu);

  RECT client = menu.clientRect();
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 240);
  RECT outer = menu.screenRect();
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 16);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 32);

  Window run = menuControl(menu, "runbtn");
  Window install = menuControl(menu, "instbtn");
  Window exit = menuControl(menu, "closebtn");
  Window extra1 = menuControl(menu, "etc1btn");
  Window extra2 = menuControl(menu, "etc2btn");
  Window picture = menuControl(menu, "instimage");
  EXPECT_EQ(geometry(run), (std::array<long, 4>{10, 170, 300, 25}));
  EXPECT_EQ(geometry(install), (std::array<long, 4>{10, 205, 145, 25}));
  EXPECT_EQ(geometry(exit), (std::array<long, 4>{165, 205, 145, 25}));
  EXPECT_EQ(geometry(extra1), (std::array<long, 4>{10, 135, 145, 25}));
  EXPECT_EQ(geometry(picture), (std::array<long, 4>{0, 0, 320, 120}));
  EXPECT_TRUE(picture.visible());

  EXPECT_EQ(run.text(), L"ゲーム起動");
  EXPECT_FALSE(run.enabled());
  EXPECT_EQ(install.text(), L"インストール");
  EXPECT_EQ(exit.text(), L"終了");
  EXPECT_TRUE(extra1.visible());
  EXPECT_EQ(extra1.text(), L"");  // the configured "Read me" is not shown
  EXPECT_FALSE(extra2.visible());

  exit.click();
  EXPECT_EQ(program.exitCode(), 0u);
}

// Fault: the game started without " /l", from another folder than the
// installed one, with its path split at a space, or the menu staying open
// after the launch; an installation recorded in the registry not being
// recognised; the game or an extra item started from an elevated menu
// running elevated too (a game would then keep its saves elsewhere than
// when started from the Start menu). An unelevated menu starts them itself,
// as the design says; an elevated one through the desktop's shell, which
// quotes the program's path.
TEST(E2eMenu, LaunchStartsTheInstalledGameWithThePlayersRightsAndEndsTheMenu) {
  for (const Rights rights : {Rights::Unelevated, Rights::Driver}) {
    const bool elevatedMenu = rights == Rights::Driver;
    SCOPED_TRACE(elevatedMenu ? "elevated menu" : "unelevated menu");
    UserKey key("DiscmenuE2eLaunch");
    TempFolder games("games");
    const std::filesystem::path installPath = games / L"My Games" / L"DemoAdv";
    std::filesystem::create_directories(installPath);
    std::filesystem::copy_file(reportGameImage(), installPath / L"origin.exe");
    writeRegistryString(HKEY_CURRENT_USER, key.path(), L"PATH", installPath.wstring());

    Json config = menuConfig(key);
    config["extra1"]["file"] = "extra.exe";
    Medium medium("launch");
    medium.pack(installerImage(), config);
    medium.copyFile(reportGameImage(), "extra.exe");
    Process program = medium.start(rights);
    Window menu = waitForWindow(program, kMenuClass, kMenuCaption);
    Window run = menuControl(menu, "runbtn");
    EXPECT_EQ(menuControl(menu, "instbtn").text(), L"アンインストール");
    ASSERT_TRUE(run.enabled());
    if (!elevatedMenu) screenshot(screenshotFolder(), "menu-installed", menu);

    menuControl(menu, "etc1btn").click();
    const std::string extraReport = reportOf(medium.root() / "extra.exe");
    EXPECT_TRUE(extraReport.ends_with(narrow(medium.root().wstring()) + "\nlimited\n")) << extraReport;

    run.click();
    EXPECT_EQ(program.exitCode(), 0u);
    const std::string game = narrow(installPath.wstring()) + "\\origin.exe";
    const std::string expected = (elevatedMenu ? "\"" + game + "\"" : game) + " /l\n" +
                                 narrow(installPath.wstring()) + "\nlimited\n";
    EXPECT_EQ(reportOf(installPath / L"origin.exe"), expected);
  }
}

// Fault: a signature added after packing hiding the block: the image check
// or the loader measuring from the end of the file instead of from the start
// of the certificate table, so that a signed disc shows no menu.
TEST(E2eMenu, SignedImageShowsTheConfiguredMenu) {
  UserKey key("DiscmenuE2eSigned");
  Medium medium("signed");
  medium.pack(installerImage(), menuConfig(key), /*signReady=*/true);
  const auto unsignedSize = std::filesystem::file_size(medium.installer());
  signWithTestCertificate(medium.installer());
  ASSERT_GT(std::filesystem::file_size(medium.installer()), unsignedSize);

  Process program = medium.start();
  Window menu = waitForWindow(program, kMenuClass, kMenuCaption);
  EXPECT_EQ(menu.clientRect().right, 320);
  menuControl(menu, "closebtn").click();
  EXPECT_EQ(program.exitCode(), 0u);
}
