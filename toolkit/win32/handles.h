#pragma once
// One owner per Win32 handle: move-only, a move closes what the target
// held, and each kind of handle says what "no handle" is and how it closes.

#include <windows.h>

#include <utility>

namespace toolkit::win32 {

template <class Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::none(); }
  Handle release() { return std::exchange(handle_, Traits::none()); }
  void reset(Handle handle = Traits::none()) {
    Handle old = std::exchange(handle_, handle);
    if (old != Traits::none()) Traits::close(old);
  }

 private:
  Handle handle_ = Traits::none();
};

struct WindowTraits {
  using Handle = HWND;
  static HWND none() { return nullptr; }
  static void close(HWND window) { DestroyWindow(window); }
};

template <class T>
struct GdiObjectTraits {
  using Handle = T;
  static T none() { return nullptr; }
  static void close(T object) { DeleteObject(object); }
};

using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;

// A window's device context, released when the owner goes.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace toolkit::win32
