// The forms' windows: class, caption, frame, size, fonts, and the modal and
// main loops served by real messages.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "forms/layouts.h"
#include "platform/memory/memory_platform.h"
#include "tests/support/sjis_text.h"
#include "tests/toolkit-win32/win32_support.h"
#include "texts.h"
#include "toolkit/win32/handles.h"

using namespace toolkit;

namespace {

struct WindowsTest : ::testing::Test {
  platform::MemoryPlatform platform;
  Application app{platform};
};

TEST_F(WindowsTest, FormsHaveTheirClassCaptionFrameAndSize) {
  struct Case {
    const FormLayout& layout;
    const wchar_t* className;
    const wchar_t* caption;
    bool systemMenu;
    bool sizeable;
  };
  const Case cases[] = {
      {mformLayout, L"Tmform", L"　起動メニュー", true, false},
      {instformLayout, L"Tinstform", L"インストール先の設定", false, false},
      {dirformLayout, L"Tdirform", L"dirform", false, false},
      {iformLayout, L"Tiform", L"インストール中", false, false},
      {uninsformLayout, L"Tuninsform", L"アンインストール", false, true},
  };
  for (const Case& c : cases) {
    Form& form = app.createForm<Form>(c.layout);
    if (&c.layout == &mformLayout) form.setCaption(texts::kMenuCaptionSuffix);
    HWND window = windowOf(form);
    ASSERT_NE(window, nullptr) << form.name();
    EXPECT_EQ(classOf(window), c.className);
    EXPECT_EQ(textOf(window), c.caption) << form.name();

    RECT client{}, outer{};
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    if (c.layout.outerSize) {
      EXPECT_EQ(outer.right - outer.left, c.layout.bounds.width) << form.name();
      EXPECT_EQ(outer.bottom - outer.top, c.layout.bounds.height) << form.name();
    } else {
      EXPECT_EQ(client.right, c.layout.bounds.width) << form.name();
      EXPECT_EQ(client.bottom, c.layout.bounds.height) << form.name();
    }
    EXPECT_EQ(form.clientWidth(), client.right) << form.name();
    EXPECT_EQ(form.clientHeight(), client.bottom) << form.name();

    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << form.name();
    EXPECT_EQ((style & WS_SYSMENU) != 0, c.systemMenu) << form.name();
    EXPECT_EQ((style & WS_THICKFRAME) != 0, c.sizeable) << form.name();
    EXPECT_EQ((style & WS_CAPTION), static_cast<LONG_PTR>(WS_CAPTION)) << form.name();
    // The program's icon in the title bar and the taskbar.
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0) << form.name();
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0) << form.name();
  }
}

TEST_F(WindowsTest, ClientSizeAndCentringFollowTheForm) {
  Form& menu = app.createForm<Form>(mformLayout);
  menu.setClientWidth(400);
  menu.setClientHeight(300);
  RECT client{};
  GetClientRect(windowOf(menu), &client);
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 300);

  menu.show();
  RECT outer{};
  GetWindowRect(windowOf(menu), &outer);
  // The middle of the work area of the monitor that holds the form.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(windowOf(menu), MONITOR_DEFAULTTONEAREST), &monitor));
  const RECT work = monitor.rcWork;
  EXPECT_EQ(outer.left, work.left + (work.right - work.left - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, work.top + (work.bottom - work.top - (outer.bottom - outer.top)) / 2);
  EXPECT_EQ(menu.left(), outer.left);
  EXPECT_EQ(menu.top(), outer.top);
  EXPECT_TRUE(IsWindowVisible(windowOf(menu)));
  menu.hide();
  drainMessages();
  EXPECT_FALSE(IsWindowVisible(windowOf(menu)));
}

TEST_F(WindowsTest, ControlsUseTheUiFontInShiftJis) {
  app.createForm<Form>(mformLayout);
  Form& destination = app.createForm<Form>(instformLayout);
  struct Case {
    const char* control;
    LONG height;
  };
  for (Case c : {Case{"Button1", -12}, Case{"instlabel", -12}, Case{"dirpath", 13}}) {
    HWND child = childOf(destination, c.control);
    LOGFONTW font{};
    ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), sizeof font, &font));
    EXPECT_EQ(font.lfHeight, c.height) << c.control;
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET) << c.control;
    EXPECT_STREQ(font.lfFaceName, L"ＭＳ Ｐゴシック") << c.control;
  }
}

