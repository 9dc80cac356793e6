// Finding windows, reading them and acting on them.
#include <cstring>
#include <thread>

#include "tests/e2e/driver/driver.h"

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

void Window::close() const { PostMessageW(handle_, WM_CLOSE, 0, 0); }

void Window::sync(Duration timeout) const {
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutW(handle_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(timeout.count()), &ignored)) {
    throw DriverError("window does not answer");
  }
}

int controlId(const toolkit::FormLayout& layout, const char* controlName) {
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    if (std::strcmp(layout.controls[i].name, controlName) == 0) return 100 + static_cast<int>(i);
  }
  throw DriverError(std::string("layout ") + layout.name + " has no control " + controlName);
}

std::vector<Window> topLevelWindows(DWORD processId) {
  ProcessWindows context{processId, {}};
  EnumWindows(collectProcessWindow, reinterpret_cast<LPARAM>(&context));
  return {context.found.begin(), context.found.end()};
}

Window waitForWindow(const Process& process, const std::wstring& windowClass, const std::wstring& caption,
                     Duration timeout) {
  Window found;
  bool appeared = waitUntil(
      [&] {
        for (const Window& window : topLevelWindows(process.id())) {
          if (window.className() == windowClass && (caption.empty() || readText(window.handle()) == caption)) {
            found = window;
            return true;
          }
        }
        return !process.running();
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
  MessageBoxView box;
  box.window = waitForWindow(process, L"#32770", caption, timeout);
  box.caption = box.window.text();
  if (HWND text = GetDlgItem(box.window.handle(), kMessageBoxTextId)) box.text = Window(text).text();
  return box;
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
