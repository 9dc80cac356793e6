// The menu and its dialogs as a player meets them on the real window system
// (Wine): a picture behind the buttons, the keyboard, the activation when a
// dialog ends, what a screen reader reads, and the program's icon.
#include <gtest/gtest.h>

#include <cwchar>
#include <filesystem>
#include <iostream>
#include <set>

#include "forms/layouts.h"
#include "platform/win32/com_initialization.h"
#include "tests/e2e/game_disc.h"
#include "tests/e2e/picture_checks.h"
#include "tests/support/screen_reader.h"

using namespace e2e;
using platform::win32::ComInitialization;

namespace {

bool becomesForeground(const Window& window) {
  return waitUntil([&] { return foregroundWindow().handle() == window.handle(); });
}

// A bar's value as a number: "NN%" gives NN, anything else -1.
int percentOf(const std::wstring& value) {
  int percent = -1;
  wchar_t sign = 0;
  const bool read = swscanf(value.c_str(), L"%d%lc", &percent, &sign) == 2 && sign == L'%';
  return read && percent >= 0 && percent <= 100 ? percent : -1;
}

// Windows' own objects name the standard controls by their captions (Wine
// gives buttons the client role, so only the names are compared).
void expectNamedByTheirCaptions(const Window& form) {
  for (const Window& child : form.children()) {
    const std::wstring caption = child.text();
    if ((child.className() != L"Button" && child.className() != L"Static") || caption.empty()) continue;
    EXPECT_EQ(readAsAScreenReader(child.handle()).name, caption) << narrow(caption);
  }
}

// Waits for the focus to reach the control of that layout and name; the
// id found otherwise.
int focusOn(const Window& form, const toolkit::FormLayout& layout, const char* name) {
  const int expected = controlId(layout, name);
  int found = 0;
  waitUntil([&] { return (found = focusedWindow(form).id()) == expected; }, Duration(5000));
  return found;
}

}  // namespace

// Fault: the picture, a child window below the buttons, painting over them
// (no clipping of siblings): buttons, captions or focus rectangles missing
// at the first showing, after the pointer passed over them, after another
// window covered the menu, or after the menu was hidden and shown again.
TEST(E2eUi, PictureFillingTheClientAreaLeavesEveryButtonOnTop) {
  PictureMenuRun run("DiscmenuE2ePicture");
  Process& program = run.program();
  const Window& menu = run.menu();
  expectButtonsOnPicture(menu, "at the first showing");
  screenshot(screenshotFolder(), "menu-full-picture", menu);
  // At 96 DPI the caption of the 12-pixel font fits in 12 rows (e2e-dpi
  // expects 1.5 times that).
  const int ink = captionInkHeight(menu, menu.child(mformLayout, "closebtn"));
  std::cout << "caption ink height at 96 DPI: " << ink << " rows\n";
  EXPECT_LE(ink, 12);

  for (const Window& button : menu.children()) {
    if (button.className() != L"Button" || !button.visible()) continue;
    const RECT rect = button.screenRect();
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    menu.sync();
  }
  SetCursorPos(0, 0);
  expectButtonsOnPicture(menu, "after the pointer passed");

  const RECT area = menu.screenRect();
  HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, L"Static", L"", WS_POPUP | SS_WHITERECT, area.left,
                               area.top, area.right - area.left, area.bottom - area.top, nullptr, nullptr, nullptr,
                               nullptr);
  ASSERT_TRUE(cover);
  ShowWindow(cover, SW_SHOWNOACTIVATE);
  UpdateWindow(cover);
  menu.sync();
  DestroyWindow(cover);
  expectButtonsOnPicture(menu, "after another window covered it");

  menu.child(mformLayout, "instbtn").click();
  Window dialog = waitForWindow(program, L"Tinstform");
  dialog.child(instformLayout, "Button3").click();
  ASSERT_TRUE(waitUntil([&] { return menu.visible() && !dialog.visible(); }));
  expectButtonsOnPicture(menu, "after it was hidden and shown again");
  closeMenu(program, menu);
}

// Fault: Enter on a focused button doing nothing (the dialog manager's
// IDOK ignored), Enter in the edit or on a button ending a dialog of its
// own accord, Tab leaving the layout's order, or a dialog that ends leaving
// the form underneath inactive, even behind another program.
TEST(E2eUi, KeyboardWalksTheDialogsAndEachEndActivatesTheFormUnderneath) {
  PictureMenuRun run("DiscmenuE2eKeyboard");
  Process& program = run.program();
  const Window& menu = run.menu();
  ASSERT_TRUE(becomesForeground(menu));
  EXPECT_EQ(focusOn(menu, mformLayout, "instbtn"), controlId(mformLayout, "instbtn"));  // the launch button is disabled
  pressKey(menu, VK_RETURN);

  Window dialog = waitForWindow(program, L"Tinstform");
  ASSERT_TRUE(becomesForeground(dialog));
  EXPECT_EQ(focusOn(dialog, instformLayout, "dirpath"), controlId(instformLayout, "dirpath"));
  pressKey(dialog, VK_RETURN);  // ends nothing
  pressKey(dialog, VK_TAB);
  EXPECT_TRUE(dialog.visible());
  EXPECT_EQ(focusOn(dialog, instformLayout, "Button1"), controlId(instformLayout, "Button1"));
  pressKey(dialog, VK_RETURN);

  Window browse = waitForWindow(program, L"Tdirform");
  ASSERT_TRUE(becomesForeground(browse));
  EXPECT_EQ(focusOn(browse, dirformLayout, "dirlist"), controlId(dirformLayout, "dirlist"));
  const char* browseOrder[] = {"Button1", "Button2", "drivelist", "dirlist", "Button1", "Button2"};
  for (const char* name : browseOrder) {
    pressKey(browse, VK_TAB);
    EXPECT_EQ(focusOn(browse, dirformLayout, name), controlId(dirformLayout, name)) << name;
  }
  pressKey(browse, VK_RETURN);  // "中止"
  waitForWindowGone(browse);
  EXPECT_TRUE(becomesForeground(dialog)) << "after the browse dialog";

  // The focus came back to "参照"; on to "中止".
  for (const char* name : {"Button2", "Button3"}) {
    pressKey(dialog, VK_TAB);
    EXPECT_EQ(focusOn(dialog, instformLayout, name), controlId(instformLayout, name)) << name;
  }
  pressKey(dialog, VK_RETURN);
  waitForWindowGone(dialog);
  EXPECT_TRUE(menu.visible());
  EXPECT_TRUE(becomesForeground(menu)) << "after the destination dialog";
  closeMenu(program, menu);
}

