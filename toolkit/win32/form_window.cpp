// A form's top-level window: one window class per form class, the layout's
// frame and client size, fonts, tab order, and the messages of its children.
#include "toolkit/win32/form_window.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/win32/held_keys.h"
#include "platform/win32/wide_text.h"
#include "texts.h"
#include "toolkit/placement.h"
#include "toolkit/win32/message_loop.h"
#include "toolkit/win32/system_functions.h"

namespace toolkit::win32 {

using platform::win32::toWide;

FormWindow::FormWindow(Form& form) : form_(form) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  std::wstring className = toWide(form.layout().className);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className.c_str();
  // The program's icon, when its image carries one (shared: never freed).
  windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kApplicationIconId), IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kApplicationIconId), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                      LR_SHARED));
  // The class outlives this window and is shared with any later form of
  // the same class; registering it again is expected to fail.
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw Exception("cannot register the window class of form " + form.name());
  }

  const FormLayout& layout = form.layout();
  SIZE size = layout.outerSize ? SIZE{layout.bounds.width, layout.bounds.height}
                               : outerSize(form.clientWidth(), form.clientHeight(), dpi_);
  HWND window = CreateWindowExW(0, className.c_str(), toWide(form.caption()).c_str(), style(), form.left(), form.top(),
                                size.cx, size.cy, nullptr, nullptr, instance, this);
  if (!window) throw Exception("cannot create the window of form " + form.name());
  window_.reset(window);
  // The title bar and the taskbar show the window's own icons.
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowClass.hIcon));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(windowClass.hIconSm));
  // Made at the layout's size, then scaled once the window knows its
  // monitor.
  dpi_ = windowDpi(window);
  if (dpi_ != kDesignDpi) {
    size = layout.outerSize ? SIZE{scale(layout.bounds.width), scale(layout.bounds.height)}
                            : outerSize(form.clientWidth(), form.clientHeight(), dpi_);
    SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RECT client{};
  GetClientRect(window, &client);
  form.userSetClientSize(unscale(client.right), unscale(client.bottom));
}

FormWindow::~FormWindow() {
  // Messages sent while the window goes no longer reach this object.
  if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
  window_.reset();
}

DWORD FormWindow::style() const {
  // No minimise or maximise box ever; the close box comes with the system
  // menu.
  DWORD style = WS_CAPTION | WS_CLIPCHILDREN;
  if (form_.layout().border == BorderStyle::Sizeable) style |= WS_THICKFRAME;
  if (form_.layout().systemMenu) style |= WS_SYSMENU;
  return style;
}

