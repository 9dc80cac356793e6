#pragma once
// What a toolkit backend provides. Exactly one backend is linked into a
// program: toolkit/win32 or toolkit/headless, each defining createBackend.

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/toolkit.h"

namespace toolkit {

// The backend's side of one control: mirrors property changes.
class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual void changed(Property property) = 0;
  // Images: decodes and shows the picture file; false, keeping what was
  // shown, when the window system cannot decode it.
  virtual bool loadPicture(const std::string&) { return true; }
};

// The backend's side of one form.
class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual uintptr_t handle() const = 0;
  virtual void changed(Property property) = 0;
  virtual std::unique_ptr<ControlPeer> createControlPeer(Control& control) = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual void initialize(Application& application) = 0;
  virtual std::unique_ptr<FormPeer> createFormPeer(Form& form) = 0;
  // Serves events until form.modalResult() is non-zero or the application
  // is terminated.
  virtual void runModalLoop(Form& form) = 0;
  // Serves events until the application is terminated.
  virtual void runMainLoop(Application& application) = 0;
  // The letters of the drives present, upper case, in alphabetical order.
  virtual std::string driveLetters() = 0;
};

std::unique_ptr<Backend> createBackend(platform::Platform& platform);

}  // namespace toolkit