// Timers of the thread, not of the toolkit: they act as the user would.
void CALLBACK clickCancel(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  // Neither the close message nor Alt+F4 may end a dialog.
  SendMessageW(window, WM_CLOSE, 0, 0);
  SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  // As a UI driver finds it: by class and caption.
  PostMessageW(FindWindowExW(window, nullptr, L"Button", L"中止"), BM_CLICK, 0, 0);
}

TEST_F(WindowsTest, ModalShowingEndsThroughAButtonClickAndIgnoresClose) {
  Form& menu = app.createForm<Form>(mformLayout);
  menu.show();
  for (const FormLayout* layout : {&uninsformLayout, &instformLayout}) {
    Form& dialog = app.createForm<Form>(*layout);
    bool menuDisabledMeanwhile = false;
    auto& cancel = dialog.control<Button>(layout == &uninsformLayout ? "Button2" : "Button3");
    cancel.onClick = [&] {
      menuDisabledMeanwhile = !IsWindowEnabled(windowOf(menu));
      dialog.setModalResult(-1);
      dialog.hide();
    };
    SetTimer(windowOf(dialog), 1, 20, clickCancel);
    EXPECT_EQ(dialog.showModal(), -1) << dialog.name();
    EXPECT_TRUE(menuDisabledMeanwhile) << dialog.name();
    EXPECT_TRUE(IsWindowEnabled(windowOf(menu))) << dialog.name();
    drainMessages();  // the dialog's window goes when the thread serves its messages
    EXPECT_FALSE(IsWindowVisible(windowOf(dialog))) << dialog.name();
    EXPECT_EQ(GetForegroundWindow(), windowOf(menu)) << dialog.name();
  }
}

void CALLBACK closeOwnerThenCancel(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  // As the taskbar or another program asks.
  SendMessageW(GetWindow(window, GW_OWNER), WM_CLOSE, 0, 0);
  PostMessageW(FindWindowExW(window, nullptr, L"Button", L"中止"), BM_CLICK, 0, 0);
}

// Fault: a close request reaching the menu while a dialog runs over it
// ending the program, which frees what the dialog still uses.
TEST_F(WindowsTest, CloseRequestToTheMenuIsRefusedWhileADialogRuns) {
  Form& menu = app.createForm<Form>(mformLayout);
  Form& dialog = app.createForm<Form>(uninsformLayout);
  int closes = 0;
  menu.onClose = [&] { ++closes; };
  dialog.control<Button>("Button2").onClick = [&] {
    dialog.setModalResult(-1);
    dialog.hide();
  };
  menu.show();
  SetTimer(windowOf(dialog), 1, 20, closeOwnerThenCancel);
  EXPECT_EQ(dialog.showModal(), -1);
  EXPECT_EQ(GetWindow(windowOf(dialog), GW_OWNER), windowOf(menu));
  EXPECT_EQ(closes, 0);
  EXPECT_FALSE(app.terminated());
  EXPECT_TRUE(menu.visible());
  EXPECT_TRUE(IsWindowVisible(windowOf(menu)));
}

// Fault: the browse dialog not owned by the destination dialog (which,
// disabled, could then cover it, with a taskbar button of each), a dialog
// owned by the hidden menu, or an error box owned by a form other than the
// one in front, which stays enabled under it.
TEST_F(WindowsTest, TheBrowseDialogIsOwnedByTheDestinationDialogAndSoIsAnErrorBox) {
  Form& menu = app.createForm<Form>(mformLayout);
  Form& destination = app.createForm<Form>(instformLayout);
  Form& browse = app.createForm<Form>(dirformLayout);
  HWND destinationOwner = HWND(1);
  HWND browseOwner = nullptr;
  menu.control<Button>("instbtn").onClick = [&] {
    menu.hide();
    destination.showModal();
    app.terminate();
  };
  destination.onShow = [&] { PostMessageW(childOf(destination, "Button1"), BM_CLICK, 0, 0); };
  destination.control<Button>("Button1").onClick = [&] {
    browse.showModal();
    destination.setModalResult(-1);
  };
  browse.onShow = [&] {
    PostMessageW(childOf(browse, "Button1"), BM_CLICK, 0, 0);
    PostMessageW(childOf(browse, "Button2"), BM_CLICK, 0, 0);
  };
  browse.control<Button>("Button1").onClick = [] { throw Exception("broken handler"); };
  browse.control<Button>("Button2").onClick = [&] {
    destinationOwner = GetWindow(windowOf(destination), GW_OWNER);
    browseOwner = GetWindow(windowOf(browse), GW_OWNER);
    browse.setModalResult(-1);
  };
  menu.show();
  PostMessageW(childOf(menu, "instbtn"), BM_CLICK, 0, 0);
  app.run();
  EXPECT_EQ(destinationOwner, nullptr);
  EXPECT_EQ(browseOwner, windowOf(destination));
  ASSERT_EQ(platform.messageBoxes().size(), 1u);
  EXPECT_EQ(platform.messageBoxes()[0].owner, browse.handle());
}

