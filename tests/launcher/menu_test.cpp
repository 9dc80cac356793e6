// The launcher menu through the real start-up on the in-memory Windows, with
// a scripted user.
#include <gtest/gtest.h>

#include <functional>

#include "install/instform.h"
#include "tests/support/menu_harness.h"
#include "tests/support/sjis_text.h"
#include "tests/support/worked_example.h"
#include "texts.h"

using toolkit::Bounds;
using toolkit::Form;
using toolkit::headless::Script;

namespace {

// Runs the menu, reads it once it waits for the user, then exits.
MenuView startMenu(Medium& medium) {
  MenuView view;
  int code = medium.run([&](Script& script, AppContext&) {
    script.on("mform", [&](Form&) { view = viewOf(medium.form<Tmform>()); });
    script.click("mform", "closebtn");
  });
  EXPECT_EQ(code, 0);
  return view;
}

// What one install-button round proposes, read while instform is shown.
struct Proposal {
  std::string dirpath;
  std::string instlabel;
};

}  // namespace

TEST(Menu, InstalledStateComesFromTheKeyAndOriginExe) {
  struct Case {
    const char* what;
    bool key;
    bool game;
    bool installed;
  } cases[] = {
      {"no per-user key", false, false, false},
      {"key, but origin.exe missing", true, false, false},
      {"key and origin.exe", true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Medium medium;
    if (c.key) medium.recordInstallation("C:\\Games\\DemoAdv", c.game);
    MenuView view;
    std::string installPath;
    Proposal proposal;
    medium.run([&](Script& script, AppContext& ctx) {
      script.on("mform", [&](Form&) {
        view = viewOf(medium.form<Tmform>());
        installPath = ctx.config.InstallPath;
      });
      if (!c.installed) {
        // Not installed: the install button proposes the usual destination.
        script.click("mform", "instbtn");
        script.on("instform", [&](Form& form) {
          proposal = {medium.form<Tinstform>().dirpath->text(), medium.form<Tinstform>().instlabel->caption()};
          form.setModalResult(-1);
        });
      }
      script.click("mform", "closebtn");
    });
    EXPECT_EQ(view.runEnabled, c.installed);
    EXPECT_EQ(view.instTag, c.installed ? 1 : 0);
    EXPECT_EQ(view.instCaption, c.installed ? texts::kUninstall : texts::kInstall);
    // The PATH value is kept even when origin.exe is missing.
    EXPECT_EQ(installPath, c.key ? "C:\\Games\\DemoAdv" : "");
    if (!c.installed) {
      EXPECT_EQ(proposal.dirpath, "C:\\Program Files\\ExampleSoft");
      EXPECT_EQ(proposal.instlabel, sjis("上記の場所にDemoAdvフォルダを作り"));
    }
  }
}

// Fault: a PATH value the program cannot use taken for an installation: an
// empty InstallPath makes "\origin.exe" the medium's own program, which the
// menu then offers to launch and to uninstall.
TEST(Menu, UnusablePathValueIsNotInstalled) {
  const std::string key = "software\\DemoAdv";
  const std::string tooLong = "Q:\\" + std::string(1021, 'a');  // 1025 bytes with its NUL
  struct Case {
    const char* what;
    std::function<void(Medium&)> arrange;
  };
  const Case cases[] = {
      {"missing value", [&](Medium& m) { m.platform.setRegistryString(platform::Hive::CurrentUser, key, "X", "1"); }},
      {"empty", [](Medium& m) { m.recordInstallation("", false); }},
      {"too long", [&](Medium& m) { m.recordInstallation(tooLong, true); }},
      {"without a Shift-JIS form",
       [&](Medium& m) {
         m.recordInstallation("C:\\Games\\DemoAdv", true);
         ASSERT_TRUE(m.platform.markUnrepresentable(platform::Hive::CurrentUser, key, "PATH"));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Medium medium;
    ASSERT_TRUE(medium.platform.writeFile("Q:\\origin.exe", "MZ the disc's own"));
    c.arrange(medium);
    ASSERT_TRUE(medium.platform.keyExists(platform::Hive::CurrentUser, key));
    MenuView view = startMenu(medium);
    EXPECT_FALSE(view.runEnabled);
    EXPECT_EQ(view.instTag, 0);
    EXPECT_EQ(view.instCaption, texts::kInstall);
  }
}

TEST(Menu, LayoutFollowsTheConfigurationAndTheScreen) {
  Medium medium;
  InstallerConfig& config = medium.content.config;
  config.title = std::string(63, 'T');
  config.clientWidth = 1101;  // wider than the 1024-pixel screen
  config.clientHeight = 301;
  config.imageLeft = -4;
  config.imageTop = 7;
  config.buttons[kExtra2ButtonIndex] = button(20, 60, 90, 22, "Manual", "x", 1);
  ASSERT_TRUE(medium.platform.writeFile("Q:\\install.bmp", "not a bitmap"));
  std::pair<int, int> created;
  MenuView view;
  medium.run([&](Script& script, AppContext&) {
    created = {medium.form<Tmform>().left(), medium.form<Tmform>().top()};
    script.on("mform", [&](Form&) { view = viewOf(medium.form<Tmform>()); });
    script.click("mform", "closebtn");
  });

  EXPECT_EQ(view.caption, std::string(63, 'T') + sjis("　起動メニュー"));
  EXPECT_EQ(view.clientWidth, 1101);
  EXPECT_EQ(view.clientHeight, 301);
  EXPECT_EQ(created, std::pair(-38, 233));  // (1024 - 1101) / 2, toward zero; (768 - 301) / 2
  // Shown, the toolkit centres it on the work area and keeps its left edge,
  // and so its title bar, on the screen.
  EXPECT_EQ(view.left, 0);
  EXPECT_EQ(view.top, 233);
  EXPECT_TRUE(view.visible);
  EXPECT_EQ(view.image.left, -4);
  EXPECT_EQ(view.image.top, 7);
  EXPECT_FALSE(view.imageVisible);  // opens, but holds no bitmap
  EXPECT_EQ(view.run, (Bounds{10, 170, 300, 25}));
  EXPECT_EQ(view.inst, (Bounds{10, 205, 145, 25}));
  EXPECT_EQ(view.close, (Bounds{165, 205, 145, 25}));
  // Only the second extra button, at its place, without the configured text;
  // the first keeps the layout's hidden state and geometry.
  EXPECT_FALSE(view.etc1Visible);
  EXPECT_EQ(view.etc1, (Bounds{5, 70, 100, 25}));
  EXPECT_TRUE(view.etc2Visible);
  EXPECT_EQ(view.etc2, (Bounds{20, 60, 90, 22}));
  EXPECT_EQ(view.etc2Caption, "");
  EXPECT_EQ(view.etc1Caption, "");
}

TEST(Menu, EmptyTitleAndMissingPictureAndBothExtraButtons) {
  Medium medium;
  medium.content.config.title = "";
  for (int i : {kExtra1ButtonIndex, kExtra2ButtonIndex}) {
    medium.content.config.buttons[i] = button(int16_t(10 * i), 1, 2, 3, "Shown?", "", 1);
  }
  MenuView view = startMenu(medium);
  EXPECT_EQ(view.caption, sjis("　起動メニュー"));
  EXPECT_FALSE(view.imageVisible);
  EXPECT_TRUE(view.etc1Visible);
  EXPECT_TRUE(view.etc2Visible);
  EXPECT_EQ(view.etc1, (Bounds{30, 1, 2, 3}));
  EXPECT_EQ(view.etc2, (Bounds{40, 1, 2, 3}));
  EXPECT_EQ(view.etc1Caption, "");
  EXPECT_EQ(view.etc2Caption, "");
}

TEST(Menu, ProposedDestination) {
  struct Case {
    const char* what;
    uint8_t rootSelector;
    const char* machineRoot;  // nullptr: the machine value is missing
    const char* parentFolder;
    const char* proposed;
  } cases[] = {
      {"program files and parent", 1, "C:\\Program Files", "ExampleSoft", "C:\\Program Files\\ExampleSoft"},
      {"no parent folder", 1, "C:\\Program Files", "", "C:\\Program Files"},
      {"boot dir ending in a separator", 0, "C:\\", "ExampleSoft", "C:\\\\ExampleSoft"},
      {"machine value missing", 1, nullptr, "ExampleSoft", "\\ExampleSoft"},
      {"machine value missing, no parent", 0, nullptr, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Medium medium(c.machineRoot != nullptr);
    medium.content.config.rootSelector = c.rootSelector;
    medium.content.config.parentFolder = c.parentFolder;
    if (c.machineRoot) {
      const char* key = c.rootSelector == 0 ? "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup"
                                            : "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
      const char* value = c.rootSelector == 0 ? "BootDir" : "ProgramFilesDir";
      ASSERT_TRUE(medium.platform.setRegistryString(platform::Hive::LocalMachine, key, value, c.machineRoot));
    }
    Proposal proposal;
    std::string defaultRoot;
    medium.run([&](Script& script, AppContext& ctx) {
      script.click("mform", "instbtn");
      script.on("instform", [&](Form& form) {
        proposal = {medium.form<Tinstform>().dirpath->text(), medium.form<Tinstform>().instlabel->caption()};
        defaultRoot = ctx.config.DefaultRoot;
        form.setModalResult(-1);
      });
      script.click("mform", "closebtn");
    });
    EXPECT_EQ(defaultRoot, c.machineRoot ? c.machineRoot : "");
    EXPECT_EQ(proposal.dirpath, c.proposed);
  }
}

// Each round of the install branch starts from the proposal again, whatever
// the cancelled round before left in the dialog.
TEST(Menu, EveryInstallRoundResetsTheDialog) {
  Medium medium;
  medium.content.config.gameFolder = sjis("ソフト");  // a trail byte 0x5C
  std::vector<Proposal> seen;
  medium.run([&](Script& script, AppContext&) {
    for (int round = 0; round < 2; ++round) {
      script.click("mform", "instbtn");
      script.on("instform", [&](Form& form) {
        seen.push_back({medium.form<Tinstform>().dirpath->text(), medium.form<Tinstform>().instlabel->caption()});
        medium.form<Tinstform>().dirpath->setText("Z:\\elsewhere");
        medium.form<Tinstform>().instlabel->setCaption("changed");
        form.setModalResult(-1);
      });
    }
    script.click("mform", "closebtn");
  });
  ASSERT_EQ(seen.size(), 2u);
  for (const Proposal& p : seen) {
    EXPECT_EQ(p.dirpath, "C:\\Program Files\\ExampleSoft");
    EXPECT_EQ(p.instlabel, sjis("上記の場所にソフトフォルダを作り"));
  }
}

// The menu hides while a dialog is shown, shows again after it, and changes
// state exactly when the dialog returns 1.
TEST(Menu, DialogResultsSwitchTheState) {
  for (int result : {1, -1, 2}) {
    for (bool installedBefore : {false, true}) {
      SCOPED_TRACE("result " + std::to_string(result) + (installedBefore ? ", installed" : ", not installed"));
      Medium medium;
      if (installedBefore) medium.recordInstallation("C:\\Games\\DemoAdv", true);
      bool menuVisibleDuringDialog = true;
      MenuView after;
      medium.run([&](Script& script, AppContext&) {
        script.click("mform", "instbtn");
        script.on(installedBefore ? "uninsform" : "instform", [&](Form& form) {
          menuVisibleDuringDialog = medium.form<Tmform>().visible();
          if (result == 2) {
            form.close();  // the close box
          } else {
            form.setModalResult(result);
          }
        });
        script.on("mform", [&](Form&) { after = viewOf(medium.form<Tmform>()); });
        script.click("mform", "closebtn");
      });
      const bool installedAfter = result == 1 ? !installedBefore : installedBefore;
      EXPECT_FALSE(menuVisibleDuringDialog);
      EXPECT_TRUE(after.visible);
      EXPECT_EQ(after.runEnabled, installedAfter);
      EXPECT_EQ(after.instTag, installedAfter ? 1 : 0);
      EXPECT_EQ(after.instCaption, installedAfter ? texts::kUninstall : texts::kInstall);
    }
  }
}

// Fault: the game started from a PATH that any program of the player could
// have pointed elsewhere (another folder, or the game folder replaced by a
// link), or started elevated when no way with the player's rights exists,
// or the menu staying open after the launch.
TEST(Menu, LaunchStartsTheGameAndClosesTheMenu) {
  const std::string gameFolder = "C:\\My Games\\DemoAdv";
  struct Case {
    const char* name;
    std::string installPath;
    bool gameStillThere = true;
    bool onlyElevated = false;
    std::string told{};  // empty: no message, and origin.exe is asked to start
  };
  const Case cases[] = {
      {"game starts", gameFolder},
      {"game gone", gameFolder, false},
      {"no way with the player's rights", gameFolder, true, true, texts::kCannotStartAsPlayer},
      {"PATH not the game's folder", "C:\\Users\\player", true, false, texts::kDestinationUnsafe},
      {"PATH a link", "C:\\Games\\DemoAdv", true, false,
       std::string(texts::kLinkedInstallFolder) + "\nC:\\Games\\DemoAdv"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Medium medium;
    if (c.installPath.starts_with("C:\\Games")) {
      ASSERT_TRUE(medium.platform.createDirectories("C:\\Games"));
      ASSERT_TRUE(medium.platform.createDirectories(gameFolder));
      ASSERT_TRUE(medium.platform.addJunction(c.installPath, gameFolder));
    }
    medium.recordInstallation(c.installPath, true);
    if (c.onlyElevated) medium.platform.refuseStartsAsThePlayer();
    bool listsGoneAtClose = false;
    int code = medium.run([&](Script& script, AppContext& ctx) {
      auto formClose = medium.form<Tmform>().onClose;
      medium.form<Tmform>().onClose = [&ctx, &listsGoneAtClose, formClose] {
        formClose();
        const InstallPlan& plan = ctx.plan;
        listsGoneAtClose = !plan.ExtraCopyList && !plan.PreserveList && !plan.CopyPlan && !plan.CreatedDirs;
      };
      script.on("mform", [&](Form&) {
        if (!c.gameStillThere) {
          ASSERT_TRUE(medium.platform.deleteFile(c.installPath + "\\origin.exe"));
        }
      });
      // No step follows: a menu that stayed open would wait with an empty
      // script, which the headless toolkit refuses.
      script.click("mform", "runbtn");
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(listsGoneAtClose);
    const auto& boxes = medium.platform.messageBoxes();
    const auto& started = medium.platform.processes();
    if (c.told.empty() || c.onlyElevated) {
      ASSERT_EQ(started.size(), 1u);
      EXPECT_EQ(started[0].application, c.installPath + "\\origin.exe");
      EXPECT_EQ(started[0].commandLine, c.installPath + "\\origin.exe /l");
      EXPECT_EQ(started[0].creationFlags, platform::kCreateNewConsole);
      EXPECT_EQ(started[0].currentDirectory, c.installPath);
      EXPECT_EQ(started[0].started, c.gameStillThere && !c.onlyElevated);
    } else {
      EXPECT_TRUE(started.empty());
    }
    ASSERT_EQ(boxes.size(), c.told.empty() ? 0u : 1u);
    if (!c.told.empty()) {
      EXPECT_EQ(boxes[0].text, c.told);
    }
  }
}

TEST(Menu, ExtraButtonsOpenTheirFilesAndChangeNothing) {
  Medium medium;
  InstallerConfig& config = medium.content.config;
  config.extra1Flag = 1;
  config.extra1File = "readme.txt";
  config.extra2Flag = 1;
  config.extra2File = "manual\\index.exe";
  config.buttons[kExtra1ButtonIndex] = button(10, 135, 145, 25, "", "", 1);
  config.buttons[kExtra2ButtonIndex] = button(165, 135, 145, 25, "", "", 1);
  ASSERT_TRUE(medium.platform.writeFile("Q:\\readme.txt", "hello"));
  MenuView before, after;
  medium.run([&](Script& script, AppContext&) {
    script.on("mform", [&](Form&) { before = viewOf(medium.form<Tmform>()); });
    script.click("mform", "etc1btn");
    script.click("mform", "etc2btn");
    script.on("mform", [&](Form&) { after = viewOf(medium.form<Tmform>()); });
    script.click("mform", "closebtn");
  });
  const auto& opened = medium.platform.shellOpens();
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].file, "readme.txt");
  EXPECT_TRUE(opened[0].opened);
  EXPECT_EQ(opened[1].file, "manual\\index.exe");
  EXPECT_FALSE(opened[1].opened);  // missing: nothing reported, menu stays
  EXPECT_TRUE(after.visible);
  EXPECT_EQ(after.caption, before.caption);
  EXPECT_EQ(after.instTag, before.instTag);
  EXPECT_TRUE(medium.platform.messageBoxes().empty());
}

// The whole road with the real dialogs: install through the destination
// and progress dialogs, then uninstall, in one run of the menu.
TEST(Menu, RealDialogsInstallThenUninstall) {
  Medium medium;
  ASSERT_TRUE(medium.platform.writeFile("Q:\\origin.exe", "MZ game"));
  ASSERT_TRUE(medium.platform.writeFile("Q:\\SCENARIO.DAT", std::string(3000000, 's')));
  MenuView installed, uninstalled;
  std::string installPath;
  int code = medium.run([&](Script& script, AppContext& ctx) {
    script.click("mform", "instbtn");
    script.click("instform", "Button2");  // confirmed; iform copies tick by tick
    script.on("mform", [&](Form&) {
      installed = viewOf(medium.form<Tmform>());
      installPath = ctx.config.InstallPath;
    });
    script.click("mform", "instbtn");
    script.click("uninsform", "Button1");
    script.on("mform", [&](Form&) { uninstalled = viewOf(medium.form<Tmform>()); });
    script.click("mform", "closebtn");
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(installPath, "C:\\Program Files\\ExampleSoft\\DemoAdv");
  EXPECT_TRUE(installed.runEnabled);
  EXPECT_EQ(installed.instCaption, texts::kUninstall);
  EXPECT_FALSE(uninstalled.runEnabled);
  EXPECT_EQ(uninstalled.instCaption, texts::kInstall);
  EXPECT_FALSE(medium.platform.exists(installPath + "\\origin.exe"));
  EXPECT_FALSE(medium.platform.keyExists(platform::Hive::CurrentUser, "software\\DemoAdv"));
}
