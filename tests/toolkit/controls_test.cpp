// The controls' own rules: radio groups, timers, clamping, the bars' paint,
// pictures, the folder and drive lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <tuple>

#include "forms/layouts.h"
#include "platform/memory/memory_platform.h"
#include "tests/support/sjis_text.h"
#include "toolkit/headless/script.h"
#include "toolkit/toolkit.h"

using namespace toolkit;

namespace {

struct ControlsTest : ::testing::Test {
  platform::MemoryPlatform platform;
  Application app{platform};
};

TEST_F(ControlsTest, RadioButtonsOfAFormAreOneGroup) {
  Form& form = app.createForm<Form>(uninsformLayout);
  auto& keep = form.control<RadioButton>("RadioButton1");
  auto& all = form.control<RadioButton>("savecheck");
  auto checks = [&] { return std::make_pair(keep.checked(), all.checked()); };
  EXPECT_EQ(checks(), std::make_pair(true, false));
  all.click();
  EXPECT_EQ(checks(), std::make_pair(false, true));
  keep.setChecked(true);
  EXPECT_EQ(checks(), std::make_pair(true, false));
  all.userSetChecked(true);
  EXPECT_EQ(checks(), std::make_pair(false, true));
  keep.setEnabled(false);
  keep.click();  // a disabled button ignores the user
  EXPECT_EQ(checks(), std::make_pair(false, true));
}

TEST_F(ControlsTest, TimersAndButtonsActOnlyWhenEnabled) {
  Form& progress = app.createForm<Form>(iformLayout);
  auto& timer = progress.control<Timer>("writetimer");
  auto& cancel = progress.control<Button>("Button1");
  int ticks = 0;
  int clicks = 0;
  timer.onTimer = [&] { ++ticks; };
  cancel.onClick = [&] { ++clicks; };
  timer.tick();
  timer.setEnabled(true);
  timer.tick();
  timer.tick();
  cancel.setEnabled(false);
  cancel.click();
  cancel.setEnabled(true);
  cancel.setVisible(false);
  cancel.click();
  cancel.setVisible(true);
  cancel.click();
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(timer.interval(), 1u);
}

TEST_F(ControlsTest, ProgressIsClampedToZeroToHundred) {
  Form& progress = app.createForm<Form>(iformLayout);
  auto& bar = progress.control<ProgressBar>("totalwrite");
  const std::pair<int, int> cases[] = {{50, 50}, {-5, 0}, {100, 100}, {101, 100}, {INT_MAX, 100}, {INT_MIN, 0}};
  for (auto [set, shown] : cases) {
    bar.setPosition(set);
    EXPECT_EQ(bar.position(), shown) << set;
  }
}

// Fault: the toolkit's own bar keeping the theme's colours with high
// contrast on, hiding the colours the user chose, or not following a switch
// made while the progress dialog is open.
TEST_F(ControlsTest, ProgressBarPaintsInTheSystemColoursWhileHighContrastIsOn) {
  Form& progress = app.createForm<Form>(iformLayout);
  auto& bar = progress.control<ProgressBar>("nowwrite");
  const BarPaint theme{.themeParts = true};
  const BarPaint systemColours{.themeParts = false, .face = SystemColour::ButtonFace, .fill = SystemColour::Highlight};
  EXPECT_EQ(headless::lastPaint(bar), std::nullopt);
  const std::tuple<bool, int, BarPaint> steps[] = {{false, 10, theme}, {true, 20, systemColours}, {false, 30, theme}};
  for (const auto& [highContrast, position, painted] : steps) {
    platform.setHighContrast(highContrast);
    bar.setPosition(position);
    EXPECT_EQ(headless::lastPaint(bar), painted) << "high contrast " << highContrast;
  }
}

std::string le(uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

// A file header and an info header of `infoSize` bytes (width and height
// 16-bit for the 12-byte core header, 32-bit otherwise), no pixels needed.
std::string bitmap(uint32_t infoSize, int32_t width, int32_t height) {
  std::string data = "BM" + le(0, 4) + le(0, 4) + le(14 + infoSize, 4) + le(infoSize, 4);
  int fieldBytes = infoSize == 12 ? 2 : 4;
  data += le(static_cast<uint32_t>(width), fieldBytes) + le(static_cast<uint32_t>(height), fieldBytes);
  data.resize(14 + std::max<size_t>(infoSize, 4 + 2 * fieldBytes));
  return data;
}

TEST_F(ControlsTest, PictureLoadingTakesABitmapsSizeAndRefusesTheRest) {
  struct Case {
    const char* what;
    std::string data;
    bool loads;
    int width;
    int height;
  };
  const Case cases[] = {
      {"info header", bitmap(40, 300, 200), true, 300, 200},
      {"top-down", bitmap(40, 64, -48), true, 64, 48},
      {"core header", bitmap(12, 33, 17), true, 33, 17},
      {"version 5 header", bitmap(124, 5, 6), true, 5, 6},
      {"not a bitmap", "\x89PNG\r\n\x1a\n" + std::string(40, '\0'), false, 0, 0},
      {"cut short", bitmap(40, 300, 200).substr(0, 20), false, 0, 0},
      {"zero width", bitmap(40, 0, 10), false, 0, 0},
      {"unknown header size", bitmap(8, 1, 1), false, 0, 0},
  };
  for (const Case& c : cases) {
    Application local(platform);
    Form& menu = local.createForm<Form>(mformLayout);
    auto& image = menu.control<Image>("instimage");
    image.setLeft(7);
    platform.writeFile("C:\\install.bmp", c.data);
    EXPECT_EQ(image.loadPicture("install.bmp"), c.loads) << c.what;
    if (c.loads) {
      EXPECT_EQ(image.bounds(), (Bounds{7, 0, c.width, c.height})) << c.what;
      EXPECT_EQ(image.picturePath(), "install.bmp") << c.what;
    } else {
      EXPECT_EQ(image.bounds(), (Bounds{7, 0, 220, 10})) << c.what;
      EXPECT_EQ(image.picturePath(), "") << c.what;
    }
  }
  Form& menu = app.createForm<Form>(mformLayout);
  EXPECT_FALSE(menu.control<Image>("instimage").loadPicture("missing.bmp"));
}

struct FolderTest : ControlsTest {
  // ソ has the trail byte 0x5C: the folder list must not split its name.
  const std::string so = sjis("ソフト");
  FolderTest() {
    for (const char* folder : {"C:\\Games\\Title\\save", "C:\\Games\\Title\\Data", "C:\\Games\\Title\\.cache"})
      platform.createDirectories(folder);
    platform.addDrive('D');
    platform.createDirectories("C:\\" + so);
    platform.createDirectories("C:\\" + so + "\\x");
    platform.writeFile("C:\\Games\\Title\\a.bin", "a");
    platform.setCurrentDirectory("C:\\Games");
  }
};

TEST_F(FolderTest, FolderListShowsRootAncestorsFolderAndSubfolders) {
  Form& browse = app.createForm<Form>(dirformLayout);
  auto& list = browse.control<FolderList>("dirlist");
  EXPECT_EQ(list.folder(), "C:\\Games");  // seeded from the current directory
  EXPECT_EQ(list.itemHeight(), 16);

  ASSERT_TRUE(list.setFolder("C:\\Games\\Title"));
  EXPECT_EQ(platform.currentDirectory(), "C:\\Games\\Title");
  EXPECT_EQ(list.folder(), "C:\\Games\\Title");
  // Only "." and ".." are left out: a folder whose name begins with a dot
  // is a folder like any other.
  EXPECT_EQ(list.items(), (std::vector<std::string>{"C:\\", "C:\\Games", "C:\\Games\\Title", "C:\\Games\\Title\\.cache",
                                                    "C:\\Games\\Title\\Data", "C:\\Games\\Title\\save"}));
  EXPECT_EQ(list.itemDepths(), (std::vector<int>{0, 1, 2, 3, 3, 3}));
  EXPECT_EQ(list.currentItem(), 2);

  EXPECT_FALSE(list.setFolder("C:\\Games\\Missing"));
  EXPECT_EQ(list.folder(), "C:\\Games\\Title");
  EXPECT_EQ(platform.currentDirectory(), "C:\\Games\\Title");

  list.open(0);
  EXPECT_EQ(platform.currentDirectory(), "C:\\");
  EXPECT_EQ(list.items(), (std::vector<std::string>{"C:\\", "C:\\Games", "C:\\" + so}));
  EXPECT_EQ(list.itemDepths(), (std::vector<int>{0, 1, 1}));

  list.open(2);
  EXPECT_EQ(list.items(), (std::vector<std::string>{"C:\\", "C:\\" + so, "C:\\" + so + "\\x"}));
  EXPECT_EQ(list.currentItem(), 1);
}

TEST_F(FolderTest, DriveListFollowsAndMovesTheFolderList) {
  Form& browse = app.createForm<Form>(dirformLayout);
  auto& drives = browse.control<DriveList>("drivelist");
  auto& list = browse.control<FolderList>("dirlist");
  EXPECT_EQ(drives.folderList(), &list);
  EXPECT_EQ(drives.drives(), "CD");
  EXPECT_EQ(drives.drive(), 'C');

  drives.choose('d');
  EXPECT_EQ(list.folder(), "D:\\");
  EXPECT_EQ(platform.currentDirectory(), "D:\\");
  EXPECT_EQ(drives.drive(), 'D');

  drives.choose('E');  // no such drive: nothing moves
  EXPECT_EQ(list.folder(), "D:\\");
  EXPECT_EQ(drives.drive(), 'D');

  list.setFolder("C:\\Games");
  EXPECT_EQ(drives.drive(), 'C');

  platform.addDrive('E');
  browse.show();  // the letters are read again at each showing
  EXPECT_EQ(drives.drives(), "CDE");
}

}  // namespace
