#pragma once
// Form layouts as data: the forms/ folder describes each form with these
// records, and the toolkit builds the form and its controls from them.

#include <span>

namespace toolkit {

enum class ControlKind { Button, Label, Edit, RadioButton, ProgressBar, Image, Timer, DriveList, FolderList };

enum class BorderStyle {
  Single,    // a thin frame that cannot be resized
  Sizeable,  // the toolkit's default frame
};

struct Bounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Bounds&) const = default;
};

// The window id of a layout's control is kFirstControlId + its index in the
// layout: never IDOK (1) or IDCANCEL (2), so the dialog manager's Enter and
// Escape reach the form as those, and the form decides (Enter for the
// focused control, Escape for the cancel button).
inline constexpr int kFirstControlId = 100;

struct ControlLayout {
  ControlKind kind = ControlKind::Label;
  const char* name = "";
  Bounds bounds{};
  const char* caption = "";  // Shift-JIS; the design text of an edit
  int tabOrder = -1;         // -1: not a tab stop; labels and bars are placed, never focused
  bool visible = true;
  bool enabled = true;
  bool checked = false;  // radio buttons
  bool cancel = false;   // buttons: the dialog's cancel button, which Escape presses
  int maxLength = 0;     // edits: bytes the user may type, 0 for no limit
  int fontHeight = 0;    // 0: the form's font
  int itemHeight = 0;    // folder lists
  const char* link = "";  // drive lists: the name of the folder list they move
  unsigned interval = 0;  // timers, in milliseconds
  bool autoSize = false;  // images take the picture's size
};

struct FormLayout {
  const char* className = "";  // Tmform, Tinstform, ...
  const char* name = "";       // mform, instform, ...
  const char* caption = "";    // Shift-JIS
  Bounds bounds{};             // left and top; width and height see outerSize
  bool outerSize = false;      // width and height are the outer size, not the client size
  BorderStyle border = BorderStyle::Single;
  bool systemMenu = false;  // the system menu and close box in the title bar
  // Placed in the middle of the work area of the monitor that holds the
  // form it is shown over (toolkit/placement.h).
  bool centred = true;
  int fontHeight = -12;     // "ＭＳ Ｐゴシック", Shift-JIS character set
  std::span<const ControlLayout> controls{};
};

}  // namespace toolkit
