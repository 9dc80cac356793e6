#pragma once
// COM (a single-threaded apartment) for the span of one call, or of the
// user-interface thread's windows. Declare it before any COM pointer so
// that the pointers are released first; it uninitialises only when its own
// initialisation succeeded (S_FALSE, "already initialised", counts too).

#include <windows.h>
#include <objbase.h>

namespace platform::win32 {

class ComInitialization {
 public:
  ComInitialization() : result_(CoInitialize(nullptr)) {}
  ComInitialization(const ComInitialization&) = delete;
  ComInitialization& operator=(const ComInitialization&) = delete;
  ~ComInitialization() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }

 private:
  HRESULT result_;
};

}  // namespace platform::win32
