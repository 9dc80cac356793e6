// The program run as uninst.exe, without the disc: the uninstall dialog at
// once, the removal by the install record, and the exit code.
#include <gtest/gtest.h>

#include "footprint/install_record.h"
#include "launcher/exit_codes.h"
#include "launcher/uninstaller.h"
#include "tests/support/menu_harness.h"
#include "texts.h"
#include "uninstall/uninsform.h"

namespace {

using platform::Hive;
using toolkit::headless::Script;

const std::string kGame = "C:\\Games\\DemoAdv";
const std::string kUninstaller = kGame + "\\uninst.exe";
const std::string kParking = "C:\\Temp\\uninst-1";

// An installation made from the medium, then the medium taken out: the
// game folder holds what the record names, the saves and what the game
// wrote; uninst.exe there is this program's image.
struct InstalledWithoutDisc : Medium {
  InstalledWithoutDisc() {
    pack();
    recordInstallation(kGame, true);
    EXPECT_TRUE(platform.createDirectories(kGame + "\\data"));
    EXPECT_TRUE(platform.createDirectories(kGame + "\\save"));
    EXPECT_TRUE(platform.createDirectories(kParking));
    for (const char* name : {"SYSTEM.INI", "data\\a.bin", "SYSTEM.DAT", "save\\slot1.dat", "save\\slot9.dat"}) {
      EXPECT_TRUE(platform.writeFile(kGame + "\\" + name, name));
    }
    EXPECT_TRUE(platform.writeFile(kUninstaller, *platform.readFile("Q:\\install.exe")));
    EXPECT_TRUE(platform.setRegistryString(Hive::CurrentUser, uninstallEntry, "DisplayName", "Demo Adventure"));
    EXPECT_TRUE(platform.setCurrentDirectory(kParking));
  }
  void writeRecord() {
    EXPECT_TRUE(platform.writeFile(kGame + "\\uninst-record.txt",
                                   "install record 1\r\nfolder\tdata\r\nfile\tSYSTEM.INI\r\nfile\torigin.exe\r\n"
                                   "file\tdata\\a.bin\r\nfile\tuninst.exe\r\n"));
  }
  int uninstall(const std::function<void(Script&, AppContext&)>& prepare) {
    UninstallerStart start{kUninstaller, kUninstaller, kParking, [this](int code) {
                             reported = code;
                             // Still there when the waiting program learns the code; it
                             // goes once that program has ended.
                             parkedWhenReported = platform.exists(kParking + "\\original-uninst.exe");
                           }};
    return runUninstaller(platform, start, [&](toolkit::Application& application, AppContext& ctx) {
      prepare(toolkit::headless::scriptOf(application), ctx);
    });
  }
  bool exists(const std::string& name) const { return platform.exists(kGame + "\\" + name); }

