// The headless backend: no windows. Forms get fake handles, and every wait
// for the user runs the next scripted step or ticks the waiting form's
// timers (see script.h), so tests drive whole handler chains without sleeps.
#include <functional>
#include <memory>
#include <optional>

#include "platform/platform.h"
#include "toolkit/backend.h"
#include "toolkit/headless/script.h"
#include "toolkit/placement.h"

namespace toolkit {
namespace headless {
namespace {

// Each form's rectangle is its position and client size: there is no
// frame.
platform::ScreenRect rectOf(const Form& form) {
  return {form.left(), form.top(), form.left() + form.clientWidth(), form.top() + form.clientHeight()};
}

// A bar paints at each new position, as on Windows, by the user's contrast
// setting at that moment, on a system that has a theme; the paint is kept
// for the tests (lastPaint).
class HeadlessBarPeer : public ControlPeer {
 public:
  explicit HeadlessBarPeer(platform::Platform& platform) : platform_(platform) {}
  void changed(Property property) override {
    if (property == Property::Position) paint_ = progressBarPaint(platform_.highContrast(), /*themed=*/true);
  }
  const std::optional<BarPaint>& paint() const { return paint_; }

 private:
  platform::Platform& platform_;
  std::optional<BarPaint> paint_;
};

class HeadlessFormPeer : public FormPeer {
 public:
  HeadlessFormPeer(Form& form, platform::Platform& platform, uintptr_t handle)
      : form_(form), platform_(platform), handle_(handle) {}

  uintptr_t handle() const override { return handle_; }

  // A centred form goes to the middle of the work area of the monitor that
  // holds the form it is shown over when first shown, and again whenever
  // that form is on another monitor than this one.
  void changed(Property property) override {
    if (property != Property::Visible || !form_.visible() || !form_.layout().centred) return;
    const std::vector<platform::Monitor> monitors = platform_.monitors();
    const platform::Monitor& target = monitorHolding(monitors, rectOf(form_.placementAnchor()));
    if (shownBefore_ && &monitorHolding(monitors, rectOf(form_)) == &target) return;
    shownBefore_ = true;
    const platform::ScreenRect placed = centredIn(target.workArea, form_.clientWidth(), form_.clientHeight());
    form_.userSetPosition(placed.left, placed.top);
  }

  std::unique_ptr<ControlPeer> createControlPeer(Control& control) override {
    if (control.kind() == ControlKind::ProgressBar) return std::make_unique<HeadlessBarPeer>(platform_);
    return nullptr;
  }

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
  // One wait of `form` for the user. What the form posted to itself comes
  // first, as a posted message comes before input.
  void wait(Form& form) {
    bool posted = false;
    serve(form, [&] { posted = form.runPostedCall(); });
    if (posted) return;
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

std::optional<BarPaint> lastPaint(const ProgressBar& bar) {
  const auto* peer = dynamic_cast<const HeadlessBarPeer*>(bar.peer());
  return peer ? peer->paint() : std::nullopt;
}

Script& scriptOf(Application& application) { return static_cast<HeadlessBackend&>(application.backend()).script(); }

}  // namespace headless

std::unique_ptr<Backend> createBackend(platform::Platform& platform) {
  return std::make_unique<headless::HeadlessBackend>(platform);
}

}  // namespace toolkit
