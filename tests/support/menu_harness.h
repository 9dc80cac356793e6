#pragma once
// A medium on the in-memory Windows for the menu's tests: install.exe packed
// with a configuration in the medium's root (the current directory), the
// machine values of a typical Windows, and runs of the real start-up with a
// scripted user (the headless toolkit).

#include <functional>
#include <string>

#include "app/app_context.h"
#include "config/config_block.h"
#include "launcher/mform.h"
#include "launcher/startup.h"
#include "platform/memory/memory_platform.h"
#include "toolkit/headless/script.h"

// What the menu shows, read from its controls.
struct MenuView {
  std::string caption;
  int left = 0, top = 0, clientWidth = 0, clientHeight = 0;
  bool visible = false;
  bool runEnabled = false;
  std::string instCaption;
  int instTag = 0;
  bool imageVisible = false;
  toolkit::Bounds image, run, inst, close, etc1, etc2;
  bool etc1Visible = false, etc2Visible = false;
  std::string etc1Caption, etc2Caption;
};
MenuView viewOf(const Tmform& menu);

class Medium {
 public:
  // Drive Q: is the medium and the current directory; a configuration like
  // the format's worked example, a 1024 x 768 screen; with `typicalWindows`
  // the machine values of MemoryPlatform::installTypicalWindows.
  explicit Medium(bool typicalWindows = true);

  platform::MemoryPlatform platform;
  ConfigBlockContent content;

  // Packs install.exe from `content` into the medium's root.
  void pack();
  // Records an installation in the per-user key; `withGame` puts origin.exe
  // into that folder too.
  void recordInstallation(const std::string& installPath, bool withGame);

  // Packs, then runs the start-up. `prepare` queues the user's steps (it
  // runs after the five forms exist); the returned code is runInstaller's.
  int run(const std::function<void(toolkit::headless::Script&, AppContext&)>& prepare);
  // The running start-up's form of type T (during `run` only).
  template <class T>
  T& form() const {
    return application_->form<T>();
  }

 private:
  toolkit::Application* application_ = nullptr;
};
