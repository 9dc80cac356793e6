// Forms, modal showings and the scripted user of the headless backend.
#include <gtest/gtest.h>

#include "forms/layouts.h"
#include "platform/memory/memory_platform.h"
#include "toolkit/headless/script.h"
#include "toolkit/toolkit.h"

using toolkit::Button;
using toolkit::Form;
using toolkit::Timer;
using toolkit::headless::ScriptError;

namespace {

struct Fixture : ::testing::Test {
  platform::MemoryPlatform platform;
  toolkit::Application app{platform};
  toolkit::headless::Script& script = toolkit::headless::scriptOf(app);
};

using FormTest = Fixture;

TEST_F(FormTest, FirstFormIsMainAndOnCreateRunsAfterTheDerivedConstructor) {
  struct Menu : Form {
    explicit Menu(toolkit::Application& app) : Form(app, mformLayout) {
      onCreate = [this] { createdWithCaption = caption(); };
      setCaption("set by the constructor");
    }
    std::string createdWithCaption;
  };
  Menu& menu = app.createForm<Menu>();
  Form& dialog = app.createForm<Form>(iformLayout);
  EXPECT_EQ(menu.createdWithCaption, "set by the constructor");
  EXPECT_EQ(app.mainForm(), &menu);
  EXPECT_NE(menu.handle(), 0u);
  EXPECT_NE(menu.handle(), dialog.handle());
}

TEST_F(FormTest, ModalResultStartsAtZeroAtEachShowing) {
  app.createForm<Form>(mformLayout);
  Form& dialog = app.createForm<Form>(uninsformLayout);
  std::vector<int> resultsSeen;
  for (int result : {7, -1}) {
    script.on("uninsform", [&, result](Form& form) {
      resultsSeen.push_back(form.modalResult());
      form.setModalResult(result);
    });
  }
  EXPECT_EQ(dialog.showModal(), 7);
  EXPECT_EQ(dialog.showModal(), -1);
  EXPECT_EQ(resultsSeen, (std::vector<int>{0, 0}));
  EXPECT_FALSE(dialog.visible());
  EXPECT_FALSE(dialog.inModalShowing());
}

TEST_F(FormTest, HidingAndShowingDuringAModalShowingDoesNotEndIt) {
  app.createForm<Form>(mformLayout);
  Form& dialog = app.createForm<Form>(instformLayout);
  int shows = 0;
  dialog.onShow = [&] { ++shows; };
  script.on("instform", [](Form& form) { form.hide(); });
  script.on("instform", [&](Form& form) {
    EXPECT_FALSE(form.visible());
    EXPECT_TRUE(form.inModalShowing());
    form.show();
  });
  script.on("instform", [](Form& form) {
    EXPECT_TRUE(form.visible());
    form.setModalResult(1);
  });
  EXPECT_EQ(dialog.showModal(), 1);
  EXPECT_EQ(shows, 2);
  EXPECT_TRUE(script.empty());
  EXPECT_FALSE(dialog.visible());
}

TEST_F(FormTest, ShowHandlerCanEndItsOwnDialog) {
  app.createForm<Form>(mformLayout);
  Form& progress = app.createForm<Form>(iformLayout);
  int ticks = 0;
  progress.control<Timer>("writetimer").onTimer = [&] { ++ticks; };
  progress.onShow = [&] {
    progress.setModalResult(-1);
    progress.hide();
  };
  // Nothing is scripted: the modal loop must not wait at all.
  EXPECT_EQ(progress.showModal(), -1);
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(script.ticks(), 0);
  EXPECT_FALSE(progress.visible());
}

// The menu hides itself and shows the destination dialog, which hides
// itself and shows the progress dialog; the progress dialog's timer ticks
// until it ends itself; the destination dialog shows itself again on
// failure, ends with 1 on success; the menu shows itself again.
struct ChainTest : Fixture {
  Form& menu = app.createForm<Form>(mformLayout);
  Form& destination = app.createForm<Form>(instformLayout);
  Form& progress = app.createForm<Form>(iformLayout);
  int ticksToRun = 0;
  int ticksRun = 0;
  int progressResult = 1;
  std::vector<int> menuResults;

