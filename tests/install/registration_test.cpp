// Recording a finished installation: the value PATH and the Start-menu
// group with its shortcuts.
#include "install/registration.h"

#include <algorithm>
#include <functional>

#include "install/installation.h"

#include "tests/support/install_fixture.h"

namespace {

using platform::Hive;
using platform::ShellLink;

constexpr char kShellFolders[] = "software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kInstalled = "D:\\Games\\Title";

// A machine whose configuration names every shortcut.
struct Registration : Machine {
  Registration() {
    auto& config = ctx.config;
    config.menuGroup = "Vendor\\Title";
    config.gameLinkName = "Play";
    config.uninstallLinkName = "Uninstall";
    config.extra1Flag = 1;
    config.extra1File = "manual.htm";
    config.extra1LinkName = "Manual";
    config.extra2Flag = 1;
    config.extra2File = "tools\\config.exe";
    config.extra2LinkName = "Settings";
  }
  std::optional<std::string> pathValue() {
    return platform.registryString(Hive::CurrentUser, "software\\Vendor\\Title", "PATH");
  }
  // The link files written, in order, as paths below the Programs folder.
  Names links() {
    Names names;
    for (const auto& record : platform.shellLinks()) {
      EXPECT_EQ(record.path.rfind(std::string(kPrograms) + "\\", 0), 0u) << record.path;
      names.push_back(record.path.substr(std::string(kPrograms).size() + 1));
    }
    return names;
  }
};

TEST(RegisterInstall, WritesPathGroupFoldersAndShortcutsOfTheTable) {
  Registration m;
  RegisterInstall(m.ctx);

  EXPECT_EQ(m.pathValue(), kInstalled);
  EXPECT_EQ(m.links(), (Names{"Vendor\\Title\\Play.lnk", "Vendor\\Title\\Uninstall.lnk", "Vendor\\Title\\Manual.lnk",
                              "Vendor\\Title\\Settings.lnk"}));
  const std::string group = std::string(kPrograms) + "\\Vendor\\Title";
  const std::string& p = kInstalled;
  EXPECT_EQ(m.platform.readShellLink(group + "\\Play.lnk"), (ShellLink{p + "\\origin.exe", "/l", p, 1}));
  EXPECT_EQ(m.platform.readShellLink(group + "\\Uninstall.lnk"), (ShellLink{p + "\\uninst.exe", "", p, 1}));
  EXPECT_EQ(m.platform.readShellLink(group + "\\Manual.lnk"), (ShellLink{p + "\\manual.htm", "", p, 1}));
  EXPECT_EQ(m.platform.readShellLink(group + "\\Settings.lnk"), (ShellLink{p + "\\tools\\config.exe", "", p, 1}));
}

TEST(RegisterInstall, ConfigurationCases) {
  const std::string so = sjis("ソフト");
  struct Case {
    const char* name;
    std::function<void(Registration&)> arrange;
    Names links;
    Names folders;  // below Programs, each of which must exist afterwards
  };
  const Case cases[] = {
      {"empty menuGroup: only PATH", [](Registration& m) { m.ctx.config.menuGroup.clear(); }, {}, {}},
      {"no Programs value: only PATH",
       [](Registration& m) { ASSERT_TRUE(m.platform.deleteKey(Hive::CurrentUser, kShellFolders)); }, {}, {}},
      {"Programs without a Shift-JIS form: only PATH",
       [](Registration& m) {
         ASSERT_TRUE(m.platform.markUnrepresentable(Hive::CurrentUser, kShellFolders, "Programs"));
       },
       {},
       {}},
      {"one level, flags off",
       [](Registration& m) {
         m.ctx.config.menuGroup = "Title";
         m.ctx.config.extra1Flag = m.ctx.config.extra2Flag = 0;
       },
       {"Title\\Play.lnk", "Title\\Uninstall.lnk"},
       {"Title"}},
      {"trail byte 0x5C in menuGroup",
       [&](Registration& m) {
         m.ctx.config.menuGroup = so + "\\" + sjis("ソ");
         m.ctx.config.extra1Flag = m.ctx.config.extra2Flag = 0;
         m.ctx.config.uninstallLinkName.clear();
       },
       {so + "\\" + sjis("ソ") + "\\Play.lnk"},
       {so, so + "\\" + sjis("ソ")}},
      {"empty game link name",
       [](Registration& m) {
         m.ctx.config.gameLinkName.clear();
         m.ctx.config.extra1Flag = 0;
       },
       {"Vendor\\Title\\Uninstall.lnk", "Vendor\\Title\\Settings.lnk"},
       {"Vendor", "Vendor\\Title"}},
      {"extra1 without a link name",
       [](Registration& m) {
         m.ctx.config.extra1LinkName.clear();
         m.ctx.config.extra2Flag = 0;
         m.ctx.config.gameLinkName.clear();
         m.ctx.config.uninstallLinkName.clear();
       },
       {"Vendor\\Title\\.lnk"},
       {"Vendor", "Vendor\\Title"}},
      {"existing group folder",
       [](Registration& m) {
         ASSERT_TRUE(m.platform.createDirectories(std::string(kPrograms) + "\\Vendor\\Title"));
         m.ctx.config.extra1Flag = m.ctx.config.extra2Flag = 0;
       },
       {"Vendor\\Title\\Play.lnk", "Vendor\\Title\\Uninstall.lnk"},
       {"Vendor", "Vendor\\Title"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Registration m;
    c.arrange(m);
    RegisterInstall(m.ctx);
    EXPECT_EQ(m.pathValue(), kInstalled);
    EXPECT_EQ(m.links(), c.links);
    Names below{".", ".."};
    if (!c.folders.empty()) below.push_back(c.folders.front());
    EXPECT_EQ(m.platform.listFolder(kPrograms), below);
    for (const auto& folder : c.folders) EXPECT_TRUE(m.isFolder(joinPath(kPrograms, folder))) << folder;
  }
}

TEST(RegisterInstall, ReinstallReplacesPath) {
  Registration m;
  ASSERT_TRUE(m.platform.setRegistryString(Hive::CurrentUser, "software\\Vendor\\Title", "PATH", "C:\\Old"));
  m.ctx.config.menuGroup.clear();
  RegisterInstall(m.ctx);
  EXPECT_EQ(m.pathValue(), kInstalled);
}

// Fault: an entry in the list of installed apps that starts nothing, names
// the game in another code page, or appears for a disc without our
// uninstaller (whose shortcut would point at nothing).
TEST(RegisterInstall, ListsTheGameAmongInstalledAppsWhenItsUninstallerWasInstalled) {
  const std::string entry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vendor_Title";
  for (bool withUninstaller : {false, true}) {
    SCOPED_TRACE(withUninstaller);
    Registration m;
    m.ctx.config.title = sjis("デモ");
    m.ctx.config.parentFolder = "Maker";
    m.ctx.plan.CopyPlan->add("origin.exe");
    if (withUninstaller) m.ctx.plan.CopyPlan->add("uninst.exe");
    m.ctx.copy.TotalBytes = 5 * 1024 + 1;
    m.platform.setLocalDate({2027, 3, 4});
    RegisterInstall(m.ctx);
    EXPECT_EQ(m.platform.keyExists(Hive::CurrentUser, entry), withUninstaller);
    if (!withUninstaller) continue;
    auto value = [&](const char* name) { return m.platform.registryString(Hive::CurrentUser, entry, name); };
    EXPECT_EQ(value("DisplayName"), sjis("デモ"));
    EXPECT_EQ(value("UninstallString"), "\"" + kInstalled + "\\uninst.exe\"");
    EXPECT_EQ(value("QuietUninstallString"), "\"" + kInstalled + "\\uninst.exe\" /S");
    EXPECT_EQ(value("InstallLocation"), kInstalled);
    EXPECT_EQ(value("DisplayIcon"), kInstalled + "\\origin.exe");
    EXPECT_EQ(value("Publisher"), "Maker");
    EXPECT_EQ(value("InstallDate"), "20270304");
    EXPECT_EQ(m.platform.registryDword(Hive::CurrentUser, entry, "EstimatedSize"), 6u);
    EXPECT_EQ(m.platform.registryDword(Hive::CurrentUser, entry, "NoModify"), 1u);
    EXPECT_EQ(m.platform.registryDword(Hive::CurrentUser, entry, "NoRepair"), 1u);
  }
}

// Fault: a record or shortcut that could not be written passes unnoticed
// (its result dropped, or the log silent about why), or takes the
// installation down with it.
TEST(FinishInstallation, LogsWhatItCouldNotWriteWithItsCause) {
  using platform::FileError;
  const std::string group = std::string(kPrograms) + "\\Vendor\\Title";
  struct Case {
    const char* name;
    std::function<void(Registration&)> refuse;
    std::string logged;  // empty: no failure logged
  };
  const Case cases[] = {
      {"nothing refused", [](Registration&) {}, ""},
      {"the disk full for the record",
       [](Registration& m) {
         m.platform.failOpen(kInstalled + "\\uninst-record.txt.new", platform::OpenMode::Write, platform::kEveryCall,
                             FileError::DiskFull);
       },
       "failed: the install record was not written (disk full); without the disc only delete-all is offered"},
      {"no right to write in the group",
       [&](Registration& m) {
         ASSERT_TRUE(m.platform.createDirectories(group));
         m.platform.denyWrites(group);
       },
       "failed: the shortcut " + group + "\\Play.lnk was not written (access denied)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Registration m;
    ASSERT_TRUE(m.platform.createDirectories(kInstalled));
    c.refuse(m);
    Names failures;
    m.ctx.logSink = [&](const std::string& line) {
      if (line.starts_with("failed:")) failures.push_back(line);
    };
    finishInstallation(m.ctx);
    EXPECT_EQ(m.pathValue(), kInstalled);  // installed all the same
    if (c.logged.empty()) {
      EXPECT_EQ(failures, Names{});
    } else {
      EXPECT_NE(std::find(failures.begin(), failures.end(), c.logged), failures.end())
          << testing::PrintToString(failures);
    }
  }
}

}  // namespace
