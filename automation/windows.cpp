// Finding windows, reading them and acting on them.
#include <algorithm>
#include <cstring>
#include <thread>

#include "automation/driver.h"

namespace e2e {

namespace {

constexpr UINT kAnswerTimeoutMs = 5000;
// What the screen needs after the window answered: X drawing is
// asynchronous to the window's thread.
constexpr Duration kSettle{400};
// The message box's text is the static control with this id.
constexpr int kMessageBoxTextId = 0xFFFF;

LRESULT sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result)) {
    throw DriverError("window does not answer (message " + std::to_string(message) + ")");
  }
  return static_cast<LRESULT>(result);
}

// Enumeration callbacks are stdcall on 32-bit Windows, which lambdas
// cannot convert to; these collect into a vector instead.
BOOL CALLBACK collectChild(HWND child, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
  return TRUE;
}

struct ProcessWindows {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK collectProcessWindow(HWND window, LPARAM data) {
  auto& context = *reinterpret_cast<ProcessWindows*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == context.processId && IsWindowVisible(window)) context.found.push_back(window);
  return TRUE;
}

// The window's text; nullopt when it does not answer or is gone (a window
// found by an enumeration may be destroyed before it is asked).
std::optional<std::wstring> readText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &length)) {
    return std::nullopt;
  }
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           kAnswerTimeoutMs, &copied)) {
    return std::nullopt;
  }
  text.resize(static_cast<size_t>(copied));
  return text;
}

// The messages of the two kinds of line lists the driver reads.
struct LineMessages {
  UINT count, textLength, text, selected;
};

LineMessages lineMessages(const Window& window) {
  const std::wstring kind = window.className();
  if (_wcsicmp(kind.c_str(), L"ListBox") == 0) {
    return {LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_GETCURSEL};
  }
  if (_wcsicmp(kind.c_str(), L"ComboBox") == 0) {
    return {CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETCURSEL};
  }
  throw DriverError("not a list: window of class " + narrow(kind));
}

}  // namespace

std::wstring Window::text() const {
  auto text = readText(handle_);
  if (!text) throw DriverError(exists() ? "window does not answer" : "window is gone");
  return *text;
}

std::wstring Window::className() const {
  wchar_t name[256] = {};
  GetClassNameW(handle_, name, 256);
  return name;
}

int Window::id() const { return GetDlgCtrlID(handle_); }
bool Window::exists() const { return IsWindow(handle_) != FALSE; }
bool Window::visible() const { return IsWindowVisible(handle_) != FALSE; }
bool Window::enabled() const { return IsWindowEnabled(handle_) != FALSE; }

RECT Window::clientRect() const {
  RECT rect{};
  if (!GetClientRect(handle_, &rect)) throw DriverError("no client rectangle");
  return rect;
}

