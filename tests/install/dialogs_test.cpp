// The destination and browse dialogs: drive names, the confirmation, the
// composition of InstallPath, where browsing opens, and the current
// directory after it.
#include <functional>

#include "install/destination.h"
#include "tests/support/dialog_fixture.h"

namespace {

using platform::kIdCancel;

class DestinationTest : public DialogTest {
 protected:
  // Shows the destination dialog, lets the user type `text` and press the
  // start button, then cancel whatever remains open; the dialog's result.
  int startWith(const std::string& text) {
    script.on("instform", [this, text](toolkit::Form&) { instform.dirpath->setText(text); });
    script.click("instform", "Button2");
    script.on("instform", [this, text](toolkit::Form& form) {
      EXPECT_TRUE(form.visible());
      EXPECT_EQ(instform.dirpath->text(), text);
      instform.Button3->click();
    });
    return instform.showModal();
  }
  std::string confirmation(const std::string& destination) {
    return destination + sjis("に\n") + "Title" + sjis("フォルダを作成して\nインストールします");
  }
};

TEST_F(DestinationTest, DestinationsWithoutDriveNameAreRefused) {
  const std::string refused[] = {"", "1:\\games", "C", "Cgames", " C:\\games", "\\\\server\\share", sjis("Ｃ:\\games"),
                                 "C;\\games"};
  for (const auto& text : refused) {
    SCOPED_TRACE(text);
    const size_t shown = platform.messageBoxes().size();
    EXPECT_EQ(startWith(text), -1);
    ASSERT_EQ(platform.messageBoxes().size(), shown + 1);
    const auto& box = platform.messageBoxes().back();
    EXPECT_EQ(box.text, texts::kNeedDriveName);
    EXPECT_EQ(box.caption, texts::kDestinationConfirmCaption);
    EXPECT_EQ(box.type, platform::kMbOk);
    EXPECT_EQ(box.owner, instform.handle());
  }
  EXPECT_EQ(platform.openCount(platform::OpenMode::Read), 0);
}

TEST_F(DestinationTest, ConfirmationTextAndCancellingIt) {
  // The destination is confirmed absolute: drive C keeps its root as the
  // folder "C:games" continues.
  const std::pair<std::string, std::string> accepted[] = {{"c:\\games", "c:\\games"},
                                                          {"C:games", "C:\\games"},
                                                          {"D:\\", "D:\\"},
                                                          {"D:/Games//New/", "D:\\Games\\New"},
                                                          {"D:\\" + sjis("ゲーム ソフト"), "D:\\" + sjis("ゲーム ソフト")}};
  for (const auto& [text, shown] : accepted) {
    SCOPED_TRACE(text);
    platform.queueMessageBoxAnswer(kIdCancel);
    EXPECT_EQ(startWith(text), -1);
    const auto& box = platform.messageBoxes().back();
    EXPECT_EQ(box.text, confirmation(shown));
    EXPECT_EQ(box.caption, texts::kDestinationConfirmCaption);
    EXPECT_EQ(box.type, platform::kMbOkCancel);
  }
  EXPECT_EQ(platform.openCount(platform::OpenMode::Read), 0);
}

TEST(ComposeInstallPath, OneSeparatorBeforeTheGameFolder) {
  const std::string so = sjis("ソ");  // ends in 0x5C
  struct Case {
    std::string destination, installPath;
  };
  const Case cases[] = {
      {"D:\\Games", "D:\\Games\\Title"},
      {"D:\\", "D:\\Title"},
      {"C:games", "C:games\\Title"},
      {"D:\\\\", "D:\\\\Title"},
      {"D:\\" + so, "D:\\" + so + "\\Title"},
      {"D:\\" + so + "\\", "D:\\" + so + "\\Title"},
  };
  for (const auto& c : cases) EXPECT_EQ(composeInstallPath(c.destination, "Title"), c.installPath) << c.destination;
}

TEST_F(DestinationTest, PathsLongerThanTheFileSystemTakesAreRefusedBeforeAnything) {
  // InstallPath with room for "\" and a 12-character name within 259.
  const std::string fits = "D:\\" + std::string(246 - 3 - 6, 'p');
  ASSERT_TRUE(installPathFits(composeInstallPath(fits, "Title")));
  ASSERT_FALSE(installPathFits(composeInstallPath(fits + "p", "Title")));
  // A double-byte character counts once: 246 characters in more bytes fit.
  std::string wide = "D:\\";
  while (wide.size() < 3 + 2 * 237) wide += sjis("ソ");
  ASSERT_TRUE(installPathFits(composeInstallPath(wide, "Title")));

  put("origin.exe", "MZ");
  const auto before = platform.snapshot();
  EXPECT_EQ(startWith(fits + "p"), -1);
  EXPECT_EQ(messages(), Names{texts::kPathTooLong});
  EXPECT_EQ(platform.messageBoxes()[0].caption, texts::kDestinationConfirmCaption);
  EXPECT_EQ(describeDifference(before, platform.snapshot()), "");

  EXPECT_EQ(startWith(wide), 1);
  EXPECT_EQ(ctx.config.InstallPath, wide + "\\Title");
  EXPECT_EQ(platform.readFile(dest("origin.exe")), "MZ");
}

// Nested entries and the folders made for them are measured once the plan
// is known: files within 259 characters, folders within 247.
TEST_F(DestinationTest, PlansLongerThanTheFileSystemTakesAreRefusedBeforeAnyFolder) {
  const std::string installPath = "D:\\Title";  // 8 characters
  struct Case {
    std::string entry;
    bool fits;
  };
  const Case cases[] = {
      {"a\\" + std::string(248, 'n'), true},   // a file of 259
      {"a\\" + std::string(249, 'n'), false},  // 260
      {std::string(238, 'd') + "\\x", true},   // a folder of 247
      {std::string(239, 'd') + "\\x", false},  // 248
      {std::string(119, 'd') + "\\" + std::string(118, 'e') + "\\x", true},
      {std::string(119, 'd') + "\\" + std::string(119, 'e') + "\\x", false},  // the deeper folder is 248
  };
  for (const Case& c : cases) EXPECT_EQ(planFits(installPath, {"origin.exe", c.entry}), c.fits) << c.entry.size();
  // A double-byte character counts once.
  std::string wide;
  while (wide.size() < 2 * 250) wide += sjis("ソ");
  EXPECT_TRUE(planFits(installPath, {wide}));

  put("origin.exe", "MZ");
  put(cases[1].entry);
  ctx.plan.ExtraCopyList->add("a");
  const auto before = platform.snapshot();
  EXPECT_EQ(startWith("D:\\"), -1);
  EXPECT_EQ(messages(), (Names{confirmation("D:\\"), texts::kPathTooLong}));
  EXPECT_EQ(platform.messageBoxes()[1].caption, texts::kDestinationConfirmCaption);
  EXPECT_EQ(platform.messageBoxes()[1].owner, iform.handle());
  EXPECT_EQ(describeDifference(before, platform.snapshot()), "");
}

TEST_F(DestinationTest, CompletedInstallationEndsWithOne) {
  put("origin.exe", "MZ");
  EXPECT_EQ(startWith("D:\\"), 1);
  EXPECT_EQ(ctx.config.InstallPath, "D:\\Title");
  EXPECT_EQ(messages(), (Names{confirmation("D:\\"), texts::kInstallComplete}));
  EXPECT_FALSE(instform.visible());
  EXPECT_EQ(script.pending(), 1u);  // the cancel was never needed
}

TEST_F(DestinationTest, AfterAFailedCopyTheDialogReturnsAndASecondAttemptComposesAgain) {
  put("origin.exe", "MZ");
  platform.failOpen("D:\\Games\\Title\\origin.exe", platform::OpenMode::Write);
  script.on("instform", [this](toolkit::Form&) { instform.dirpath->setText("D:\\Games"); });
  script.click("instform", "Button2");
  script.on("instform", [this](toolkit::Form& form) {
    EXPECT_TRUE(form.visible());
    EXPECT_EQ(instform.dirpath->text(), "D:\\Games");
    EXPECT_EQ(ctx.config.InstallPath, "D:\\Games\\Title");
    instform.dirpath->setText("D:\\Other");
  });
  script.click("instform", "Button2");

  EXPECT_EQ(instform.showModal(), 1);
  EXPECT_EQ(ctx.config.InstallPath, "D:\\Other\\Title");
  EXPECT_EQ(platform.readFile("D:\\Other\\Title\\origin.exe"), "MZ");
  EXPECT_TRUE(script.empty());
}

class BrowseTest : public DialogTest {
 protected:
  // Browses from the typed text; `inBrowser` acts in the browse dialog.
  void browse(const std::string& typed, std::function<void(Tdirform&)> inBrowser) {
    script.on("instform", [this, typed, inBrowser](toolkit::Form&) {
      instform.dirpath->setText(typed);
      script.on("dirform", [this, inBrowser](toolkit::Form&) { inBrowser(dirform); });
      instform.Button1->click();
      EXPECT_EQ(platform.currentDirectory(), "E:\\");
      instform.Button3->click();
    });
    instform.showModal();
  }
};

TEST_F(BrowseTest, OpensAtTheDeepestExistingFolderOfTheText) {
  const std::string so = sjis("ソフト");
  platform.createDirectories("D:\\Games\\" + so);
  platform.createDirectories("C:\\Other");
  struct Case {
    std::string typed, opensAt;
  };
  const Case cases[] = {
      {"D:\\Games\\New\\Sub", "D:\\Games"},
      {"D:\\Games", "D:\\Games"},
      {"D:\\Games\\" + so + "\\x", "D:\\Games\\" + so},
      {"D:\\Games\\" + so, "D:\\Games\\" + so},
      {"Q:\\Games", "D:\\Games\\" + so},  // no such drive: where it was left
      {"games", "D:\\Games\\" + so},      // no drive: where it was left
      {"C:\\Other\\", "C:\\Other"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    browse(c.typed, [&](Tdirform& form) {
      EXPECT_EQ(form.dirlist->folder(), c.opensAt);
      form.Button2->click();
    });
    EXPECT_EQ(instform.dirpath->text(), c.typed);
  }
}

TEST_F(BrowseTest, AcceptingWritesTheFullPathAndTheCurrentDirectoryComesBack) {
  platform.createDirectories("D:\\Games\\Chosen");
  browse("D:\\Games", [](Tdirform& form) {
    const auto& items = form.dirlist->items();
    auto chosen = std::find(items.begin(), items.end(), "D:\\Games\\Chosen");
    ASSERT_NE(chosen, items.end());
    form.dirlist->open(static_cast<int>(chosen - items.begin()));
    form.Button1->click();
    EXPECT_EQ(form.modalResult(), 1);
  });
  EXPECT_EQ(instform.dirpath->text(), "D:\\Games\\Chosen");

  // A drive chosen in the list gives its root.
  browse("D:\\Games", [](Tdirform& form) {
    form.drivelist->choose('c');
    form.Button1->click();
  });
  EXPECT_EQ(instform.dirpath->text(), "C:\\");
}

// Fault: a name without a Shift-JIS form taken for its look-alike ("Élan"
// for "Elan"): a destination typed, or the folder the browse list stands in,
// installed elsewhere; the medium's current directory of such a name not
// put back after browsing, so that the copy reads its sources elsewhere.
TEST_F(BrowseTest, NamesWithoutAShiftJisFormAreRefusedAndTheCurrentDirectoryKept) {
  put("foreign\\origin.exe", "MZ");
  ASSERT_TRUE(platform.markUnrepresentable("E:\\foreign"));
  ASSERT_TRUE(platform.setCurrentDirectory("E:\\foreign"));
  dirform.dirlist->refresh();  // as when the menu starts from there
  EXPECT_EQ(dirform.dirlist->folder(), "");
  EXPECT_TRUE(dirform.dirlist->items().empty());
  const auto before = platform.snapshot();

  script.on("instform", [this](toolkit::Form&) { instform.dirpath->userSetUnrepresentableText(); });
  script.click("instform", "Button2");
  script.on("instform", [this, &before](toolkit::Form& form) {
    EXPECT_TRUE(form.visible());
    EXPECT_TRUE(instform.dirpath->textUnrepresentable());
    script.on("dirform", [this](toolkit::Form& browser) {
      dirform.Button1->click();  // refused: the browser stays
      EXPECT_TRUE(browser.visible());
      dirform.Button2->click();
    });
    instform.Button1->click();
    EXPECT_EQ(platform.currentDirectory(), "");
    EXPECT_EQ(platform.readFile("origin.exe"), "MZ");  // the medium, found again
    EXPECT_EQ(describeDifference(before, platform.snapshot()), "");
    instform.dirpath->setText("D:\\Games");
    instform.Button2->click();  // installs from the medium found again
  });
  EXPECT_EQ(instform.showModal(), 1);

  EXPECT_EQ(messages(), (Names{texts::kUnusableDestination, texts::kUnusableDestination,
                               confirmationText("D:\\Games", "Title"), texts::kInstallComplete}));
  for (size_t i : {0, 1}) {
    EXPECT_EQ(platform.messageBoxes()[i].caption, texts::kDestinationConfirmCaption);
    EXPECT_EQ(platform.messageBoxes()[i].type, platform::kMbOk);
  }
  EXPECT_EQ(platform.readFile("D:\\Games\\Title\\origin.exe"), "MZ");
}

// Fault: the installation going ahead, or creating anything, where it must
// stop first: a name on the medium without a Shift-JIS form (passed over, or
// copied under a look-alike), a folder of the medium whose listing fails (an
// incomplete installation reported as complete), a folder of the plan that
// is a junction (the copy and its rollback would work in the link's
// target), no right to write at the destination (told as a full disk), and
// a block whose names break the rules.
TEST(InstallNames, EveryRefusalBeforeTheCopyCreatesNothing) {
  struct Case {
    const char* name;
    std::function<void(Machine&)> arrange;
    std::string message;
    const char* caption;
  };
  const Case cases[] = {
      {"unrepresentable file", [](Machine& m) { m.platform.markUnrepresentable("E:\\data\\a.bin"); },
       std::string(texts::kUnusableFileName) + "\ndata", texts::kConfirmCaption},
      {"unrepresentable folder", [](Machine& m) { m.platform.markUnrepresentable("E:\\data\\sub"); },
       std::string(texts::kUnusableFileName) + "\ndata", texts::kConfirmCaption},
      {"unrepresentable save", [](Machine& m) { m.platform.markUnrepresentable("E:\\save\\slot.dat"); },
       std::string(texts::kUnusableFileName) + "\nsave", texts::kConfirmCaption},
      {"listing fails part-way", [](Machine& m) { m.platform.failListing("E:\\data\\sub", 1); },
       std::string(texts::kReadFailed) + "\ndata\\sub", texts::kConfirmCaption},
      {"listing fails at once", [](Machine& m) { m.platform.failListing("E:\\save"); },
       std::string(texts::kReadFailed) + "\nsave", texts::kConfirmCaption},
      {"plan folder is a link",
       [](Machine& m) {
         ASSERT_TRUE(m.platform.createDirectories("D:\\Games\\Title"));
         ASSERT_TRUE(m.platform.createDirectories("C:\\Elsewhere"));
         ASSERT_TRUE(m.platform.addJunction("D:\\Games\\Title\\data", "C:\\Elsewhere"));
       },
       std::string(texts::kLinkedInstallFolder) + "\nD:\\Games\\Title\\data", texts::kConfirmCaption},
      {"no right to write", [](Machine& m) { m.platform.denyWrites("D:\\"); },
       std::string(texts::kCannotWriteDestination) + "\nD:\\", texts::kConfirmCaption},
      {"game folder breaks the name rules", [](Machine& m) { m.ctx.config.gameFolder = "Title."; },
       std::string(texts::kBadConfigInstall) + "\ngameFolder", texts::kDestinationConfirmCaption},
      {"entry breaks the name rules", [](Machine& m) { m.ctx.plan.PreserveList->add("save\\aux.sav"); },
       std::string(texts::kBadConfigInstall) + "\npreserveEntries[1]", texts::kDestinationConfirmCaption},
      // Five files of one cluster each (the save is not there yet) on a
      // drive with room for four.
      {"not enough space", [](Machine& m) { m.platform.setVolumeSpace('D', {4 * 4096, 4096}); },
       std::string(texts::kNotEnoughSpace) + sjis("\n必要な空き容量: 1 MB\n現在の空き容量: 0 MB"),
       texts::kConfirmCaption},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Machine m;
    Dialogs dialogs(m);
    m.put("origin.exe", "MZ");
    m.put("data\\a.bin");
    m.put("data\\sub\\b.bin");
    m.put("data\\sub\\c.bin");
    m.put("save\\slot.dat");
    m.ctx.plan.ExtraCopyList->add("data");
    m.ctx.plan.PreserveList->add("save");
    c.arrange(m);
    const auto before = m.platform.snapshot();

    dialogs.script.on("instform", [&](toolkit::Form&) { dialogs.instform.dirpath->setText("D:\\Games"); });
    dialogs.script.click("instform", "Button2");
    dialogs.script.on("instform", [&](toolkit::Form&) { dialogs.instform.Button3->click(); });
    EXPECT_EQ(dialogs.instform.showModal(), -1);

    ASSERT_FALSE(m.platform.messageBoxes().empty());
    const auto& box = m.platform.messageBoxes().back();
    EXPECT_EQ(box.text, c.message);
    EXPECT_EQ(box.caption, c.caption);
    EXPECT_EQ(box.type, platform::kMbOk);
    EXPECT_EQ(describeDifference(before, m.platform.snapshot()), "");
  }
}

}  // namespace
