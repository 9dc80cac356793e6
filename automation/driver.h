#pragma once
// The end-to-end driver: runs the real install.exe under Wine (or Windows)
// and works it through its windows as a user would, by caption, window
// class and control id, never by screen coordinates. The end-to-end tests
// (whose namespace it shares), the benchmark and the demo tour use it.
//
//   e2e::Medium medium("menu");                       // a temporary folder
//   medium.pack(imageUnderTest, config);             // install.exe + block
//   e2e::Process menu = medium.start();              // cwd = the medium
//   e2e::Window form = e2e::waitForWindow(menu, L"Tmform");
//   form.child(e2e::controlId(mformLayout, "closebtn")).click();
//   EXPECT_EQ(menu.exitCode(), 0u);
//
// Every wait takes a timeout and throws DriverError when it runs out, so no
// scenario hangs; a Process still running when its object is destroyed
// (a failed scenario) is killed. Text is UTF-16 as the windows show it.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "automation/temp_folder.h"
#include "toolkit/layout.h"

namespace e2e {

using Json = nlohmann::ordered_json;
using Duration = std::chrono::milliseconds;
inline constexpr Duration kTimeout{20000};

// A wait that ran out or an action that could not be done; says which.
class DriverError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Polls `done` until it returns true; false when `timeout` ran out first.
bool waitUntil(const std::function<bool()>& done, Duration timeout = kTimeout);

// --- Paths and files ---------------------------------------------------------
// A Linux path as Windows sees it under Wine ("/work/x" -> "Z:\work\x"), and
// back. Outside Wine both return the path unchanged.
std::filesystem::path windowsPath(const std::string& unixPath);
std::string unixPath(const std::filesystem::path& windowsPath);

// A drive letter standing for a folder in this Wine prefix (a link in its
// dosdevices folder), as long as the object lives. Throws DriverError when
// the link cannot be made.
class DriveMapping {
 public:
  DriveMapping(char letter, const std::filesystem::path& folder);
  ~DriveMapping();
  DriveMapping(const DriveMapping&) = delete;
  DriveMapping& operator=(const DriveMapping&) = delete;

 private:
  std::string link_;  // the link's Linux path
};

std::string readFile(const std::filesystem::path& path);  // throws DriverError when unreadable
void writeFile(const std::filesystem::path& path, const std::string& bytes);
// Copies a file, replacing the target.
void copyFileOver(const std::filesystem::path& source, const std::filesystem::path& target);
std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& wide);  // UTF-8

// --- Registry ------------------------------------------------------------------
std::optional<std::wstring> readRegistryString(HKEY root, const std::wstring& key, const std::wstring& value);
void writeRegistryString(HKEY root, const std::wstring& key, const std::wstring& value, const std::wstring& data);
bool registryKeyExists(HKEY root, const std::wstring& key);
// Removes the key with everything below it; nothing when it is missing.
void deleteRegistryTree(HKEY root, const std::wstring& key);

// --- Processes -------------------------------------------------------------------
// The rights a started program runs with: the driver's own, or the user's
// unelevated ones (the token linked to an elevated driver's, which a
// program started from the desktop has under UAC). Under Wine every program
// starts elevated unless it is given the unelevated rights.
enum class Rights { Driver, Unelevated };

class Process {
 public:
  // Starts `program` with `arguments` (appended to its quoted path) in
  // `currentDirectory`. Throws DriverError when it does not start.
  static Process start(const std::filesystem::path& program, const std::wstring& arguments,
                       const std::filesystem::path& currentDirectory, Rights rights = Rights::Driver);
  Process(Process&& other) noexcept;
  Process& operator=(Process&&) = delete;
  Process(const Process&) = delete;
  ~Process();  // kills the program when it still runs

  DWORD id() const { return id_; }
  bool running() const;
  // The exit code once the program ended; nullopt when `timeout` ran out.
  std::optional<DWORD> waitForExit(Duration timeout = kTimeout);
  // The exit code; throws DriverError when the program does not end in time.
  DWORD exitCode(Duration timeout = kTimeout);
  void kill();

 private:
  Process(HANDLE process, DWORD id) : handle_(process), id_(id) {}
  HANDLE handle_ = nullptr;
  DWORD id_ = 0;
};

// Runs a shell script natively (/bin/sh -c, started through Wine's bridge
// to Linux programs) and returns its exit status; throws DriverError when it
// does not end in time. The script quotes with single quotes only.
DWORD runNative(const std::string& script, Duration timeout = kTimeout);
// Runs a script as runNative does and returns its standard output; throws
// DriverError, with that output, when the script ends with a status not 0.
std::string runNativeOutput(const std::string& script, Duration timeout = kTimeout);

// --- Windows -----------------------------------------------------------------------
class Window {
 public:
  Window() = default;
  explicit Window(HWND handle) : handle_(handle) {}
  HWND handle() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  std::wstring text() const;  // caption or edit text (WM_GETTEXT)
  std::wstring className() const;
  int id() const;
  bool exists() const;
  bool visible() const;
  bool enabled() const;
  // The client area's size (left and top are 0).
  RECT clientRect() const;
  // The window's rectangle in its parent's client coordinates (for a child
  // control: its Left, Top, Width, Height as right - left ...).
  RECT rectInParent() const;
  // The top-level window's outer rectangle on the screen.
  RECT screenRect() const;

  // The child control with that id, or the one the toolkit made for the
  // layout's control of that name; throws DriverError when there is none.
  Window child(int id) const;
  Window child(const toolkit::FormLayout& layout, const char* controlName) const;
  // The first child whose text is `text` (and class, when given).
  std::optional<Window> findChild(const std::wstring& text, const std::wstring& windowClass = L"") const;
  Window childByText(const std::wstring& text, const std::wstring& windowClass = L"") const;
  std::vector<Window> children() const;