SIZE FormWindow::outerSize(int clientWidth, int clientHeight, int dpi) const {
  RECT rect = frameFor({0, 0, MulDiv(clientWidth, dpi, kDesignDpi), MulDiv(clientHeight, dpi, kDesignDpi)}, style(), dpi);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

void FormWindow::place() {
  SIZE size = outerSize(form_.clientWidth(), form_.clientHeight(), dpi_);
  SetWindowPos(window_.get(), nullptr, form_.left(), form_.top(), size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The middle of the work area of the monitor that holds the form this one
// is shown over (toolkit/placement.h).
void FormWindow::centre() {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(anchorMonitor(), &monitor)) return;
  RECT rect{};
  GetWindowRect(window_.get(), &rect);
  const platform::ScreenRect workArea{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right,
                                      monitor.rcWork.bottom};
  const platform::ScreenRect placed = centredIn(workArea, rect.right - rect.left, rect.bottom - rect.top);
  SetWindowPos(window_.get(), nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  form_.userSetPosition(placed.left, placed.top);
}

HMONITOR FormWindow::anchorMonitor() const {
  const Form& anchor = form_.placementAnchor();
  return MonitorFromWindow(reinterpret_cast<HWND>(anchor.handle()), MONITOR_DEFAULTTONEAREST);
}

void FormWindow::changed(Property property) {
  switch (property) {
    case Property::Caption:
      SetWindowTextW(window_.get(), toWide(form_.caption()).c_str());
      break;
    case Property::Bounds:
      place();
      break;
    case Property::Visible:
      // Hidden once the thread next serves its messages: by then the form
      // that carries on (a caller that shows itself again, the dialog it
      // shows next) is shown and active, so the window system never hands
      // the activation to another program in between.
      if (form_.visible()) {
        showWindow();
      } else {
        PostMessageW(window_.get(), kHideMessage, 0, 0);
      }
      break;
    case Property::Owner: {
      // The owner of a top-level window is its GWLP_HWNDPARENT.
      Form* owner = form_.owner();
      SetWindowLongPtrW(window_.get(), GWLP_HWNDPARENT, owner ? static_cast<LONG_PTR>(owner->handle()) : 0);
      break;
    }
    case Property::SessionEnd:
      applySessionEndRefusal();
      break;
    case Property::Posted:
      PostMessageW(window_.get(), kPostedCallMessage, 0, 0);
      break;
    default:
      break;
  }
}

// The reason shows in the system's list of programs that hold up a
// shutdown (Windows Vista and later).
void FormWindow::applySessionEndRefusal() {
  using CreateFunction = BOOL(WINAPI*)(HWND, LPCWSTR);
  using DestroyFunction = BOOL(WINAPI*)(HWND);
  static const auto create = loadedFunction<CreateFunction>(L"user32.dll", "ShutdownBlockReasonCreate");
  static const auto destroy = loadedFunction<DestroyFunction>(L"user32.dll", "ShutdownBlockReasonDestroy");
  if (!create || !destroy) return;
  if (form_.sessionEndRefusal().empty()) {
    destroy(window_.get());
  } else {
    create(window_.get(), toWide(form_.sessionEndRefusal()).c_str());
  }
}

bool FormWindow::dropsKey(const MSG& message) const {
  return platform::win32::isHeldOrTypedAheadKey(message, activatedAt_);
}

void FormWindow::showWindow() {
  // Placed when first shown, and again whenever the form it is shown over
  // is on another monitor.
  if (form_.layout().centred &&
      (!shownBefore_ || MonitorFromWindow(window_.get(), MONITOR_DEFAULTTONEAREST) != anchorMonitor())) {
    centre();
  }
  shownBefore_ = true;
  HWND active = GetActiveWindow();
  if (active != window_.get()) activeBefore_ = active;
  // Each showing starts at its first control (or none), not where the
  // user left the last one.
  if (!IsWindowVisible(window_.get())) lastFocus_ = nullptr;
  ShowWindow(window_.get(), SW_SHOW);
  // A window still shown (its hiding was pending) is not activated by
  // SW_SHOW.
  SetForegroundWindow(window_.get());
  // The focus rectangle shows from the start, not only once a key was
  // pressed.
  SendMessageW(window_.get(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void FormWindow::finishHiding() {
  HWND window = window_.get();
  if (form_.visible() || !IsWindowVisible(window)) return;
  // The form that was active before this one takes the activation back
  // before this window goes.
  if (GetActiveWindow() == window && activeBefore_ && IsWindowVisible(activeBefore_) &&
      IsWindowEnabled(activeBefore_)) {
    SetForegroundWindow(activeBefore_);
  }
  ShowWindow(window, SW_HIDE);
}

void FormWindow::rescale(int dpi, const RECT* suggested) {
  dpi_ = dpi;
  // The children take new fonts before the old ones are deleted.
  std::map<int, UniqueFont> previous = std::move(fonts_);
  fonts_.clear();
  for (const auto& [id, child] : children_) child->dpiChanged();
  SetWindowPos(window_.get(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::unique_ptr<ControlPeer> FormWindow::createControlPeer(Control& control) { return createChildPeer(*this, control); }

HFONT FormWindow::font(int height) {
  auto found = fonts_.find(height);
  if (found != fonts_.end()) return found->second.get();
  // Without the face the font mapper picks a Shift-JIS font of its own.
  UniqueFont font(CreateFontW(scale(height), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                              toWide(texts::kUiFontName).c_str()));
  if (!font) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HFONT handle = font.get();
  fonts_.emplace(height, std::move(font));
  return handle;
}

void FormWindow::adopt(ChildPeer& child) {
  children_[child.id()] = &child;
  if (child.window()) applyTabOrder();
}

void FormWindow::release(ChildPeer& child) { children_.erase(child.id()); }

ChildPeer* FormWindow::child(int id) const {
  auto found = children_.find(id);
  return found == children_.end() ? nullptr : found->second;
}

// Tab stops follow the layout's tab order (the z-order of the children);
// each control starts a group of its own except a radio button that
// follows another, so the radio buttons form one arrow-key group. Images
// go to the bottom: the children clip their siblings, so a picture behind
// the buttons never paints over them.
void FormWindow::applyTabOrder() {
  std::vector<ChildPeer*> ordered;
  for (const auto& [id, child] : children_) {
    if (child->window()) ordered.push_back(child);
  }
  auto key = [](const ChildPeer* child) {
    int order = child->control().tabOrder();
    if (child->control().kind() == ControlKind::Image) return INT_MAX;
    return order < 0 ? INT_MAX - 1 : order;
  };
  std::stable_sort(ordered.begin(), ordered.end(), [&](auto* a, auto* b) { return key(a) < key(b); });
  HWND after = HWND_TOP;
  bool previousRadio = false;
  for (ChildPeer* child : ordered) {
    SetWindowPos(child->window(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = child->window();
    bool radio = child->control().kind() == ControlKind::RadioButton;
    LONG_PTR style = GetWindowLongPtrW(child->window(), GWL_STYLE);
    style = radio && previousRadio ? style & ~static_cast<LONG_PTR>(WS_GROUP) : style | WS_GROUP;
    SetWindowLongPtrW(child->window(), GWL_STYLE, style);
    previousRadio = radio;
  }
}

LRESULT CALLBACK FormWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  FormWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->creating_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  // An exception must not cross the window system's frames: it is shown
  // and the message loop goes on.
  try {
    return self->handleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    self->form_.application().showException(error);
    return 0;
  }
}

LRESULT FormWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_ ? window_.get() : creating_;
  switch (message) {
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      if (lParam) {
        if (ChildPeer* from = child(id)) from->command(HIWORD(wParam));
      } else if (id == IDOK) {
        // Enter, as the dialog manager reports it: only the focused
        // control may act on it.
        HWND focus = GetFocus();
        for (const auto& [childId, peer] : children_) {
          if (peer->window() && peer->window() == focus) peer->enter();
        }
      } else if (id == IDCANCEL) {
        // Escape, as the dialog manager reports it, wherever the focus is.
        if (Button* cancel = form_.cancelButton()) cancel->click();
      }
      return 0;
    }
    case WM_TIMER:
      if (wParam == kMoveLoopTimerId) {
        messageLoopOf(form_.application()).tickInWindowSystemLoop();
      } else if (ChildPeer* timer = child(static_cast<int>(wParam))) {
        timer->timer();
      }
      return 0;
    // The window system's own loop moves or sizes the window between these
    // two and never waits for the short timers: a timer of the window
    // runs their ticks meanwhile.
    case WM_ENTERSIZEMOVE:
      SetTimer(window, kMoveLoopTimerId, 1, nullptr);
      break;
    case WM_EXITSIZEMOVE:
      KillTimer(window, kMoveLoopTimerId);
      break;
    case WM_QUERYENDSESSION:
      return form_.sessionEndRefusal().empty() ? TRUE : FALSE;
    case WM_ENDSESSION:
      // The process ends once every window has answered.
      if (wParam) form_.application().endSession();
      return 0;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (ChildPeer* owner = child(static_cast<int>(item->CtlID))) {
        owner->drawItem(*item);
        return TRUE;
      }
      break;
    }
    case WM_ACTIVATE:
      // As a dialog does: the focus goes back to the control that had it,
      // or to the first tab stop.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) lastFocus_ = focus;
      } else {
        activatedAt_ = GetTickCount();
        HWND target = nullptr;
        if (lastFocus_ && IsChild(window, lastFocus_) && IsWindowEnabled(lastFocus_) && IsWindowVisible(lastFocus_)) {
          target = lastFocus_;
        } else {
          target = GetNextDlgTabItem(window, nullptr, FALSE);
        }
        if (target) {
          SetFocus(target);
          return 0;
        }
      }
      break;
    case WM_CHANGEUISTATE:
    case WM_UPDATEUISTATE: {
      // The focus stays visible: a request to hide the focus rectangles
      // (after a click of the mouse, or at a window's start while keyboard
      // cues are off) has the rest of it done.
      const WORD action = LOWORD(wParam);
      WORD flags = HIWORD(wParam);
      if (action == UIS_SET || action == UIS_INITIALIZE) flags &= ~UISF_HIDEFOCUS;
      if (!flags) return 0;
      return DefWindowProcW(window, message, MAKEWPARAM(action, flags), lParam);
    }
    case WM_CLOSE:
      // A dialog ends only through its buttons.
      if (form_.layout().systemMenu) form_.close();
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) form_.userSetClientSize(unscale(LOWORD(lParam)), unscale(HIWORD(lParam)));
      break;
    case WM_GETDPISCALEDSIZE: {
      // The client area at the new DPI is the form's scaled, which a frame
      // scaled with it would miss by a pixel here and there.
      auto* size = reinterpret_cast<SIZE*>(lParam);
      *size = outerSize(form_.clientWidth(), form_.clientHeight(), static_cast<int>(wParam));
      return TRUE;
    }
    case WM_DPICHANGED:
      rescale(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case kHideMessage:
      finishHiding();
      return 0;
    case kPostedCallMessage:
      // Posted messages come before painting: the form is drawn first, so
      // that the player sees it while the call works.
      if (form_.visible()) RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      form_.runPostedCall();
      return 0;
    case WM_MOVE: {
      RECT rect{};
      GetWindowRect(window, &rect);
      form_.userSetPosition(rect.left, rect.top);
      break;
    }
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

ChildPeer::ChildPeer(FormWindow& owner, Control& control) : owner_(owner), control_(control), id_(0) {
  const auto& controls = owner.form().controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].get() == &control) id_ = kFirstControlId + static_cast<int>(i);
  }
  owner.adopt(*this);
}

ChildPeer::~ChildPeer() {
  owner_.release(*this);
  window_.reset();
}

void ChildPeer::createWindow(const wchar_t* windowClass, DWORD style, DWORD exStyle) {
  style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (control_.visible()) style |= WS_VISIBLE;
  if (!control_.enabled()) style |= WS_DISABLED;
  // A progress bar's tab order places it among the others but it takes no
  // focus.
  bool focusable = control_.kind() != ControlKind::ProgressBar && control_.kind() != ControlKind::Label &&
                   control_.kind() != ControlKind::Image;
  if (control_.tabOrder() >= 0 && focusable) style |= WS_TABSTOP;
  const Bounds& bounds = control_.bounds();
  HWND window = CreateWindowExW(exStyle, windowClass, toWide(control_.caption()).c_str(), style,
                                owner_.scale(bounds.left), owner_.scale(bounds.top), owner_.scale(bounds.width),
                                owner_.scale(bounds.height), owner_.window(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleW(nullptr), nullptr);
  if (!window) throw Exception("cannot create the window of control " + control_.name());
  window_.reset(window);
  applyFont();
  owner_.adopt(*this);
}

void ChildPeer::applyFont() {
  int height = control_.fontHeight() ? control_.fontHeight() : owner_.form().layout().fontHeight;
  SendMessageW(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(owner_.font(height)), TRUE);
}

void ChildPeer::place() {
  const Bounds& bounds = control_.bounds();
  MoveWindow(window_.get(), owner_.scale(bounds.left), owner_.scale(bounds.top), owner_.scale(bounds.width),
             owner_.scale(bounds.height), TRUE);
}

void ChildPeer::dpiChanged() {
  if (!window_) return;
  applyFont();
  place();
}

void ChildPeer::changed(Property property) {
  if (!window_) return;
  switch (property) {
    case Property::Bounds:
      place();
      break;
    case Property::Caption:
      SetWindowTextW(window_.get(), toWide(control_.caption()).c_str());
      break;
    case Property::Visible:
      ShowWindow(window_.get(), control_.visible() ? SW_SHOWNA : SW_HIDE);
      break;
    case Property::Enabled:
      EnableWindow(window_.get(), control_.enabled());
      break;
    default:
      break;
  }
}

}  // namespace toolkit::win32