// Fault: a screen reader reading the progress dialog's bars as bare client
// areas (no role, no name, no value) or their value standing still during
// the copy; a standard control named otherwise than by its caption; the
// dialog opening with no control focused, so that a screen reader tells
// only its caption; or Escape from the keyboard doing nothing during the
// copy, or not rolling it back as "中止" does, or not ending the destination
// dialog as its "中止" does.
TEST(E2eUi, AScreenReaderReadsTheCopysProgressAndEscapeRollsItBack) {
  ScenarioNames names("DiscmenuE2eReader");
  GameDisc disc(names);
  const std::wstring large = L"movie\\big\\opening.bin";
  disc.addLargeFile(large, 2048 * kChunkSize);  // seconds of copying
  TempFolder games("reader");
  Process program = disc.start();
  Window menu = waitForMenu(program);
  Window dialog = openDestinationDialog(program, menu);
  dialog.child(instformLayout, "dirpath").setText(games.path().wstring());
  startInstallation(program, dialog, games.path().wstring());
  Window progress = waitForWindow(program, L"Tiform", L"インストール中");
  Window nowcopy = progress.child(iformLayout, "nowcopy");
  ASSERT_TRUE(waitUntil([&] { return nowcopy.text() == large; })) << narrow(nowcopy.text());
  EXPECT_EQ(focusOn(progress, iformLayout, "Button1"), controlId(iformLayout, "Button1"));

  ComInitialization com;
  const Window fileBar = progress.child(iformLayout, "nowwrite");
  const Window totalBar = progress.child(iformLayout, "totalwrite");
  const ScreenReaderView file = readAsAScreenReader(fileBar.handle());
  const ScreenReaderView total = readAsAScreenReader(totalBar.handle());
  EXPECT_EQ(file.role, ROLE_SYSTEM_PROGRESSBAR);
  EXPECT_EQ(total.role, ROLE_SYSTEM_PROGRESSBAR);
  EXPECT_EQ(file.name, large);  // the label before it
  EXPECT_EQ(total.name, L"全体の状況");
  // The value moves with the copy, in steps of whole percents.
  const int first = percentOf(file.value);
  EXPECT_GE(first, 0) << narrow(file.value);
  int later = first;
  EXPECT_TRUE(waitUntil([&] {
    later = percentOf(readAsAScreenReader(fileBar.handle()).value);
    return later > first;
  })) << first << " then " << later;
  EXPECT_GE(percentOf(readAsAScreenReader(totalBar.handle()).value), 0);
  expectNamedByTheirCaptions(progress);

  typeKey(progress, "Escape");
  EXPECT_TRUE(waitUntil([&] { return dialog.visible() && !progress.visible(); }));
  EXPECT_FALSE(std::filesystem::exists(games / kGameFolder));
  EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, names.keyPath()));

  typeKey(dialog, "Escape");
  waitForWindowGone(dialog);
  expectMenuState(menu, false);
  closeMenu(program, menu);
}

// Fault: Escape from the keyboard doing nothing in the uninstall dialog, or
// doing more than its "中止" (removing anything, or the menu leaving the
// installed state); its buttons and radio buttons named otherwise than by
// their captions.
TEST(E2eUi, EscapeEndsTheUninstallDialogAsItsCancelDoes) {
  ScenarioNames names("DiscmenuE2eEscape");
  GameDisc disc(names);
  TempFolder games("escape");
  Process program = disc.start();
  Window menu = waitForMenu(program);
  installThroughMenu(program, menu, games.path());
  menu.child(mformLayout, "instbtn").click();
  Window uninstall = waitForWindow(program, L"Tuninsform");
  {
    ComInitialization com;
    expectNamedByTheirCaptions(uninstall);  // the radio buttons among them
  }
  typeKey(uninstall, "Escape");
  waitForWindowGone(uninstall);
  expectMenuState(menu, true);
  expectInstalled(games / kGameFolder, disc.installedFiles());
  closeMenu(program, menu);
}

// Fault: install.exe without its icon (Explorer shows a blank program), or
// an icon without the small or the large sizes of 96 or 120 DPI (20 and 40
// pixels at 125 %). (The forms' use of it is read in-process by the Win32
// toolkit's tests: Wine does not answer WM_GETICON across processes.)
TEST(E2eUi, ProgramCarriesADiscIconFrom16To256Pixels) {
  HMODULE image = LoadLibraryExW(installerImage().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(image);
  HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_TRUE(found);
  const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(image, found)));
  ASSERT_TRUE(group);
  // The group's header (6 bytes), then 14 bytes per picture, width first
  // (0 for 256).
  std::set<int> sizes;
  const int count = group[4] | group[5] << 8;
  for (int i = 0; i < count; ++i) sizes.insert(group[6 + 14 * i] ? group[6 + 14 * i] : 256);
  FreeLibrary(image);
  EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 32, 40, 48, 64, 128, 256}));
}
