// The headless backend: no windows. Forms get fake handles, and every wait
// for the user runs the next scripted step or ticks the waiting form's
// timers (see script.h), so tests drive whole handler chains without sleeps.
#include <functional>
#include <memory>

#include "platform/platform.h"
#include "toolkit/backend.h"
#include "toolkit/headless/script.h"

namespace toolkit {
namespace headless {
namespace {

class HeadlessFormPeer : public FormPeer {
 public:
  HeadlessFormPeer(Form& form, platform::Platform& platform, uintptr_t handle)
      : form_(form), platform_(platform), handle_(handle) {}

  uintptr_t handle() const override { return handle_; }

  void changed(Property property) override {
    // Centred forms go to the middle of the screen when first shown; there
    // is no frame, so the client size is the window's size.
    if (property != Property::Visible || !form_.visible() || shownBefore_) return;
    shownBefore_ = true;
    if (!form_.layout().centred) return;
    platform::ScreenSize screen = platform_.screenSize();
    form_.userSetPosition((screen.width - form_.clientWidth()) / 2, (screen.height - form_.clientHeight()) / 2);
  }

  std::unique_ptr<ControlPeer> createControlPeer(Control&) override { return nullptr; }

 private:
  Form& form_;
  platform::Platform& platform_;
  uintptr_t handle_;
  bool shownBefore_ = false;
};

class HeadlessBackend : public Backend {
 public:
  explicit HeadlessBackend(platform::Platform& platform) : platform_(platform) {}

  Script& script() { return script_; }

  void initialize(Application&) override {}

  std::unique_ptr<FormPeer> createFormPeer(Form& form) override {
    nextHandle_ += 0x10;
    return std::make_unique<HeadlessFormPeer>(form, platform_, nextHandle_);
  }

  void runModalLoop(Form& form) override {
    while (form.modalResult() == 0 && !form.application().terminated()) wait(form);
  }

  void runMainLoop(Application& application) override {
    while (!application.terminated() && application.mainForm()) wait(*application.mainForm());
  }

  // Drives that have a root folder on the platform.
  std::string driveLetters() override {
    std::string letters;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      if (platform::isFolderAttributes(platform_.fileAttributes(std::string(1, letter) + ":\\"))) letters += letter;
    }
    return letters;
  }

 private:
  // One wait of `form` for the user.
  void wait(Form& form) {
    if (script_.nextIsFor(form)) {
      Script::Step step = script_.take();
      serve(form, [&] { step(form); });
      return;
    }
    bool ticked = false;
    for (const auto& control : form.controls()) {
      auto* timer = dynamic_cast<Timer*>(control.get());
      if (!timer || !timer->enabled()) continue;
      script_.countTick();
      serve(form, [&] { timer->tick(); });
      ticked = true;
    }
    if (!ticked) {
      throw ScriptError("form " + form.name() + " waits for the user with no enabled timer, and " +
                        script_.describeNext());
    }
  }

  // As the Win32 backend does for a window message: an exception from a
  // handler is shown and the loop goes on. A script's own error ends the
  // test.
  static void serve(Form& form, const std::function<void()>& event) {
    try {
      event();
    } catch (const ScriptError&) {
      throw;
    } catch (const std::exception& error) {
      form.application().showException(error);
    }
  }

  platform::Platform& platform_;
  Script script_;
  uintptr_t nextHandle_ = 0x1000;
};

}  // namespace

Script& scriptOf(Application& application) { return static_cast<HeadlessBackend&>(application.backend()).script(); }

}  // namespace headless

std::unique_ptr<Backend> createBackend(platform::Platform& platform) {
  return std::make_unique<headless::HeadlessBackend>(platform);
}

}  // namespace toolkit
