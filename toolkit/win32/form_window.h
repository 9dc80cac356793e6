#pragma once
// A form's top-level window and the base of its controls' child windows.

#include <windows.h>

#include <map>
#include <memory>

#include "toolkit/backend.h"
#include "toolkit/win32/dpi.h"
#include "toolkit/win32/handles.h"

namespace toolkit::win32 {

class FormWindow;

// The program's icon: icon resource 1 of the executable, when it has one.
inline constexpr int kApplicationIconId = 1;
// Posted to a form's window to hide it (see FormWindow::changed).
inline constexpr UINT kHideMessage = WM_APP + 1;
// Posted to a form's window for each call of Form::post.
inline constexpr UINT kPostedCallMessage = WM_APP + 2;
// The timer of a form's window that runs the short timers' ticks while the
// window system's own loop moves or sizes the window (below any control id).
inline constexpr UINT_PTR kMoveLoopTimerId = 1;

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
  // The form moved to a monitor of another DPI: new font and place.
  virtual void dpiChanged();

 protected:
  // Creates the child window with the control's bounds, caption, state and
  // font; called by each kind's constructor.
  void createWindow(const wchar_t* windowClass, DWORD style, DWORD exStyle = 0);
  void applyFont();
  // Moves the window to the control's bounds, scaled to the form's DPI.
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

  // A font of that height in layout pixels ("ＭＳ Ｐゴシック", Shift-JIS
  // character set), scaled to the DPI, made once per height and owned here.
  HFONT font(int height);
  void adopt(ChildPeer& child);
  void release(ChildPeer& child);

  // Layouts are in pixels at 96 DPI; the window is scaled by DPI / 96.
  int dpi() const { return dpi_; }
  int scale(int value) const { return MulDiv(value, dpi_, kDesignDpi); }
  int unscale(int value) const { return MulDiv(value, kDesignDpi, dpi_); }

  // Hides the window now if the form was hidden meanwhile (see changed).
  void finishHiding();
  // Whether a key message for this form's window or its controls is
  // dropped: an Enter, Space or Escape key-down that repeats a held key, or
  // that was typed before the form became active (during the work that
  // showed it), presses nothing.
  bool dropsKey(const MSG& message) const;

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  ChildPeer* child(int id) const;
  DWORD style() const;
  SIZE outerSize(int clientWidth, int clientHeight, int dpi) const;
  void place();
  void centre();
  HMONITOR anchorMonitor() const;
  void applyTabOrder();
  void showWindow();
  void rescale(int dpi, const RECT* suggested);
  void applySessionEndRefusal();

  Form& form_;
  HWND creating_ = nullptr;  // the window while CreateWindowExW runs
  std::map<int, UniqueFont> fonts_;
  std::map<int, ChildPeer*> children_;
  int dpi_ = kDesignDpi;
  bool shownBefore_ = false;
  HWND lastFocus_ = nullptr;     // the child that had the focus when the form was left
  HWND activeBefore_ = nullptr;  // the window that was active when the form was shown
  DWORD activatedAt_ = 0;        // GetTickCount when the form last became active
  UniqueWindow window_;  // declared last: destroyed before the fonts
};

std::unique_ptr<ChildPeer> createChildPeer(FormWindow& owner, Control& control);

}  // namespace toolkit::win32
