// The Win32 backend: real windows, the message loops of the application
// and of modal showings.
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "platform/win32/com_initialization.h"
#include "toolkit/backend.h"
#include "toolkit/win32/form_window.h"
#include "toolkit/win32/message_loop.h"

namespace toolkit {
namespace win32 {
namespace {

HWND windowOf(const Form& form) { return reinterpret_cast<HWND>(form.handle()); }

class Win32Backend : public Backend {
 public:
  void initialize(Application&) override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // A drive that is not ready (an empty disc drive chosen in the drive
    // list) fails quietly instead of asking the user to insert a disc.
    SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS);
  }

  std::unique_ptr<FormPeer> createFormPeer(Form& form) override { return std::make_unique<FormWindow>(form); }

  // The other forms shown are disabled while the modal form runs and
  // enabled again when it ends, before its window hides (see
  // FormWindow::changed), so that the window system activates one of them
  // and not another program's. Hidden forms stay enabled: a dialog shown
  // later from this one must take input.
  void runModalLoop(Form& form) override {
    Application& application = form.application();
    std::vector<HWND> disabled;
    for (const auto& other : application.forms()) {
      HWND window = windowOf(*other);
      if (other.get() == &form || !window || !IsWindowVisible(window) || !IsWindowEnabled(window)) continue;
      EnableWindow(window, FALSE);
      disabled.push_back(window);
    }
    while (form.modalResult() == 0 && !application.terminated()) {
      if (!serveOneMessage(application)) {
        // The outer loop must see the quit message too; meanwhile no
        // caller shows a form again.
        PostQuitMessage(quitCode_);
        application.quitting();
        break;
      }
    }
    for (HWND window : disabled) EnableWindow(window, TRUE);
  }

  void runMainLoop(Application& application) override {
    while (!application.terminated()) {
      if (!serveOneMessage(application)) application.terminate();
    }
    // No loop serves the hiding of the last forms any more.
    for (const auto& form : application.forms()) {
      if (auto* window = static_cast<FormWindow*>(form->peer())) window->finishHiding();
    }
  }

  std::string driveLetters() override {
    DWORD present = GetLogicalDrives();
    std::string letters;
    for (int i = 0; i < 26; ++i) {
      if (present & (1u << i)) letters += static_cast<char>('A' + i);
    }
    return letters;
  }

  MessageLoop& loop() { return loop_; }

 private:
  // The thread's apartment, which the objects handed to accessibility
  // tools live in (accessible_client.h); the loops serve its calls.
  platform::win32::ComInitialization com_;
  // Serves one message or runs one tick of a short timer (message_loop.h);
  // false on WM_QUIT (or a failed wait). Keyboard navigation (Tab, arrows,
  // Enter) goes through the dialog manager of the form the message is for,
  // which first drops a held or typed-ahead Enter or Space.
  bool serveOneMessage(Application& application) {
    MSG message{};
    switch (loop_.next(message)) {
      case MessageLoop::Turn::Message: break;
      case MessageLoop::Turn::Tick: return true;
      case MessageLoop::Turn::Quit: quitCode_ = static_cast<int>(message.wParam); return false;
      case MessageLoop::Turn::Failed: return false;
    }
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root) {
      for (const auto& form : application.forms()) {
        if (windowOf(*form) != root) continue;
        if (static_cast<const FormWindow*>(form->peer())->dropsKey(message)) return true;
        if (IsDialogMessageW(root, &message)) return true;
      }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
  }

  MessageLoop loop_;
  int quitCode_ = 0;
};

}  // namespace

MessageLoop& messageLoopOf(Application& application) {
  return static_cast<Win32Backend&>(application.backend()).loop();
}

}  // namespace win32

std::unique_ptr<Backend> createBackend(platform::Platform&) { return std::make_unique<win32::Win32Backend>(); }

}  // namespace toolkit
