// The uninstall dialog driven by a scripted user on the headless toolkit.
#include <gtest/gtest.h>

#include <functional>

#include "forms/layouts.h"
#include "tests/support/installed_game.h"
#include "texts.h"
#include "toolkit/headless/script.h"
#include "uninstall/uninsform.h"

namespace {

using platform::MessageBoxRecord;

class UninsformTest : public InstalledGame {
 protected:
  UninsformTest() {
    app.createForm<toolkit::Form>(mformLayout);
    dialog = &app.createForm<Tuninsform>(ctx);
    shipped("origin.exe");
    shipped("SYSTEM.DAT");
    registerGame();
  }

  // Queues a check of the dialog between two clicks: still open, nothing
  // changed since `before`.
  void expectOpenAndUnchanged(const platform::Snapshot& before) {
    script.on("uninsform", [this, before](toolkit::Form& form) {
      EXPECT_TRUE(form.visible());
      EXPECT_EQ(form.modalResult(), 0);
      EXPECT_EQ(platform::describeDifference(before, platform.snapshot()), "");
    });
  }
  void expectBox(size_t index, const char* text, uint32_t type) {
    ASSERT_GT(platform.messageBoxes().size(), index);
    const MessageBoxRecord& box = platform.messageBoxes()[index];
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, texts::kUninstallConfirmCaption);
    EXPECT_EQ(box.type, type);
    EXPECT_EQ(box.owner, dialog->handle());
  }

  toolkit::Application app{platform};
  toolkit::headless::Script& script = toolkit::headless::scriptOf(app);
  Tuninsform* dialog = nullptr;
};

TEST_F(UninsformTest, CancelAtEitherConfirmationChangesNothingAndKeepsTheDialogOpen) {
  struct Case {
    const char* radio;
    const char* question;
  };
  for (const Case& c : {Case{"RadioButton1", texts::kConfirmKeepSaveData}, Case{"savecheck", texts::kConfirmDeleteAll}}) {
    SCOPED_TRACE(c.radio);
    auto before = platform.snapshot();
    const size_t boxesBefore = platform.messageBoxes().size();
    platform.queueMessageBoxAnswer(platform::kIdCancel);
    script.click("uninsform", c.radio);
    script.click("uninsform", "Button1");
    expectOpenAndUnchanged(before);
    script.click("uninsform", "Button2");
    EXPECT_EQ(dialog->showModal(), -1);
    EXPECT_EQ(platform::describeDifference(before, platform.snapshot()), "");
    ASSERT_EQ(platform.messageBoxes().size(), boxesBefore + 1);
    expectBox(boxesBefore, c.question, platform::kMbOkCancel);
  }
}

TEST_F(UninsformTest, KeepSaveDataConfirmedEndsWithOne) {
  EXPECT_TRUE(dialog->RadioButton1->checked());
  EXPECT_FALSE(dialog->savecheck->checked());
  script.click("uninsform", "Button1");
  EXPECT_EQ(dialog->showModal(), 1);
  EXPECT_FALSE(dialog->visible());
  EXPECT_FALSE(exists(dest("origin.exe")));
  EXPECT_TRUE(exists(dest("SYSTEM.DAT")));
  expectUnregistered();
  ASSERT_EQ(platform.messageBoxes().size(), 2u);
  expectBox(0, texts::kConfirmKeepSaveData, platform::kMbOkCancel);
  expectBox(1, texts::kUninstallComplete, platform::kMbOk);
}

TEST_F(UninsformTest, ChoiceOfDeleteAllPersistsToTheNextShowing) {
  script.click("uninsform", "savecheck");
  script.click("uninsform", "Button2");
  EXPECT_EQ(dialog->showModal(), -1);
  EXPECT_TRUE(exists(dest("origin.exe")));

  script.on("uninsform", [](toolkit::Form& form) {
    EXPECT_TRUE(form.control<toolkit::RadioButton>("savecheck").checked());
    EXPECT_FALSE(form.control<toolkit::RadioButton>("RadioButton1").checked());
  });
  script.click("uninsform", "Button1");
  EXPECT_EQ(dialog->showModal(), 1);
  EXPECT_FALSE(exists(ctx.config.InstallPath));
  expectUnregistered();
  ASSERT_EQ(platform.messageBoxes().size(), 2u);
  expectBox(0, texts::kConfirmDeleteAll, platform::kMbOkCancel);
}

// Fault: a removal asked for and then not done, or done where it must not
// be: a doubtful PATH, a game folder that is a link, a block whose names
// break the rules.
TEST_F(UninsformTest, RefusalsComeBeforeAnyQuestion) {
  ASSERT_TRUE(platform.createDirectories("C:\\Elsewhere\\Other"));
  ASSERT_TRUE(platform.addJunction("C:\\Elsewhere\\Title", "C:\\Games\\Title"));
  struct Case {
    std::function<void(AppContext&)> arrange;
    std::string message;
  };
  const Case cases[] = {
      {[](AppContext& c) { c.config.InstallPath = "C:\\"; }, texts::kUnsafeInstallPath},
      {[](AppContext& c) { c.config.InstallPath = "C:\\Elsewhere"; }, texts::kUnsafeInstallPath},
      {[](AppContext& c) { c.config.InstallPath = "C:\\Elsewhere\\Title"; },
       std::string(texts::kLinkedInstallPath) + "\nC:\\Elsewhere\\Title"},
      {[](AppContext& c) { c.config.registryKey = ""; }, std::string(texts::kBadConfigUninstall) + "\nregistryKey"},
      {[](AppContext& c) { c.plan.ExtraCopyList->add("../x"); },
       std::string(texts::kBadConfigUninstall) + "\nextraEntries[0]"},
  };
  for (const Case& c : cases) {
    for (const char* radio : {"RadioButton1", "savecheck"}) {
      SCOPED_TRACE(c.message + " " + radio);
      const InstallerConfig config = ctx.config;
      c.arrange(ctx);
      auto before = platform.snapshot();
      const size_t boxesBefore = platform.messageBoxes().size();
      script.click("uninsform", radio);
      script.click("uninsform", "Button1");
      expectOpenAndUnchanged(before);
      script.click("uninsform", "Button2");
      EXPECT_EQ(dialog->showModal(), -1);
      ASSERT_EQ(platform.messageBoxes().size(), boxesBefore + 1);
      expectBox(boxesBefore, c.message.c_str(), platform::kMbOk);
      ctx.config = config;
      ctx.plan.ExtraCopyList->clear();
    }
  }
}

// Fault: the completion told, and the menu switched to "not installed",
// while the game's running program is still in the folder.
TEST_F(UninsformTest, WhatStaysIsToldAndTheDialogEndsUndone) {
  auto held = platform.openStream(dest("origin.exe"), platform::OpenMode::Read);
  script.click("uninsform", "savecheck");
  script.click("uninsform", "Button1");
  EXPECT_EQ(dialog->showModal(), -1);
  const std::string told = std::string(texts::kUninstallIncomplete) + "\n" + dest("origin.exe") + "\n" +
                           texts::kRetryAfterClosingGame;
  expectBox(1, told.c_str(), platform::kMbOk);
  EXPECT_TRUE(platform.keyExists(Hive::CurrentUser, userKey()));
}

}  // namespace