RECT Window::rectInParent() const {
  RECT rect{};
  if (!GetWindowRect(handle_, &rect)) throw DriverError("no window rectangle");
  HWND parent = GetParent(handle_);
  POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
  if (parent) {
    ScreenToClient(parent, &corners[0]);
    ScreenToClient(parent, &corners[1]);
  }
  return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

RECT Window::screenRect() const {
  RECT rect{};
  if (!GetWindowRect(handle_, &rect)) throw DriverError("no window rectangle");
  return rect;
}

Window Window::child(int id) const {
  HWND found = GetDlgItem(handle_, id);
  if (!found) throw DriverError("no control with id " + std::to_string(id) + " in " + narrow(text()));
  return Window(found);
}

Window Window::child(const toolkit::FormLayout& layout, const char* controlName) const {
  return child(controlId(layout, controlName));
}

std::vector<Window> Window::children() const {
  std::vector<HWND> handles;
  EnumChildWindows(handle_, collectChild, reinterpret_cast<LPARAM>(&handles));
  return {handles.begin(), handles.end()};
}

std::optional<Window> Window::findChild(const std::wstring& text, const std::wstring& windowClass) const {
  for (const Window& child : children()) {
    if ((windowClass.empty() || child.className() == windowClass) && readText(child.handle()) == text) return child;
  }
  return std::nullopt;
}

Window Window::childByText(const std::wstring& text, const std::wstring& windowClass) const {
  auto found = findChild(text, windowClass);
  if (!found) throw DriverError("no control \"" + narrow(text) + "\" in " + narrow(this->text()));
  return *found;
}

void Window::click() const {
  if (!visible() || !enabled()) {
    throw DriverError("cannot click \"" + narrow(text()) + "\": " + (visible() ? "disabled" : "hidden"));
  }
  if (!PostMessageW(handle_, BM_CLICK, 0, 0)) throw DriverError("cannot post a click");
}

void Window::setText(const std::wstring& text) const {
  sendWithTimeout(handle_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool Window::checked() const { return sendWithTimeout(handle_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::vector<std::wstring> Window::items() const {
  const LineMessages messages = lineMessages(*this);
  // Each line is a message of its own: the program may refill the list
  // between two of them, and then the lines are read again.
  for (int attempt = 0; attempt < 10; ++attempt) {
    const auto count = sendWithTimeout(handle_, messages.count, 0, 0);
    std::vector<std::wstring> lines;
    for (LRESULT i = 0; i < count; ++i) {
      const LRESULT length = sendWithTimeout(handle_, messages.textLength, i, 0);
      if (length < 0) break;
      // Room beyond the length read: the line may have been replaced since.
      std::wstring line(std::max<size_t>(static_cast<size_t>(length) + 1, 1024), L'\0');
      const LRESULT copied = sendWithTimeout(handle_, messages.text, i, reinterpret_cast<LPARAM>(line.data()));
      if (copied < 0 || copied != length) break;
      line.resize(static_cast<size_t>(copied));
      lines.push_back(std::move(line));
    }
    if (static_cast<LRESULT>(lines.size()) == count && sendWithTimeout(handle_, messages.count, 0, 0) == count) {
      return lines;
    }
  }
  throw DriverError("the list kept changing while it was read");
}

int Window::selectedItem() const {
  return static_cast<int>(sendWithTimeout(handle_, lineMessages(*this).selected, 0, 0));
}

int Window::itemIndex(const std::wstring& text) const {
  const std::vector<std::wstring> lines = items();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (_wcsicmp(lines[i].c_str(), text.c_str()) == 0) return static_cast<int>(i);
  }
  throw DriverError("no line \"" + narrow(text) + "\" in the list");
}

void Window::doubleClickItem(int index) const {
  if (sendWithTimeout(handle_, LB_SETCURSEL, index, 0) == LB_ERR) {
    throw DriverError("no line " + std::to_string(index) + " in the list");
  }
  RECT line{};
  sendWithTimeout(handle_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&line));
  const LPARAM at = MAKELPARAM((line.left + line.right) / 2, (line.top + line.bottom) / 2);
  sendWithTimeout(handle_, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  sendWithTimeout(handle_, WM_LBUTTONUP, 0, at);
}

void Window::chooseItem(int index) const {
  if (sendWithTimeout(handle_, CB_SETCURSEL, index, 0) == CB_ERR) {
    throw DriverError("no line " + std::to_string(index) + " in the drop-down list");
  }
  const WPARAM command = MAKEWPARAM(static_cast<WORD>(id()), CBN_SELCHANGE);
  sendWithTimeout(GetParent(handle_), WM_COMMAND, command, reinterpret_cast<LPARAM>(handle_));
}

void Window::close() const { PostMessageW(handle_, WM_CLOSE, 0, 0); }

void Window::sync(Duration timeout) const {
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutW(handle_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(timeout.count()), &ignored)) {
    throw DriverError("window does not answer");
  }
}

Window focusedWindow(const Window& form) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(form.handle(), nullptr), &info)) {
    throw DriverError("no thread information for " + narrow(form.text()));
  }
  return Window(info.hwndFocus);
}

Window foregroundWindow() { return Window(GetForegroundWindow()); }

void pressKey(const Window& form, WORD virtualKey) {
  Window focus = focusedWindow(form);
  if (!focus) throw DriverError("no control has the focus in " + narrow(form.text()));
  const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageW(focus.handle(), WM_KEYDOWN, virtualKey, 1 | scan << 16);
  PostMessageW(focus.handle(), WM_KEYUP, virtualKey, 1 | scan << 16 | 3u << 30);
  form.sync();
}

void typeKey(const Window& form, const std::string& keyName) {
  if (!waitUntil([&] { return GetForegroundWindow() == form.handle(); })) {
    throw DriverError("not in the foreground: " + narrow(form.text()));
  }
  if (runNative("/usr/bin/xdotool key " + keyName) != 0) throw DriverError("xdotool cannot type " + keyName);
}

