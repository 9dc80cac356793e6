#include "tests/support/menu_harness.h"

#include <gtest/gtest.h>

#include "tests/support/pe_fixture.h"

MenuView viewOf(const Tmform& menu) {
  MenuView view;
  view.caption = menu.caption();
  view.left = menu.left();
  view.top = menu.top();
  view.clientWidth = menu.clientWidth();
  view.clientHeight = menu.clientHeight();
  view.visible = menu.visible();
  view.runEnabled = menu.runbtn->enabled();
  view.instCaption = menu.instbtn->caption();
  view.instTag = menu.instbtn->tag();
  view.imageVisible = menu.instimage->visible();
  view.image = menu.instimage->bounds();
  view.run = menu.runbtn->bounds();
  view.inst = menu.instbtn->bounds();
  view.close = menu.closebtn->bounds();
  view.etc1 = menu.etc1btn->bounds();
  view.etc2 = menu.etc2btn->bounds();
  view.etc1Visible = menu.etc1btn->visible();
  view.etc2Visible = menu.etc2btn->visible();
  view.etc1Caption = menu.etc1btn->caption();
  view.etc2Caption = menu.etc2btn->caption();
  return view;
}

Medium::Medium(bool typicalWindows) {
  if (typicalWindows) platform.installTypicalWindows();
  EXPECT_TRUE(platform.addDrive('Q'));
  EXPECT_TRUE(platform.setCurrentDirectory("Q:\\"));
  content.config.title = "Demo Adventure";
  content.config.rootSelector = 1;
  content.config.parentFolder = "ExampleSoft";
  content.config.gameFolder = "DemoAdv";
  content.config.registryKey = "DemoAdv";
  content.config.clientWidth = 320;
  content.config.clientHeight = 240;
  auto place = [this](int index, int16_t left, int16_t top, int16_t width, int16_t height) {
    ButtonLayout& b = content.config.buttons[index];
    b.left = left, b.top = top, b.width = width, b.height = height;
  };
  place(kRunButtonIndex, 10, 170, 300, 25);
  place(kInstallButtonIndex, 10, 205, 145, 25);
  place(kCloseButtonIndex, 165, 205, 145, 25);
}

void Medium::pack() {
  std::vector<uint8_t> image = syntheticImage(0x4000);
  appendConfigBlock(image, serializeConfigBlock(content), false);
  ASSERT_TRUE(platform.writeFile("Q:\\install.exe", std::string(image.begin(), image.end())));
}

void Medium::recordInstallation(const std::string& installPath, bool withGame) {
  ASSERT_TRUE(platform.setRegistryString(platform::Hive::CurrentUser, "software\\" + content.config.registryKey,
                                         "PATH", installPath));
  if (!withGame) return;
  ASSERT_TRUE(platform.createDirectories(installPath));
  ASSERT_TRUE(platform.writeFile(installPath + "\\origin.exe", "MZ game"));
}

int Medium::run(const std::function<void(toolkit::headless::Script&, AppContext&)>& prepare) {
  pack();
  return runInstaller(platform, [&](toolkit::Application& application, AppContext& ctx) {
    application_ = &application;
    prepare(toolkit::headless::scriptOf(application), ctx);
  });
}