TEST_F(WindowsTest, ClosingTheMenuEndsTheApplication) {
  Form& menu = app.createForm<Form>(mformLayout);
  int closes = 0;
  menu.onClose = [&] { ++closes; };
  PostMessageW(windowOf(menu), WM_CLOSE, 0, 0);
  app.run();
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(app.terminated());
  EXPECT_FALSE(IsWindowVisible(windowOf(menu)));
}

void CALLBACK postQuit(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  PostQuitMessage(3);
}

TEST_F(WindowsTest, QuitInsideAModalShowingEndsItAndReachesTheMainLoop) {
  Form& menu = app.createForm<Form>(mformLayout);
  Form& dialog = app.createForm<Form>(uninsformLayout);
  int result = -5;
  bool quitPassedOn = false;
  menu.control<Button>("instbtn").onClick = [&] {
    SetTimer(windowOf(dialog), 1, 10, postQuit);
    result = dialog.showModal();
    MSG message;
    quitPassedOn = PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);
    if (!quitPassedOn) PostQuitMessage(0);  // fail rather than hang
  };
  PostMessageW(childOf(menu, "instbtn"), BM_CLICK, 0, 0);
  app.run();  // ends when the quit message comes back to it
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(quitPassedOn);
  EXPECT_TRUE(app.terminated());
  EXPECT_FALSE(IsWindowVisible(windowOf(dialog)));
}

TEST_F(WindowsTest, TimerTicksUntilItEndsItsDialog) {
  app.createForm<Form>(mformLayout);
  Form& progress = app.createForm<Form>(iformLayout);
  auto& timer = progress.control<Timer>("writetimer");
  auto& bar = progress.control<ProgressBar>("totalwrite");
  int ticks = 0;
  progress.onShow = [&] { timer.setEnabled(true); };
  timer.onTimer = [&] {
    bar.setPosition(++ticks * 40);
    if (ticks < 3) return;
    timer.setEnabled(false);
    progress.setModalResult(1);
    progress.hide();
  };
  EXPECT_EQ(progress.showModal(), 1);
  EXPECT_EQ(ticks, 3);
  HWND barWindow = childOf(progress, "totalwrite");
  EXPECT_EQ(SendMessageW(barWindow, PBM_GETPOS, 0, 0), 100);
  EXPECT_EQ(SendMessageW(barWindow, PBM_GETRANGE, FALSE, 0), 100);
}

TEST_F(WindowsTest, ExceptionFromAHandlerIsShownAndTheLoopGoesOn) {
  Form& menu = app.createForm<Form>(mformLayout);
  auto& close = menu.control<Button>("closebtn");
  close.onClick = [] { throw Exception("broken handler"); };
  menu.show();
  SendMessageW(childOf(menu, "closebtn"), BM_CLICK, 0, 0);
  ASSERT_EQ(platform.messageBoxes().size(), 1u);
  EXPECT_EQ(platform.messageBoxes()[0].text, "broken handler");
  EXPECT_EQ(platform.messageBoxes()[0].owner, menu.handle());
}

TEST(Handles, MoveClosesWhatTheTargetHeldAndEmptiesTheSource) {
  HFONT first = CreateFontW(12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma");
  HFONT second = CreateFontW(14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma");
  ASSERT_TRUE(first && second);
  win32::UniqueFont source(first);
  win32::UniqueFont target(second);
  target = std::move(source);
  EXPECT_EQ(GetObjectType(second), 0u);  // closed by the move
  EXPECT_EQ(target.get(), first);
  EXPECT_FALSE(source);
  win32::UniqueFont moved(std::move(target));
  EXPECT_EQ(moved.get(), first);
  moved.reset();
  EXPECT_EQ(GetObjectType(first), 0u);
}

}  // namespace