  ChainTest() {
    menu.control<Button>("instbtn").onClick = [this] {
      menu.hide();
      menuResults.push_back(destination.showModal());
      menu.show();
    };
    menu.control<Button>("closebtn").onClick = [this] { menu.close(); };
    destination.control<Button>("Button2").onClick = [this] {
      destination.hide();
      if (progress.showModal() == 1) {
        destination.setModalResult(1);
        destination.hide();
      } else {
        destination.show();
      }
    };
    destination.control<Button>("Button3").onClick = [this] {
      destination.setModalResult(-1);
      destination.hide();
    };
    progress.onShow = [this] {
      ticksRun = 0;
      progress.control<Timer>("writetimer").setEnabled(true);
    };
    progress.control<Timer>("writetimer").onTimer = [this] {
      EXPECT_FALSE(menu.visible());
      EXPECT_FALSE(destination.visible());
      if (++ticksRun < ticksToRun) return;
      progress.control<Timer>("writetimer").setEnabled(false);
      progress.setModalResult(progressResult);
      progress.hide();
    };
  }
};

TEST_F(ChainTest, NestedModalShowingsRunToTheEndAndBack) {
  // First attempt fails after 3 ticks, the second succeeds after 5.
  script.click("mform", "instbtn");
  script.on("instform", [this](Form&) {
    ticksToRun = 3;
    progressResult = -1;
  });
  script.click("instform", "Button2");
  script.on("instform", [this](Form& form) {
    EXPECT_TRUE(form.visible());  // shown again after the failure
    ticksToRun = 5;
    progressResult = 1;
  });
  script.click("instform", "Button2");
  script.on("mform", [this](Form& form) {
    EXPECT_TRUE(form.visible());
    EXPECT_EQ(menuResults, (std::vector<int>{1}));
  });
  script.click("mform", "instbtn");
  script.click("instform", "Button3");
  script.click("mform", "closebtn");
  app.run();

  EXPECT_EQ(script.ticks(), 8);
  EXPECT_EQ(menuResults, (std::vector<int>{1, -1}));
  EXPECT_TRUE(script.empty());
  EXPECT_TRUE(app.terminated());
  EXPECT_FALSE(menu.visible());
}

// Fault: a dialog owned by a hidden form (the menu hides itself before its
// dialogs), the browse dialog not owned by the destination dialog, or an
// error box owned by a hidden form while a dialog stays enabled under it.
TEST_F(ChainTest, ADialogIsOwnedByTheFormInFrontAndSoIsAnErrorBox) {
  Form& browse = app.createForm<Form>(dirformLayout);
  destination.control<Button>("Button1").onClick = [&] { browse.showModal(); };
  browse.control<Button>("Button1").onClick = [] { throw toolkit::Exception("broken"); };
  script.click("mform", "instbtn");
  script.click("instform", "Button1");
  script.click("dirform", "Button1");
  script.on("dirform", [&](Form&) {
    EXPECT_EQ(destination.owner(), nullptr);
    EXPECT_EQ(browse.owner(), &destination);
    EXPECT_EQ(app.frontForm(), &browse);
    browse.setModalResult(-1);
  });
  script.click("instform", "Button3");
  script.click("mform", "closebtn");
  app.run();
  ASSERT_EQ(platform.messageBoxes().size(), 1u);
  EXPECT_EQ(platform.messageBoxes()[0].owner, browse.handle());
}

// Fault: the end of the session leaving a dialog's work undone, or
// abandoning the outer dialog before the inner one, or twice, or a dialog or
// the menu shown again while the session ends.
TEST_F(ChainTest, TheEndOfTheSessionAbandonsEveryDialogInnermostFirstOnce) {
  std::vector<std::string> abandoned;
  destination.onAbandon = [&] { abandoned.push_back("instform"); };
  progress.onAbandon = [&] { abandoned.push_back("iform"); };
  ticksToRun = 1000;
  script.click("mform", "instbtn");
  script.click("instform", "Button2");
  script.on("iform", [&](Form&) {
    app.endSession();
    app.endSession();
  });
  app.run();
  EXPECT_EQ(abandoned, (std::vector<std::string>{"iform", "instform"}));
  EXPECT_TRUE(app.terminated());
  EXPECT_EQ(menuResults, (std::vector<int>{0}));
  // The callers' show() after the abandoned showings does nothing: the
  // session is over.
  EXPECT_FALSE(destination.visible());
  EXPECT_FALSE(menu.visible());
}

TEST_F(ChainTest, WaitWithNothingScriptedIsAScriptError) {
  script.click("mform", "instbtn");
  script.click("mform", "closebtn");  // but instform is the one waiting
  try {
    app.run();
    FAIL() << "no ScriptError";
  } catch (const ScriptError& error) {
    std::string message = error.what();
    EXPECT_NE(message.find("form instform waits"), std::string::npos) << message;
    EXPECT_NE(message.find("is for form mform"), std::string::npos) << message;
  }

  toolkit::Application other(platform);
  other.createForm<Form>(mformLayout);
  try {
    other.run();
    FAIL() << "no ScriptError";
  } catch (const ScriptError& error) {
    EXPECT_NE(std::string(error.what()).find("no step is left"), std::string::npos) << error.what();
  }
}

TEST_F(ChainTest, TimerThatNeverEndsItsDialogHitsTheTickLimit) {
  ticksToRun = 1000;
  script.setTickLimit(50);
  script.click("mform", "instbtn");
  script.click("instform", "Button2");
  EXPECT_THROW(app.run(), ScriptError);
  EXPECT_EQ(ticksRun, 50);
}

TEST_F(FormTest, CloseCancelsAModalShowingAndEndsTheApplicationFromTheMainForm) {
  Form& menu = app.createForm<Form>(mformLayout);
  Form& dialog = app.createForm<Form>(dirformLayout);
  int closes = 0;
  menu.onClose = [&] { ++closes; };
  dialog.onClose = [&] { ++closes; };

  script.close("dirform");
  EXPECT_EQ(dialog.showModal(), 2);
  EXPECT_EQ(closes, 0);

  dialog.show();
  dialog.close();  // not modal: its close handler runs and it hides
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(dialog.visible());
  EXPECT_FALSE(app.terminated());

  script.close("mform");
  app.run();
  EXPECT_EQ(closes, 2);
  EXPECT_TRUE(app.terminated());
}

// Fault: a dialog centred on the primary screen's whole area (under a
// docked taskbar, or on another monitor than the menu the player looks at),
// sticking out of its monitor when larger than the work area, or moved back
// to the middle after the player placed it on the menu's monitor.
TEST_F(FormTest, CentredFormsGoToTheWorkAreaOfTheMonitorThatHoldsTheMenu) {
  const platform::Monitor primary{{0, 0, 1024, 768}, {0, 0, 1024, 728}};              // taskbar at the bottom
  const platform::Monitor second{{1024, -100, 2304, 924}, {1104, -100, 2304, 924}};  // a bar docked left
  platform.setMonitors({primary, second});
  using Place = std::pair<int, int>;
  auto placeOf = [](const Form& form) { return Place(form.left(), form.top()); };
  Form& menu = app.createForm<Form>(mformLayout);
  menu.show();
  EXPECT_EQ(placeOf(menu), Place((1024 - 220) / 2, (728 - 110) / 2));
  menu.hide();  // as while its dialogs run

  const Place onPrimary((1024 - 320) / 2, (728 - 130) / 2);
  const Place onSecond(1104 + (1200 - 320) / 2, -100 + (1024 - 130) / 2);
  struct Case {
    const char* menuWhere;
    Place menu;
    Place dialog;
  };
  const Case cases[] = {
      {"on the primary", {402, 309}, onPrimary},
      {"on the second", {1500, 200}, onSecond},
      {"more on the second than on the primary", {950, 10}, onSecond},
      {"off every monitor, nearest the second", {5000, 300}, onSecond},
  };
  for (const Case& c : cases) {
    Form& dialog = app.createForm<Form>(instformLayout);  // shown for the first time
    menu.userSetPosition(c.menu.first, c.menu.second);
    dialog.show();
    EXPECT_EQ(placeOf(dialog), c.dialog) << "menu " << c.menuWhere;
  }

  // Shown again: where the player left it on the menu's monitor, else on
  // the menu's monitor again.
  Form& dialog = app.createForm<Form>(instformLayout);
  dialog.show();
  dialog.userSetPosition(1200, 0);
  dialog.hide();
  dialog.show();
  EXPECT_EQ(placeOf(dialog), Place(1200, 0));
  dialog.hide();
  menu.userSetPosition(402, 309);
  dialog.show();
  EXPECT_EQ(placeOf(dialog), onPrimary);

  // Larger than the work area: its top-left corner inside.
  menu.userSetPosition(1500, 200);
  Form& large = app.createForm<Form>(dirformLayout);
  large.setClientWidth(1300);
  large.setClientHeight(1100);
  large.show();
  EXPECT_EQ(placeOf(large), Place(1104, -100));
}

TEST_F(FormTest, ExceptionIsShownInAMessageBoxOwnedByTheMainForm) {
  Form& menu = app.createForm<Form>(mformLayout);
  app.showException(toolkit::Exception("broken"));  // no form is shown
  ASSERT_EQ(platform.messageBoxes().size(), 1u);
  EXPECT_EQ(platform.messageBoxes()[0].owner, menu.handle());
  EXPECT_EQ(platform.messageBoxes()[0].text, "broken");
  EXPECT_EQ(platform.messageBoxes()[0].caption, "install");
}

}  // namespace
