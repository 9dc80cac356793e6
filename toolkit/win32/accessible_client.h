#pragma once
// What accessibility tools (screen readers, UI Automation through its MSAA
// bridge) read of a control the toolkit draws itself. Windows' own object
// for a window's client area (CreateStdAccessibleObject) knows the
// window's place, state, focus and parent, but a role, a name and a value
// only for the standard controls' classes: the object here answers those
// three, and adds to the state, as the standard control of the same kind
// would, and leaves everything else to Windows' object. oleacc.dll, which
// Windows does not always load, comes from the system folder when a tool
// first asks; without it the window keeps Windows' plain object.

#include <windows.h>

#include <string>

namespace toolkit::win32 {

// What the standard control would report; asked at each request.
class AccessibleFacts {
 public:
  virtual ~AccessibleFacts() = default;
  virtual LONG accessibleRole() const = 0;
  virtual std::wstring accessibleName() const = 0;
  virtual std::wstring accessibleValue() const = 0;
  // Added to the states Windows' object reports (focusable, invisible, ...).
  virtual LONG accessibleState() const = 0;
};

// The object one window hands out through WM_GETOBJECT: made at the first
// request and kept. A tool may hold it after the window is gone; once this
// owner is destroyed it tells nothing from `facts` any more.
class AccessibleClient {
 public:
  explicit AccessibleClient(const AccessibleFacts& facts) : facts_(facts) {}
  ~AccessibleClient();
  AccessibleClient(const AccessibleClient&) = delete;
  AccessibleClient& operator=(const AccessibleClient&) = delete;

  // The answer to WM_GETOBJECT sent to `window`: the object for
  // OBJID_CLIENT; 0 (Windows' own object) for any other, and when the
  // object cannot be made.
  LRESULT answer(HWND window, WPARAM flags, LPARAM objectId);

 private:
  class Object;
  const AccessibleFacts& facts_;
  Object* object_ = nullptr;
};

// Tells the tools that listen for it that the window's value changed
// (EVENT_OBJECT_VALUECHANGE).
void notifyValueChange(HWND window);

}  // namespace toolkit::win32
