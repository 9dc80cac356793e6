#pragma once
// A form's top-level window and the base of its controls' child windows.

#include <windows.h>

#include <map>
#include <memory>

#include "toolkit/backend.h"
#include "toolkit/win32/handles.h"

namespace toolkit::win32 {

class FormWindow;

// Control ids are 100 + the control's index in its layout: never IDOK (1)
// or IDCANCEL (2), so Enter and Escape end no dialog.
inline constexpr int kFirstControlId = 100;

// The peer of one control: a child window (or, for a timer, a timer of the
// form's window) that mirrors the control and reports what the user did.
class ChildPeer : public ControlPeer {
 public:
  ChildPeer(FormWindow& owner, Control& control);
  ~ChildPeer() override;

  int id() const { return id_; }
  HWND window() const { return window_.get(); }
  Control& control() const { return control_; }
  void changed(Property property) override;

  // Notifications that the form's window passes on.
  virtual void command(int) {}
  virtual void timer() {}
  virtual void drawItem(const DRAWITEMSTRUCT&) {}
  // Enter pressed while this control has the focus.
  virtual void enter() {}

 protected:
  // Creates the child window with the control's bounds, caption, state and
  // font; called by each kind's constructor.
  void createWindow(const wchar_t* windowClass, DWORD style, DWORD exStyle = 0);
  virtual void place();
  FormWindow& owner() const { return owner_; }

 private:
  FormWindow& owner_;
  Control& control_;
  int id_;
  UniqueWindow window_;
};

class FormWindow : public FormPeer {
 public:
  explicit FormWindow(Form& form);
  ~FormWindow() override;

  uintptr_t handle() const override { return reinterpret_cast<uintptr_t>(window_.get()); }
  HWND window() const { return window_.get(); }
  Form& form() const { return form_; }
  void changed(Property property) override;
  std::unique_ptr<ControlPeer> createControlPeer(Control& control) override;

  // A font of that height ("ＭＳ Ｐゴシック", Shift-JIS character set), made
  // once per height and owned here.
  HFONT font(int height);
  void adopt(ChildPeer& child);
  void release(ChildPeer& child);

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  ChildPeer* child(int id) const;
  DWORD style() const;
  SIZE outerSize(int clientWidth, int clientHeight) const;
  void place();
  void centre();
  void applyTabOrder();

  Form& form_;
  HWND creating_ = nullptr;  // the window while CreateWindowExW runs
  std::map<int, UniqueFont> fonts_;
  std::map<int, ChildPeer*> children_;
  bool shownBefore_ = false;
  HWND lastFocus_ = nullptr;  // the child that had the focus when the form was left
  UniqueWindow window_;  // declared last: destroyed before the fonts
};

std::unique_ptr<ChildPeer> createChildPeer(FormWindow& owner, Control& control);

}  // namespace toolkit::win32
