// The controls' child windows: ids, classes, captions, places, and what the
// user does with them coming back to the controls.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "forms/layouts.h"
#include "platform/memory/memory_platform.h"
#include "tests/support/sjis_text.h"
#include "tests/toolkit-win32/win32_support.h"

using namespace toolkit;

namespace {

struct ControlsTest : ::testing::Test {
  platform::MemoryPlatform platform;
  Application app{platform};
  Form& menu = app.createForm<Form>(mformLayout);
};

TEST_F(ControlsTest, ChildWindowsHaveTheirIdClassCaptionAndPlace) {
  Form& destination = app.createForm<Form>(instformLayout);
  Form& browse = app.createForm<Form>(dirformLayout);
  Form& progress = app.createForm<Form>(iformLayout);
  Form& uninstall = app.createForm<Form>(uninsformLayout);
  struct Case {
    Form& form;
    const char* name;
    int id;
    const wchar_t* windowClass;
    const wchar_t* caption;
  };
  const Case cases[] = {
      {menu, "instimage", 100, L"Static", L""},
      {menu, "runbtn", 101, L"Button", L"ゲーム起動"},
      {menu, "closebtn", 103, L"Button", L"終了"},
      {menu, "etc2btn", 105, L"Button", L""},
      {destination, "dirpath", 100, L"Edit", L"dirpath"},
      {destination, "instlabel", 101, L"Static", L"上記の場所にフォルダを作り"},
      {destination, "Button2", 104, L"Button", L"インストール開始"},
      {browse, "drivelist", 100, L"ComboBox", nullptr},
      {browse, "dirlist", 101, L"ListBox", nullptr},
      {browse, "Button1", 102, L"Button", L"決定"},
      {progress, "nowcopy", 100, L"Static", L"ファイルをコピー中"},
      {progress, "nowwrite", 101, L"ToolkitProgressBar", L""},
      {progress, "Button1", 104, L"Button", L"中止"},
      {uninstall, "RadioButton1", 102, L"Button", L"セーブデータを残す"},
      {uninstall, "savecheck", 103, L"Button", L"全てのファイルを削除"},
  };
  for (const Case& c : cases) {
    std::string where = c.form.name() + "." + c.name;
    HWND child = GetDlgItem(windowOf(c.form), c.id);
    ASSERT_NE(child, nullptr) << where;
    EXPECT_EQ(child, childOf(c.form, c.name)) << where;
    EXPECT_EQ(classOf(child), c.windowClass) << where;
    if (c.caption) {
      EXPECT_EQ(textOf(child), c.caption) << where;
    }
    Bounds shown = boundsOf(child);
    Bounds laid = c.form.findControl(c.name)->bounds();
    EXPECT_EQ(shown.left, laid.left) << where;
    EXPECT_EQ(shown.top, laid.top) << where;
    bool label = c.form.findControl(c.name)->kind() == ControlKind::Label;
    if (label) {
      // Labels grow to their text, never shrink.
      EXPECT_GE(shown.width, laid.width) << where;
      EXPECT_GE(shown.height, laid.height) << where;
    } else {
      EXPECT_EQ(shown.width, laid.width) << where;
    }
    // A drop-down's window includes its list.
    if (!label && std::wstring(c.windowClass) != L"ComboBox") {
      EXPECT_EQ(shown.height, laid.height) << where;
    }
    EXPECT_EQ((GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE) != 0, c.form.findControl(c.name)->visible())
        << where;
  }
  EXPECT_EQ(GetDlgItem(windowOf(menu), IDOK), nullptr);
  EXPECT_EQ(GetDlgItem(windowOf(menu), IDCANCEL), nullptr);
  EXPECT_FALSE(IsWindowEnabled(childOf(menu, "runbtn")));
  EXPECT_EQ(SendMessageW(childOf(uninstall, "RadioButton1"), BM_GETCHECK, 0, 0), BST_CHECKED);

  auto tabStop = [](HWND window) { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_TABSTOP) != 0; };
  EXPECT_FALSE(tabStop(childOf(progress, "nowwrite")));
  EXPECT_FALSE(tabStop(childOf(progress, "nowcopy")));
  EXPECT_TRUE(tabStop(childOf(progress, "Button1")));
  EXPECT_TRUE(tabStop(childOf(destination, "dirpath")));

  // The tab order of the layout is the order of the children.
  HWND first = GetWindow(windowOf(browse), GW_CHILD);
  EXPECT_EQ(first, childOf(browse, "dirlist"));
  EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), childOf(browse, "Button1"));
}

