#pragma once
// One owner for every kind of handle the Win32 backend holds (registry keys,
// find handles, kernel handles, C streams, COM pointers). Move-only; moving
// into an owner closes what it held before. Each kind names its "no handle"
// value and its close call in a small traits struct.

#include <utility>

namespace platform::win32 {

// Traits: `Handle` (the raw type), `static Handle invalid()` and
// `static void close(Handle)`; close is never called with invalid().
template <class Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Traits::invalid(); }

  // Gives up ownership without closing.
  Handle release() noexcept { return std::exchange(handle_, Traits::invalid()); }
  // Closes what is held, then owns `handle`.
  void reset(Handle handle = Traits::invalid()) noexcept {
    Handle old = std::exchange(handle_, handle);
    if (old != Traits::invalid()) Traits::close(old);
  }
  // For out-parameters of creating calls: closes what is held first.
  Handle* put() noexcept {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::invalid();
};

}  // namespace platform::win32
