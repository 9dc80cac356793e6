// The uninstall dialog driven by a scripted user on the headless toolkit.
#include <gtest/gtest.h>

#include "forms/layouts.h"
#include "tests/uninstall/installed_game.h"
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

TEST_F(UninsformTest, DoubtfulInstallPathIsRefusedBeforeAnyQuestion) {
  for (const char* radio : {"RadioButton1", "savecheck"}) {
    SCOPED_TRACE(radio);
    ctx.config.InstallPath = "C:\\";
    auto before = platform.snapshot();
    const size_t boxesBefore = platform.messageBoxes().size();
    script.click("uninsform", radio);
    script.click("uninsform", "Button1");
    expectOpenAndUnchanged(before);
    script.click("uninsform", "Button2");
    EXPECT_EQ(dialog->showModal(), -1);
    ASSERT_EQ(platform.messageBoxes().size(), boxesBefore + 1);
    expectBox(boxesBefore, texts::kUnsafeInstallPath, platform::kMbOk);
  }
}

}  // namespace