TEST_F(ControlsTest, EditLimitCountsShiftJisBytesAndTypingReachesTheControl) {
  Form& destination = app.createForm<Form>(instformLayout);
  auto& edit = destination.control<Edit>("dirpath");
  HWND window = childOf(destination, "dirpath");
  EXPECT_EQ(SendMessageW(window, EM_GETLIMITTEXT, 0, 0), 256);

  // The program may propose a longer folder than the user may type.
  std::string longPath(300, 'x');
  edit.setText(longPath);
  EXPECT_EQ(textOf(window).size(), 300u);
  EXPECT_EQ(edit.text(), longPath);

  edit.setText("");
  SendMessageW(window, WM_CHAR, L'D', 0);
  EXPECT_EQ(edit.text(), "D");
  for (int i = 0; i < 200; ++i) SendMessageW(window, WM_CHAR, L'あ', 0);
  EXPECT_EQ(edit.text().size(), 255u);  // "D" and 127 two-byte characters
  EXPECT_EQ(textOf(window).size(), 128u);
  EXPECT_EQ(edit.text().substr(1, 2), sjis("あ"));
}

TEST_F(ControlsTest, RadioClickChecksOneOfTheGroup) {
  Form& uninstall = app.createForm<Form>(uninsformLayout);
  uninstall.show();
  auto& keep = uninstall.control<RadioButton>("RadioButton1");
  auto& all = uninstall.control<RadioButton>("savecheck");
  SendMessageW(childOf(uninstall, "savecheck"), BM_CLICK, 0, 0);
  EXPECT_TRUE(all.checked());
  EXPECT_FALSE(keep.checked());
  EXPECT_EQ(SendMessageW(childOf(uninstall, "RadioButton1"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  keep.setChecked(true);
  EXPECT_EQ(SendMessageW(childOf(uninstall, "RadioButton1"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(childOf(uninstall, "savecheck"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

std::wstring lineOf(HWND window, UINT getText, UINT getLength, int index) {
  std::wstring text(static_cast<size_t>(SendMessageW(window, getLength, index, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(SendMessageW(window, getText, index, reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

void CALLBACK openThirdLineWithEnterThenAccept(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  // The list is the first tab stop, so it has the focus already.
  HWND list = FindWindowExW(window, nullptr, L"ListBox", nullptr);
  SendMessageW(list, LB_SETCURSEL, 2, 0);
  PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(list, WM_KEYUP, VK_RETURN, 0);
  PostMessageW(FindWindowExW(window, nullptr, L"Button", L"決定"), BM_CLICK, 0, 0);
}

TEST_F(ControlsTest, FolderAndDriveListsShowAndMoveTheCurrentFolder) {
  for (const char* folder : {"C:\\Games", "C:\\Games\\a", "C:\\Games\\b", "C:\\Games\\a\\deep"})
    platform.createDirectories(folder);
  platform.setCurrentDirectory("C:\\Games");
  Form& browse = app.createForm<Form>(dirformLayout);
  auto& folders = browse.control<FolderList>("dirlist");
  HWND list = childOf(browse, "dirlist");
  HWND drives = childOf(browse, "drivelist");

  ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(lineOf(list, LB_GETTEXT, LB_GETTEXTLEN, 0), L"C:\\");
  EXPECT_EQ(lineOf(list, LB_GETTEXT, LB_GETTEXTLEN, 1), L"Games");
  EXPECT_EQ(lineOf(list, LB_GETTEXT, LB_GETTEXTLEN, 3), L"b");
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), 16);

  // Wine's drives are at least C: and Z:, shown in upper case.
  int count = static_cast<int>(SendMessageW(drives, CB_GETCOUNT, 0, 0));
  ASSERT_GE(count, 2);
  int current = static_cast<int>(SendMessageW(drives, CB_GETCURSEL, 0, 0));
  EXPECT_EQ(lineOf(drives, CB_GETLBTEXT, CB_GETLBTEXTLEN, current), L"C:");
  EXPECT_EQ(lineOf(drives, CB_GETLBTEXT, CB_GETLBTEXTLEN, count - 1), L"Z:");

  // A double-click opens a line.
  SendMessageW(list, LB_SETCURSEL, 3, 0);
  SendMessageW(windowOf(browse), WM_COMMAND, MAKEWPARAM(101, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
  EXPECT_EQ(folders.folder(), "C:\\Games\\b");
  EXPECT_EQ(platform.currentDirectory(), "C:\\Games\\b");

  // Choosing a drive that cannot be entered leaves the list on its drive.
  SendMessageW(drives, CB_SETCURSEL, count - 1, 0);
  SendMessageW(windowOf(browse), WM_COMMAND, MAKEWPARAM(100, CBN_CLOSEUP), reinterpret_cast<LPARAM>(drives));
  EXPECT_EQ(folders.folder(), "C:\\Games\\b");
  EXPECT_EQ(SendMessageW(drives, CB_GETCURSEL, 0, 0), current);
  platform.addDrive('Z');
  SendMessageW(drives, CB_SETCURSEL, count - 1, 0);
  SendMessageW(windowOf(browse), WM_COMMAND, MAKEWPARAM(100, CBN_CLOSEUP), reinterpret_cast<LPARAM>(drives));
  EXPECT_EQ(folders.folder(), "Z:\\");

  // Enter on a line opens it, and does not end the dialog.
  folders.setFolder("C:\\Games");
  browse.control<Button>("Button1").onClick = [&] {
    browse.setModalResult(1);
    browse.hide();
  };
  SetTimer(windowOf(browse), 1, 20, openThirdLineWithEnterThenAccept);
  EXPECT_EQ(browse.showModal(), 1);
  EXPECT_EQ(folders.folder(), "C:\\Games\\a");
  EXPECT_EQ(lineOf(list, LB_GETTEXT, LB_GETTEXTLEN, 3), L"deep");
}

// A 24-bit bitmap of width x height, blue.
std::string bitmapFile(int width, int height) {
  auto le = [](uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
  };
  int row = (width * 3 + 3) / 4 * 4;
  std::string pixels;
  for (int y = 0; y < height; ++y) {
    std::string line;
    for (int x = 0; x < width; ++x) line += std::string("\xC0\x40\x20", 3);
    line.resize(static_cast<size_t>(row), '\0');
    pixels += line;
  }
  return "BM" + le(54 + static_cast<uint32_t>(pixels.size()), 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(width, 4) +
         le(height, 4) + le(1, 2) + le(24, 2) + le(0, 4) + le(static_cast<uint32_t>(pixels.size()), 4) +
         le(2835, 4) + le(2835, 4) + le(0, 4) + le(0, 4) + pixels;
}

TEST_F(ControlsTest, PictureIsLoadedFromItsFileAndSizesTheImage) {
  std::string data = bitmapFile(40, 30);
  std::ofstream("install.bmp", std::ios::binary) << data;
  platform.writeFile("C:\\install.bmp", data);  // the same file, as the platform sees it
  auto& image = menu.control<Image>("instimage");
  ASSERT_TRUE(image.loadPicture("install.bmp"));
  HWND window = childOf(menu, "instimage");
  EXPECT_NE(SendMessageW(window, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  EXPECT_EQ(boundsOf(window), (Bounds{0, 0, 40, 30}));

  // Headers that pass the toolkit's check, pixels that the window system
  // cannot decode (7 bits a pixel): refused as on the headless backend,
  // so the menu hides the control.
  data[28] = 7;
  std::ofstream("undecodable.bmp", std::ios::binary) << data;
  platform.writeFile("C:\\undecodable.bmp", data);
  EXPECT_FALSE(image.loadPicture("undecodable.bmp"));
  EXPECT_EQ(image.picturePath(), "install.bmp");
  DeleteFileW(L"install.bmp");
  DeleteFileW(L"undecodable.bmp");
}

void CALLBACK pressDownThenCancel(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  HWND keep = FindWindowExW(window, nullptr, L"Button", L"セーブデータを残す");
  SetFocus(keep);
  PostMessageW(keep, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(keep, WM_KEYUP, VK_DOWN, 0);
  PostMessageW(FindWindowExW(window, nullptr, L"Button", L"中止"), BM_CLICK, 0, 0);
}

TEST_F(ControlsTest, ArrowKeyMovesToTheNextRadioButtonAndChecksIt) {
  Form& uninstall = app.createForm<Form>(uninsformLayout);
  uninstall.control<Button>("Button2").onClick = [&] {
    uninstall.setModalResult(-1);
    uninstall.hide();
  };
  SetTimer(windowOf(uninstall), 1, 20, pressDownThenCancel);
  EXPECT_EQ(uninstall.showModal(), -1);
  EXPECT_TRUE(uninstall.control<RadioButton>("savecheck").checked());
  EXPECT_FALSE(uninstall.control<RadioButton>("RadioButton1").checked());
}

}  // namespace