  // Posts BM_CLICK, as a mouse click would end; throws DriverError when the
  // button is hidden or disabled (a user could not click it). Posted, so a
  // handler that shows a modal dialog does not block the driver.
  void click() const;
  // Replaces an edit's text (WM_SETTEXT; the edit reports EN_CHANGE).
  void setText(const std::wstring& text) const;
  // A check box's or radio button's state (BM_GETCHECK).
  bool checked() const;

  // The lines of a list box ("ListBox") or combo box ("ComboBox"), and the
  // index of the selected one (-1 when none is).
  std::vector<std::wstring> items() const;
  int selectedItem() const;
  // The index of the line that reads `text`, ignoring letter case; throws
  // DriverError when no line does.
  int itemIndex(const std::wstring& text) const;
  // Opens a list box's line as a double-click on it does: selects it, then
  // double-clicks at its place. Sent, unlike click(): returns once the
  // program handled it, so that what the list shows next is its answer (a
  // handler that shows a modal dialog here would run into the timeout).
  void doubleClickItem(int index) const;
  // Chooses a closed drop-down list's line as the arrow keys do: selects it
  // and tells the parent CBN_SELCHANGE; sent, like doubleClickItem.
  void chooseItem(int index) const;

  // Asks the window to close, as its close box does.
  void close() const;
  // Returns once the window's thread has handled everything sent before;
  // throws DriverError when it does not answer in time.
  void sync(Duration timeout = kTimeout) const;

 private:
  HWND handle_ = nullptr;
};

// The window that has the keyboard focus in the thread of `form`, and the
// foreground window of the desktop.
Window focusedWindow(const Window& form);
Window foregroundWindow();
// Presses and releases a key in the control that has the focus in the
// thread of `form`, as typing would; returns once the thread handled it.
void pressKey(const Window& form, WORD virtualKey);
// Types a key as the player's keyboard does, through the X server
// (xdotool, run natively; `keyName` is X's name for it, such as "Escape"),
// once `form` is the foreground window: Wine reads it from X and hands it
// to the control that has the focus. Throws DriverError when the form does
// not come to the foreground or the key cannot be typed.
void typeKey(const Window& form, const std::string& keyName);

// What the screen shows of a window's client area, pixel by pixel.
class ClientPixels {
 public:
  explicit ClientPixels(const Window& window);
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  // How many pixels of the rectangle (client coordinates) have the colour.
  int count(const RECT& area, COLORREF colour) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<COLORREF> pixels_;
};

// The control id the toolkit gives a layout's control (toolkit::kFirstControlId + its index).
int controlId(const toolkit::FormLayout& layout, const char* controlName);

// Visible top-level windows of the process.
std::vector<Window> topLevelWindows(DWORD processId);
// The first visible top-level window of the process with that class (and
// caption, when given); throws DriverError when none shows in time.
Window waitForWindow(const Process& process, const std::wstring& windowClass, const std::wstring& caption = L"",
                     Duration timeout = kTimeout);
// A visible top-level window of any process (a program that the program
// under test started, for instance), by class and caption when given.
Window waitForAnyWindow(const std::wstring& windowClass, const std::wstring& caption = L"",
                        Duration timeout = kTimeout);
// Waits until the window is gone or hidden.
void waitForWindowGone(const Window& window, Duration timeout = kTimeout);

// A message box ("#32770") of the process.
struct MessageBoxView {
  Window window;
  std::wstring caption;
  std::wstring text;
  // Clicks the button with that id (IDOK, IDCANCEL).
  void answer(int buttonId) const;
};
MessageBoxView waitForMessageBox(const Process& process, const std::wstring& caption = L"",
                                 Duration timeout = kTimeout);
// A message box of the process that shows `window`: for a program that the
// program under test started, such as the uninstaller's copy of itself.
MessageBoxView waitForMessageBoxBeside(const Window& window, const std::wstring& caption = L"",
                                       Duration timeout = kTimeout);

// Saves the whole screen as FOLDER/NAME.png (ImageMagick's import, run
// natively) once `settle` has handled its messages and the screen had a
// moment to draw; returns the file's Linux path.
std::string screenshot(const std::filesystem::path& folder, const std::string& name, const Window& settle = Window());

// --- Media ---------------------------------------------------------------------------
// A medium: a temporary folder whose root install.exe is started from.
class Medium {
 public:
  explicit Medium(const std::string& name) : folder_(name) {}
  const std::filesystem::path& root() const { return folder_.path(); }
  std::filesystem::path installer() const { return root() / "install.exe"; }

  // Writes install.exe: `image` with the block made from `config` appended,
  // through the same code as `instcfg pack`. Throws DriverError with the
  // tool's message when the configuration is refused.
  void pack(const std::filesystem::path& image, const Json& config, bool signReady = false);
  // Writes install.sha256 for what an installation of the packed block
  // copies, through the same code as `instcfg digest`.
  void writeDigests();
  // Copies `image` as install.exe unchanged (nothing appended).
  void copyBare(const std::filesystem::path& image);
  void addFile(const std::filesystem::path& relative, const std::string& bytes);
  void copyFile(const std::filesystem::path& source, const std::filesystem::path& relative);
  // Starts install.exe with the medium's root as its current directory.
  Process start(Rights rights = Rights::Driver) const;

 private:
  TempFolder folder_;
};

// Signs a file in place with a fresh self-signed certificate (openssl and
// osslsigncode, run natively).
void signWithTestCertificate(const std::filesystem::path& file);

}  // namespace e2e