ClientPixels::ClientPixels(const Window& window) {
  window.sync();
  std::this_thread::sleep_for(kSettle);
  RECT client = window.clientRect();
  POINT origin{0, 0};
  ClientToScreen(window.handle(), &origin);
  width_ = client.right;
  height_ = client.bottom;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  BITMAPINFOHEADER& header = info.bmiHeader;  // the rest stays zero
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width_;
  header.biHeight = -height_;  // top row first
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  pixels_.resize(static_cast<size_t>(width_) * height_);
  const auto* row = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < pixels_.size(); ++i) {
    const uint32_t bgr = row[i];
    pixels_[i] = RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

int ClientPixels::count(const RECT& area, COLORREF colour) const {
  int found = 0;
  for (int y = std::max(0L, area.top); y < std::min<long>(height_, area.bottom); ++y) {
    for (int x = std::max(0L, area.left); x < std::min<long>(width_, area.right); ++x) found += at(x, y) == colour;
  }
  return found;
}

int controlId(const toolkit::FormLayout& layout, const char* controlName) {
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    if (std::strcmp(layout.controls[i].name, controlName) == 0) return toolkit::kFirstControlId + static_cast<int>(i);
  }
  throw DriverError(std::string("layout ") + layout.name + " has no control " + controlName);
}

std::vector<Window> topLevelWindows(DWORD processId) {
  ProcessWindows context{processId, {}};
  EnumWindows(collectProcessWindow, reinterpret_cast<LPARAM>(&context));
  return {context.found.begin(), context.found.end()};
}

namespace {

// The first top-level window of the process with that class (and caption,
// unless empty); a null window when there is none.
Window processWindow(DWORD processId, const std::wstring& windowClass, const std::wstring& caption) {
  for (const Window& window : topLevelWindows(processId)) {
    if (window.className() == windowClass && (caption.empty() || readText(window.handle()) == caption)) return window;
  }
  return Window();
}

MessageBoxView messageBoxView(const Window& window) {
  MessageBoxView box;
  box.window = window;
  box.caption = window.text();
  if (HWND text = GetDlgItem(window.handle(), kMessageBoxTextId)) box.text = Window(text).text();
  return box;
}

}  // namespace

Window waitForWindow(const Process& process, const std::wstring& windowClass, const std::wstring& caption,
                     Duration timeout) {
  Window found;
  bool appeared = waitUntil(
      [&] {
        found = processWindow(process.id(), windowClass, caption);
        return found || !process.running();
      },
      timeout);
  if (!found) {
    throw DriverError("no window of class " + narrow(windowClass) +
                      (caption.empty() ? "" : " with caption \"" + narrow(caption) + "\"") +
                      (appeared ? ": the program ended" : ": timed out"));
  }
  return found;
}

Window waitForAnyWindow(const std::wstring& windowClass, const std::wstring& caption, Duration timeout) {
  Window found;
  waitUntil(
      [&] {
        HWND window = FindWindowW(windowClass.c_str(), caption.empty() ? nullptr : caption.c_str());
        if (window && IsWindowVisible(window)) found = Window(window);
        return bool(found);
      },
      timeout);
  if (!found) throw DriverError("no window of class " + narrow(windowClass) + " appeared");
  return found;
}

void waitForWindowGone(const Window& window, Duration timeout) {
  if (!waitUntil([&] { return !window.exists() || !window.visible(); }, timeout)) {
    throw DriverError("window \"" + narrow(window.text()) + "\" is still shown");
  }
}

void MessageBoxView::answer(int buttonId) const { window.child(buttonId).click(); }

MessageBoxView waitForMessageBox(const Process& process, const std::wstring& caption, Duration timeout) {
  return messageBoxView(waitForWindow(process, L"#32770", caption, timeout));
}

MessageBoxView waitForMessageBoxBeside(const Window& window, const std::wstring& caption, Duration timeout) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window.handle(), &processId);
  Window found;
  waitUntil(
      [&] {
        found = processWindow(processId, L"#32770", caption);
        return bool(found);
      },
      timeout);
  if (!found) throw DriverError("no message box \"" + narrow(caption) + "\" appeared");
  return messageBoxView(found);
}

std::string screenshot(const std::filesystem::path& folder, const std::string& name, const Window& settle) {
  if (settle) settle.sync();
  std::this_thread::sleep_for(kSettle);
  std::filesystem::create_directories(folder);
  std::string file = unixPath(folder) + "/" + name + ".png";
  DWORD code = runNative("/usr/bin/import -window root '" + file + "'");
  if (code != 0) throw DriverError("import failed for " + file);
  return file;
}

}  // namespace e2e
