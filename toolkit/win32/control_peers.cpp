// The peers of each kind of control: standard window classes, and what the
// user does with them reported back to the control without echo.
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>

#include "core/sjis.h"
#include "platform/platform.h"
#include "platform/win32/wide_text.h"
#include "toolkit/bar_paint.h"
#include "toolkit/win32/accessible_client.h"
#include "toolkit/win32/form_window.h"
#include "toolkit/win32/message_loop.h"

namespace toolkit::win32 {

using platform::win32::toSjis;
using platform::win32::toWide;
namespace {

std::wstring windowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

class ButtonPeer : public ChildPeer {
 public:
  ButtonPeer(FormWindow& owner, Control& control) : ChildPeer(owner, control) {
    createWindow(L"Button", BS_PUSHBUTTON);
  }
  void command(int code) override {
    if (code == BN_CLICKED) static_cast<Button&>(control()).click();
  }
  // Enter presses the focused button, as Space does.
  void enter() override { command(BN_CLICKED); }
};

// Labels never cut their text short: the window grows to the text, as a
// label that sizes itself would (the control's bounds stay as set). A
// substituted font may be taller than the layout's 12 pixels. A new text
// paints once: the static paints itself as the text is set, so the window
// only grows beforehand, without a paint of its own, and never shrinks
// until the control is placed again.
class LabelPeer : public ChildPeer {
 public:
  LabelPeer(FormWindow& owner, Control& control) : ChildPeer(owner, control) {
    createWindow(L"Static", SS_LEFTNOWORDWRAP | SS_NOPREFIX);
    place();
  }
  void changed(Property property) override {
    if (property != Property::Caption) return ChildPeer::changed(property);
    const std::wstring text = toWide(control().caption());
    const SIZE needed = extent(text);
    RECT client{};
    GetClientRect(window(), &client);
    if (needed.cx > client.right || needed.cy > client.bottom) {
      SetWindowPos(window(), nullptr, 0, 0, std::max<int>(client.right, needed.cx),
                   std::max<int>(client.bottom, needed.cy), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    SetWindowTextW(window(), text.c_str());
  }

 protected:
  void place() override {
    const Bounds& bounds = control().bounds();
    const SIZE needed = extent(toWide(control().caption()));
    MoveWindow(window(), owner().scale(bounds.left), owner().scale(bounds.top),
               std::max<int>(owner().scale(bounds.width), needed.cx), std::max<int>(owner().scale(bounds.height), needed.cy),
               TRUE);
  }

 private:
  SIZE extent(const std::wstring& text) const {
    SIZE size{};
    WindowDc dc(window());
    HGDIOBJ previous = SelectObject(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(window(), WM_GETFONT, 0, 0)));
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc.get(), previous);
    return size;
  }
};

// The limit counts Shift-JIS bytes: the edit's own limit (in characters)
// stops most typing, and a change that still ends up too long in bytes is
// cut back at a character boundary.
class EditPeer : public ChildPeer {
 public:
  EditPeer(FormWindow& owner, Control& control) : ChildPeer(owner, control) {
    createWindow(L"Edit", ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
    if (edit().maxLength() > 0) SendMessageW(window(), EM_LIMITTEXT, static_cast<WPARAM>(edit().maxLength()), 0);
  }
  void changed(Property property) override {
    settingText_ = property == Property::Caption;
    ChildPeer::changed(property);
    settingText_ = false;
  }
  void command(int code) override {
    if (code != EN_CHANGE || settingText_) return;
    auto exact = toSjis(windowText(window()));
    // Text the program cannot hold stays shown as typed; the dialog decides.
    if (!exact) return edit().userSetUnrepresentableText();
    std::string text = std::move(*exact);
    size_t limit = static_cast<size_t>(edit().maxLength());
    if (limit > 0 && text.size() > limit) {
      size_t keep = 0;
      while (keep < text.size()) {
        size_t next = keep + (IsLeadByte(text[keep]) ? 2 : 1);
        if (next > limit) break;
        keep = next;
      }
      text.resize(keep);
      settingText_ = true;
      std::wstring shown = toWide(text);
      SetWindowTextW(window(), shown.c_str());
      SendMessageW(window(), EM_SETSEL, shown.size(), static_cast<LPARAM>(shown.size()));
      settingText_ = false;
    }
    edit().userSetText(text);
  }

 private:
  Edit& edit() const { return static_cast<Edit&>(control()); }
  bool settingText_ = false;
};

class RadioPeer : public ChildPeer {
 public:
  RadioPeer(FormWindow& owner, Control& control) : ChildPeer(owner, control) {
    createWindow(L"Button", BS_AUTORADIOBUTTON);
    changed(Property::Checked);
  }
  void changed(Property property) override {
    if (property != Property::Checked) return ChildPeer::changed(property);
    SendMessageW(window(), BM_SETCHECK, radio().checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  void command(int code) override {
    if (code == BN_CLICKED) radio().userSetChecked(SendMessageW(window(), BM_GETCHECK, 0, 0) == BST_CHECKED);
  }

 private:
  RadioButton& radio() const { return static_cast<RadioButton&>(control()); }
};

// A progress bar drawn by the toolkit in the system's look (the theme's
// bar and fill parts; without a theme, or with high contrast on, a sunken
// frame and the highlight colour: toolkit/bar_paint.h) rather than the
// common control. That control repaints itself through BeginPaint and
// EndPaint on every new position, and under Wine each EndPaint pushes the
// window's pixels to the X server at once: half a millisecond to three a
// time, where the drawing itself takes microseconds. Here a new position
// draws the fill straight into the window (the whole bar when it shrinks),
// and nothing when the drawn width stays. PBM_GETPOS and PBM_GETRANGE
// answer as the control's would, for tools that read the bar; screen
// readers get the control's role, name and value (accessible_client.h) and
// hear of each new width as a change of value.
class ProgressPeer : public ChildPeer, private AccessibleFacts {
 public:
  ProgressPeer(FormWindow& owner, Control& control) : ChildPeer(owner, control), accessible_(*this) {
    registerClass();
    createWindow(kClassName, 0);
    SetWindowLongPtrW(window(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    theme_.reset(openTheme(window(), L"PROGRESS"));
    shown_ = position();
  }
  ~ProgressPeer() override {
    if (window()) SetWindowLongPtrW(window(), GWLP_USERDATA, 0);
  }
  void changed(Property property) override {
    if (property != Property::Position) return ChildPeer::changed(property);
    const int before = shown_;
    shown_ = position();
    WindowDc dc(window());
    const BarPaint look = paintNow();
    const RECT inside = content(dc.get(), look);
    const int from = fillWidth(inside, before);
    const int to = fillWidth(inside, shown_);
    if (to == from) return;
    if (to < from) {
      paint(dc.get());
    } else {
      fill(dc.get(), inside, to, look);
    }
    notifyValueChange(window());
  }
  // The theme's parts are measured for the monitor's DPI.
  void dpiChanged() override {
    theme_.reset(openTheme(window(), L"PROGRESS"));
    ChildPeer::dpiChanged();
  }

 private:
  static constexpr wchar_t kClassName[] = L"ToolkitProgressBar";

  static void registerClass() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = kClassName;
    // Registered by the first bar; later ones find it (the call then fails).
    RegisterClassExW(&windowClass);
  }

  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ProgressPeer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
      case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        self->paint(dc);
        EndPaint(window, &paint);
        return 0;
      }
      case WM_ERASEBKGND: return 1;  // painted whole by WM_PAINT
      case WM_THEMECHANGED:
        self->theme_.reset(openTheme(window, L"PROGRESS"));
        InvalidateRect(window, nullptr, FALSE);
        return 0;
      case WM_GETOBJECT: return self->accessible_.answer(window, wParam, lParam);
      case PBM_GETPOS: return self->shown_;
      case PBM_GETRANGE: {
        if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) *range = {0, 100};
        return wParam ? 0 : 100;
      }
      default: return DefWindowProcW(window, message, wParam, lParam);
    }
  }

