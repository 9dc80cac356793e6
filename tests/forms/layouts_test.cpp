// The five layouts, built into forms: a few controls of each, as the layout
// tables give them.
#include <gtest/gtest.h>

#include "forms/layouts.h"
#include "platform/memory/memory_platform.h"
#include "tests/support/sjis_text.h"
#include "toolkit/toolkit.h"

using namespace toolkit;

namespace {

TEST(Layouts, FormsHaveTheirClassCaptionSizeAndFrame) {
  struct Case {
    const FormLayout& layout;
    const char* className;
    const char* name;
    std::string caption;
    int width;
    int height;
    bool outerSize;
    BorderStyle border;
    bool systemMenu;
    size_t controls;
  };
  const Case cases[] = {
      {mformLayout, "Tmform", "mform", "", 220, 110, false, BorderStyle::Single, true, 6},
      {instformLayout, "Tinstform", "instform", sjis("インストール先の設定"), 320, 130, false, BorderStyle::Single,
       false, 6},
      {dirformLayout, "Tdirform", "dirform", "dirform", 290, 250, false, BorderStyle::Single, false, 4},
      {iformLayout, "Tiform", "iform", sjis("インストール中"), 220, 170, false, BorderStyle::Single, false, 6},
      // The uninstall dialog's fifth control, the hidden note of the
      // uninstaller without the disc, comes after the four of the design.
      {uninsformLayout, "Tuninsform", "uninsform", sjis("アンインストール"), 268, 157, true, BorderStyle::Sizeable,
       false, 5},
  };
  platform::MemoryPlatform platform;
  Application app(platform);
  for (const Case& c : cases) {
    Form& form = app.createForm<Form>(c.layout);
    EXPECT_STREQ(form.layout().className, c.className);
    EXPECT_EQ(form.name(), c.name);
    EXPECT_EQ(form.caption(), c.caption) << c.name;
    EXPECT_EQ(form.clientWidth(), c.width) << c.name;
    EXPECT_EQ(form.clientHeight(), c.height) << c.name;
    EXPECT_EQ(c.layout.outerSize, c.outerSize) << c.name;
    EXPECT_EQ(c.layout.border, c.border) << c.name;
    EXPECT_EQ(c.layout.systemMenu, c.systemMenu) << c.name;
    EXPECT_TRUE(c.layout.centred) << c.name;
    EXPECT_EQ(c.layout.fontHeight, -12) << c.name;
    EXPECT_EQ(form.controls().size(), c.controls) << c.name;
  }
  EXPECT_EQ(app.mainForm()->left(), 192);
  EXPECT_EQ(app.mainForm()->top(), 104);
}

TEST(Layouts, ControlsHaveTheirKindGeometryCaptionAndTabOrder) {
  struct Case {
    const FormLayout& layout;
    const char* name;
    ControlKind kind;
    Bounds bounds;
    std::string caption;
    int tabOrder;
    bool visible;
    bool enabled;
  };
  const Case cases[] = {
      {mformLayout, "instimage", ControlKind::Image, {0, 0, 220, 10}, "", -1, true, true},
      {mformLayout, "runbtn", ControlKind::Button, {5, 5, 210, 25}, sjis("ゲーム起動"), 0, true, false},
      {mformLayout, "etc2btn", ControlKind::Button, {115, 70, 100, 25}, "", 4, false, true},
      {instformLayout, "dirpath", ControlKind::Edit, {10, 10, 300, 21}, "dirpath", 0, true, true},
      {instformLayout, "instlabel", ControlKind::Label, {10, 40, 145, 12}, sjis("上記の場所にフォルダを作り"), -1,
       true, true},
      {instformLayout, "Button3", ControlKind::Button, {200, 90, 70, 25}, sjis("中止"), 3, true, true},
      {dirformLayout, "drivelist", ControlKind::DriveList, {10, 10, 200, 19}, "", 3, true, true},
      {dirformLayout, "dirlist", ControlKind::FolderList, {10, 40, 200, 200}, "", 0, true, true},
      {dirformLayout, "Button1", ControlKind::Button, {220, 50, 60, 25}, sjis("決定"), 1, true, true},
      {iformLayout, "nowcopy", ControlKind::Label, {10, 10, 95, 12}, sjis("ファイルをコピー中"), -1, true, true},
      {iformLayout, "totalwrite", ControlKind::ProgressBar, {10, 90, 200, 20}, "", 1, true, true},
      {iformLayout, "writetimer", ControlKind::Timer, {}, "", -1, true, false},
      {uninsformLayout, "Button1", ControlKind::Button, {20, 90, 140, 25}, sjis("アンインストール開始"), 0, true,
       true},
      {uninsformLayout, "savecheck", ControlKind::RadioButton, {60, 50, 140, 17}, sjis("全てのファイルを削除"), 3,
       true, true},
  };
  platform::MemoryPlatform platform;
  Application app(platform);
  for (const Case& c : cases) {
    Form& form = app.createForm<Form>(c.layout);
    Control* control = form.findControl(c.name);
    ASSERT_NE(control, nullptr) << form.name() << "." << c.name;
    std::string where = form.name() + "." + c.name;
    EXPECT_EQ(control->kind(), c.kind) << where;
    EXPECT_EQ(control->bounds(), c.bounds) << where;
    EXPECT_EQ(control->caption(), c.caption) << where;
    EXPECT_EQ(control->tabOrder(), c.tabOrder) << where;
    EXPECT_EQ(control->visible(), c.visible) << where;
    EXPECT_EQ(control->enabled(), c.enabled) << where;
  }
}

TEST(Layouts, PropertiesBeyondGeometry) {
  platform::MemoryPlatform platform;
  Application app(platform);
  Form& menu = app.createForm<Form>(mformLayout);
  Form& destination = app.createForm<Form>(instformLayout);
  Form& browse = app.createForm<Form>(dirformLayout);
  Form& progress = app.createForm<Form>(iformLayout);
  Form& uninstall = app.createForm<Form>(uninsformLayout);

  EXPECT_TRUE(menu.control<Image>("instimage").autoSize());
  EXPECT_EQ(menu.control<Button>("instbtn").tag(), 0);
  EXPECT_EQ(destination.control<Edit>("dirpath").maxLength(), 256);
  EXPECT_EQ(destination.control<Edit>("dirpath").fontHeight(), 13);
  EXPECT_EQ(browse.control<DriveList>("drivelist").folderList(), &browse.control<FolderList>("dirlist"));
  EXPECT_EQ(browse.control<FolderList>("dirlist").itemHeight(), 16);
  EXPECT_EQ(browse.control<FolderList>("dirlist").fontHeight(), 13);
  EXPECT_EQ(progress.control<Timer>("writetimer").interval(), 1u);
  EXPECT_EQ(progress.control<ProgressBar>("nowwrite").position(), 0);
  EXPECT_TRUE(uninstall.control<RadioButton>("RadioButton1").checked());
  EXPECT_FALSE(uninstall.control<RadioButton>("savecheck").checked());
  EXPECT_THROW(uninstall.control<Button>("savecheck"), Exception);
  // Escape presses each dialog's "中止"; the menu has none.
  EXPECT_EQ(menu.cancelButton(), nullptr);
  const std::pair<Form*, const char*> cancels[] = {
      {&destination, "Button3"}, {&browse, "Button2"}, {&progress, "Button1"}, {&uninstall, "Button2"}};
  for (const auto& [form, name] : cancels) {
    EXPECT_EQ(form->cancelButton(), &form->control<Button>(name)) << form->name();
    EXPECT_EQ(form->cancelButton()->caption(), sjis("中止")) << form->name();
  }
}

}  // namespace