  const std::string uninstallEntry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DemoAdv";
  std::optional<int> reported;
  bool parkedWhenReported = false;
};

// Fault: the disc-free keep-save-data removal deleting the saves or what
// the game wrote into its own folders, leaving recorded files, the record,
// the registration, the entry of the installed apps, or the uninstaller
// itself in the game folder; or reporting success before the work is done.
TEST(Uninstaller, KeepSaveDataRemovesWhatTheRecordNames) {
  InstalledWithoutDisc m;
  m.writeRecord();
  ASSERT_TRUE(m.platform.writeFile(kGame + "\\data\\mine.txt", "written by the game"));
  bool dialogShown = false;
  const int code = m.uninstall([&](Script& script, AppContext&) {
    script.on("uninsform", [&](toolkit::Form& form) {
      auto& dialog = dynamic_cast<Tuninsform&>(form);
      dialogShown = true;
      EXPECT_TRUE(dialog.RadioButton1->checked());
      EXPECT_TRUE(dialog.RadioButton1->enabled());
      EXPECT_FALSE(dialog.recordnote->visible());
    });
    script.click("uninsform", "Button1");
  });
  EXPECT_TRUE(dialogShown);
  EXPECT_EQ(code, kExitDone);
  EXPECT_EQ(m.reported, kExitDone);
  EXPECT_TRUE(m.parkedWhenReported);
  for (const char* gone : {"SYSTEM.INI", "origin.exe", "data\\a.bin", "uninst.exe", "uninst-record.txt"}) {
    EXPECT_FALSE(m.exists(gone)) << gone;
  }
  for (const char* kept : {"SYSTEM.DAT", "save\\slot1.dat", "save\\slot9.dat", "data\\mine.txt"}) {
    EXPECT_TRUE(m.exists(kept)) << kept;
  }
  EXPECT_FALSE(m.platform.exists(kParking + "\\original-uninst.exe"));
  EXPECT_FALSE(m.platform.keyExists(Hive::CurrentUser, "software\\DemoAdv"));
  EXPECT_FALSE(m.platform.keyExists(Hive::CurrentUser, m.uninstallEntry));
  EXPECT_EQ(m.platform.messageBoxes().back().text, texts::kUninstallComplete);
}

// Fault: keep-save-data offered without a record (a plan rebuilt from the
// game folder would delete the saves), or nothing said about why.
TEST(Uninstaller, WithoutARecordOnlyDeleteAllIsOffered) {
  InstalledWithoutDisc m;
  const int code = m.uninstall([&](Script& script, AppContext&) {
    script.on("uninsform", [&](toolkit::Form& form) {
      auto& dialog = dynamic_cast<Tuninsform&>(form);
      EXPECT_FALSE(dialog.RadioButton1->enabled());
      EXPECT_TRUE(dialog.savecheck->checked());
      EXPECT_TRUE(dialog.recordnote->visible());
      EXPECT_EQ(dialog.recordnote->caption(), texts::kNoInstallRecord);
    });
    script.click("uninsform", "Button1");
  });
  EXPECT_EQ(code, kExitDone);
  EXPECT_FALSE(m.platform.exists(kGame));
  EXPECT_EQ(m.platform.messageBoxes().front().text, texts::kConfirmDeleteAll);
}

// Fault: a relay switch that another program made up (a changed
// QuietUninstallString) accepted: the elevated uninstaller removing the game
// and then "parking" and deleting a file of the attacker's choosing, or
// removing on behalf of a program that is not the game's uninstaller. And
// the running uninstaller not recognised when its path reached it another
// way (a junction, a short name), so that every try ends with files left.
TEST(Uninstaller, TheRelayProvesItselfOrNothingIsRemoved) {
  struct Case {
    const char* what;
    std::string waitingImage;  // empty: it could not be read
    std::string spared;
    int code;
  };
  const Case cases[] = {
      {"the game's uninst.exe", kUninstaller, kUninstaller, kExitDone},
      {"its path through a junction", kUninstaller, "C:\\Link\\uninst.exe", kExitDone},
      {"another program waits", "C:\\Temp\\other.exe", kUninstaller, kExitBadCommandLine},
      {"another file to spare", kUninstaller, "C:\\Victim\\precious.txt", kExitBadCommandLine},
      {"the waiting image unknown", "", kUninstaller, kExitBadCommandLine},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    InstalledWithoutDisc m;
    m.writeRecord();
    ASSERT_TRUE(m.platform.addJunction("C:\\Link", kGame));
    ASSERT_TRUE(m.platform.createDirectories("C:\\Victim"));
    ASSERT_TRUE(m.platform.writeFile("C:\\Victim\\precious.txt", "precious"));
    ASSERT_TRUE(m.platform.writeFile("C:\\Temp\\other.exe", "MZ"));
    const std::string copy = kParking + "\\uninst.exe";
    ASSERT_TRUE(m.platform.writeFile(copy, *m.platform.readFile(kUninstaller)));
    UninstallerStart start{copy, c.spared, kParking, [&](int code) { m.reported = code; }};
    start.line.silent = true;
    start.line.deleteAll = true;
    start.relayed = true;
    if (!c.waitingImage.empty()) start.waitingImage = m.platform.fileIdentity(c.waitingImage);
    const auto before = m.platform.snapshot();

    EXPECT_EQ(runUninstaller(m.platform, start), c.code);
    EXPECT_EQ(m.platform.readFile("C:\\Victim\\precious.txt"), "precious");
    if (c.code == kExitDone) {
      EXPECT_FALSE(m.platform.exists(kGame));
      EXPECT_EQ(m.reported, kExitDone);
    } else {
      EXPECT_EQ(platform::describeDifference(before, m.platform.snapshot()), "");
      EXPECT_FALSE(m.reported);
    }
  }
}

TEST(Uninstaller, ExitCodesTellWhatHappened) {
  struct Case {
    const char* what;
    std::function<void(InstalledWithoutDisc&)> arrange;
    std::function<void(Script&)> act;
    int code;
  };
  const Case cases[] = {
      {"cancelled", [](InstalledWithoutDisc&) {}, [](Script& s) { s.click("uninsform", "Button2"); }, kExitCancelled},
      {"refused, then cancelled",
       [](InstalledWithoutDisc& m) {
         ASSERT_TRUE(m.platform.setRegistryString(Hive::CurrentUser, "software\\DemoAdv", "PATH", "C:\\Games"));
         ASSERT_TRUE(m.platform.writeFile("C:\\Games\\origin.exe", "MZ"));
       },
       [](Script& s) {
         s.click("uninsform", "Button1");
         s.click("uninsform", "Button2");
       },
       kExitRefused},
      {"a read-only file left",
       [](InstalledWithoutDisc& m) { ASSERT_TRUE(m.platform.makeReadOnly(kGame + "\\data\\a.bin")); },
       [](Script& s) { s.click("uninsform", "Button1"); }, kExitWriteFailed},
      {"not installed", [](InstalledWithoutDisc& m) { ASSERT_TRUE(m.platform.deleteFile(kGame + "\\origin.exe")); },
       [](Script&) {}, kExitInstalledState},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    InstalledWithoutDisc m;
    c.arrange(m);
    EXPECT_EQ(m.uninstall([&](Script& script, AppContext&) { c.act(script); }), c.code);
    if (c.code == kExitDone) continue;
    // Whatever ended it, the uninstaller stays where another try finds it.
    EXPECT_TRUE(m.platform.exists(kUninstaller));
  }
  InstalledWithoutDisc m;
  ASSERT_TRUE(m.platform.deleteFile(kGame + "\\origin.exe"));
  m.uninstall([](Script&, AppContext&) {});
  ASSERT_EQ(m.platform.messageBoxes().size(), 1u);
  EXPECT_EQ(m.platform.messageBoxes()[0].text, texts::kNotInstalled);
}

}  // namespace