  // What the common control tells accessibility tools: its role, the text
  // of the label before it, and its position in percent; read only.
  LONG accessibleRole() const override { return ROLE_SYSTEM_PROGRESSBAR; }
  std::wstring accessibleName() const override {
    const Label* label = control().form().labelOf(control());
    return label ? toWide(label->caption()) : std::wstring();
  }
  std::wstring accessibleValue() const override { return std::to_wstring(shown_) + L"%"; }
  LONG accessibleState() const override { return STATE_SYSTEM_READONLY; }

  int position() const { return static_cast<ProgressBar&>(control()).position(); }
  static int fillWidth(const RECT& inside, int position) { return MulDiv(inside.right - inside.left, position, 100); }
  static HBRUSH brush(SystemColour colour) {
    return GetSysColorBrush(colour == SystemColour::Highlight ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
  }

  // By the theme, unless high contrast is on now (toolkit/bar_paint.h).
  BarPaint paintNow() const {
    return progressBarPaint(control().form().application().platform().highContrast(), theme_.get() != nullptr);
  }

  // The area the fill may take: inside the frame.
  RECT content(HDC dc, const BarPaint& look) const {
    RECT client{};
    GetClientRect(window(), &client);
    RECT inside = client;
    if (look.themeParts) {
      themeFunctions().backgroundContentRect(theme_.get(), dc, PP_BAR, 0, &client, &inside);
    } else {
      InflateRect(&inside, -1, -1);
    }
    return inside;
  }

  void paint(HDC dc) const {
    const BarPaint look = paintNow();
    RECT client{};
    GetClientRect(window(), &client);
    const RECT inside = content(dc, look);
    if (look.themeParts) {
      themeFunctions().drawBackground(theme_.get(), dc, PP_BAR, 0, &client, nullptr);
    } else {
      RECT frame = client;
      DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
      FillRect(dc, &inside, brush(look.face));
    }
    fill(dc, inside, fillWidth(inside, shown_), look);
  }

  // The fill from the left up to `width`, drawn whole: the theme's fill
  // part has edges of its own.
  void fill(HDC dc, const RECT& inside, int width, const BarPaint& look) const {
    if (width <= 0) return;
    RECT filled{inside.left, inside.top, inside.left + width, inside.bottom};
    if (look.themeParts) {
      themeFunctions().drawBackground(theme_.get(), dc, PP_FILL, PBFS_NORMAL, &filled, nullptr);
    } else {
      FillRect(dc, &filled, brush(look.fill));
    }
  }

  UniqueTheme theme_;
  int shown_ = 0;
  AccessibleClient accessible_;
};

// A static showing the bitmap. Above 96 DPI it shows a copy stretched by
// DPI / 96 with halftoning; at 96 DPI the file's own bitmap, pixel for
// pixel.
class ImagePeer : public ChildPeer {
 public:
  ImagePeer(FormWindow& owner, Control& control) : ChildPeer(owner, control) { createWindow(L"Static", SS_BITMAP); }
  ~ImagePeer() override { show(nullptr); }

  bool loadPicture(const std::string& path) override {
    UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageW(nullptr, toWide(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!bitmap) return false;
    show(nullptr);  // the static lets go of the bitmaps before they are replaced
    picture_ = std::move(bitmap);
    showScaled();
    return true;
  }
  void dpiChanged() override {
    showScaled();
    ChildPeer::dpiChanged();
  }

 private:
  void showScaled() {
    show(nullptr);
    scaled_ = owner().dpi() == kDesignDpi ? UniqueBitmap() : stretched(picture_.get());
    show(scaled_ ? scaled_.get() : picture_.get());
    place();  // the static sized itself to the bitmap; the control decides
  }

  UniqueBitmap stretched(HBITMAP source) const {
    BITMAP info{};
    if (!source || !GetObjectW(source, sizeof info, &info)) return {};
    int width = owner().scale(info.bmWidth);
    int height = owner().scale(info.bmHeight);
    WindowDc screen(nullptr);
    UniqueBitmap target(CreateCompatibleBitmap(screen.get(), width, height));
    MemoryDc from(screen.get());
    MemoryDc to(screen.get());
    HGDIOBJ oldFrom = SelectObject(from.get(), source);
    HGDIOBJ oldTo = SelectObject(to.get(), target.get());
    SetStretchBltMode(to.get(), HALFTONE);
    SetBrushOrgEx(to.get(), 0, 0, nullptr);
    StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(from.get(), oldFrom);
    SelectObject(to.get(), oldTo);
    return target;
  }

  // The static hands back the bitmap it showed before; when that is a copy
  // of its own (a bitmap with alpha under visual styles) it is ours to free.
  void show(HBITMAP bitmap) {
    auto previous = reinterpret_cast<HBITMAP>(
        SendMessageW(window(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (previous && previous != picture_.get() && previous != scaled_.get()) DeleteObject(previous);
  }
  UniqueBitmap picture_;
  UniqueBitmap scaled_;
};

// A timer below the window system's shortest interval is ticked by the
// toolkit's message loop; any other is a timer of the form's window, with
// the control's id.
class TimerPeer : public ChildPeer {
 public:
  TimerPeer(FormWindow& owner, Control& control) : ChildPeer(owner, control) { changed(Property::Enabled); }
  ~TimerPeer() override { stop(); }

  void changed(Property property) override {
    if (property != Property::Enabled && property != Property::Timer) return;
    stop();
    auto& timer = static_cast<Timer&>(control());
    if (!timer.enabled()) return;
    if (MessageLoop::delivers(timer.interval())) {
      shortTimer_ = ShortTimer::start(messageLoopOf(timer.form().application()), timer);
      if (shortTimer_) return;
    }
    SetTimer(owner().window(), static_cast<UINT_PTR>(id()), std::max(timer.interval(), 1u), nullptr);
  }
  void timer() override { static_cast<Timer&>(control()).tick(); }

 private:
  void stop() {
    shortTimer_.reset();
    KillTimer(owner().window(), static_cast<UINT_PTR>(id()));
  }
  std::unique_ptr<ShortTimer> shortTimer_;
};

// Drop-down of "A:".."Z:". The window's height includes the dropped list;
// the closed field takes its height from the font.
class DriveListPeer : public ChildPeer {
 public:
  static constexpr int kDroppedHeight = 200;

  DriveListPeer(FormWindow& owner, Control& control) : ChildPeer(owner, control) {
    createWindow(WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL);
    place();
    fill();
  }
  void changed(Property property) override {
    if (property == Property::Items) return fill();
    ChildPeer::changed(property);
  }
  void command(int code) override {
    // Arrow keys on the closed list choose at once; in the dropped list
    // the choice is made when it closes.
    bool dropped = SendMessageW(window(), CB_GETDROPPEDSTATE, 0, 0) != 0;
    if (code != CBN_CLOSEUP && !(code == CBN_SELCHANGE && !dropped)) return;
    auto index = static_cast<size_t>(SendMessageW(window(), CB_GETCURSEL, 0, 0));
    auto& list = static_cast<DriveList&>(control());
    if (index < list.drives().size() && list.drives()[index] != list.drive()) list.choose(list.drives()[index]);
  }

 protected:
  void place() override {
    const Bounds& bounds = control().bounds();
    MoveWindow(window(), owner().scale(bounds.left), owner().scale(bounds.top), owner().scale(bounds.width),
               owner().scale(bounds.height + kDroppedHeight), TRUE);
  }

 private:
  void fill() {
    auto& list = static_cast<DriveList&>(control());
    SendMessageW(window(), CB_RESETCONTENT, 0, 0);
    for (char letter : list.drives()) {
      wchar_t name[] = {static_cast<wchar_t>(letter), L':', L'\0'};
      SendMessageW(window(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    size_t index = list.drives().find(list.drive());
    SendMessageW(window(), CB_SETCURSEL, index == std::string::npos ? static_cast<WPARAM>(-1) : index, 0);
  }
};

// Owner-drawn so that each line is indented by its depth; the strings are
// kept too, so that a UI driver can read the lines back.
class FolderListPeer : public ChildPeer {
 public:
  static constexpr int kIndent = 10;

  FolderListPeer(FormWindow& owner, Control& control) : ChildPeer(owner, control) {
    createWindow(L"ListBox", LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
                 WS_EX_CLIENTEDGE);
    setItemHeight();
    fill();
  }
  void dpiChanged() override {
    ChildPeer::dpiChanged();
    setItemHeight();
  }
  void changed(Property property) override {
    if (property == Property::Items) return fill();
    ChildPeer::changed(property);
  }
  void command(int code) override {
    if (code == LBN_DBLCLK) enter();
  }
  void enter() override { list().open(static_cast<int>(SendMessageW(window(), LB_GETCURSEL, 0, 0))); }

  void drawItem(const DRAWITEMSTRUCT& item) override {
    if (item.itemID == static_cast<UINT>(-1)) return;
    bool selected = item.itemState & ODS_SELECTED;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    std::wstring text(static_cast<size_t>(SendMessageW(window(), LB_GETTEXTLEN, item.itemID, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(
        SendMessageW(window(), LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()))));
    RECT area = item.rcItem;
    const auto& depths = list().itemDepths();
    if (item.itemID < depths.size()) area.left += owner().scale(2 + kIndent * depths[item.itemID]);
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &area,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
  }

 private:
  FolderList& list() const { return static_cast<FolderList&>(control()); }

  void setItemHeight() {
    if (list().itemHeight() > 0) SendMessageW(window(), LB_SETITEMHEIGHT, 0, owner().scale(list().itemHeight()));
  }

  // The root as it is ("C:\"), every other line by its last name.
  static std::string lineName(const std::string& path, int depth) {
    if (depth == 0) return path;
    size_t last = std::string::npos;
    forEachSeparator(path, 0, [&](size_t i) { last = i; });
    return last == std::string::npos ? path : path.substr(last + 1);
  }

  void fill() {
    SendMessageW(window(), WM_SETREDRAW, FALSE, 0);
    SendMessageW(window(), LB_RESETCONTENT, 0, 0);
    const auto& paths = list().items();
    for (size_t i = 0; i < paths.size(); ++i) {
      std::wstring name = toWide(lineName(paths[i], list().itemDepths()[i]));
      SendMessageW(window(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SendMessageW(window(), LB_SETCURSEL, static_cast<WPARAM>(list().currentItem()), 0);
    SendMessageW(window(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window(), nullptr, TRUE);
  }
};

}  // namespace

std::unique_ptr<ChildPeer> createChildPeer(FormWindow& owner, Control& control) {
  switch (control.kind()) {
    case ControlKind::Button: return std::make_unique<ButtonPeer>(owner, control);
    case ControlKind::Label: return std::make_unique<LabelPeer>(owner, control);
    case ControlKind::Edit: return std::make_unique<EditPeer>(owner, control);
    case ControlKind::RadioButton: return std::make_unique<RadioPeer>(owner, control);
    case ControlKind::ProgressBar: return std::make_unique<ProgressPeer>(owner, control);
    case ControlKind::Image: return std::make_unique<ImagePeer>(owner, control);
    case ControlKind::Timer: return std::make_unique<TimerPeer>(owner, control);
    case ControlKind::DriveList: return std::make_unique<DriveListPeer>(owner, control);
    case ControlKind::FolderList: return std::make_unique<FolderListPeer>(owner, control);
  }
  throw Exception("no window for control " + control.name());
}

}  // namespace toolkit::win32
