// Unit4: the progress dialog. Its show handler posts the start of the
// installation's run (install/install_run), which runs once the dialog is on
// the screen; each timer tick advances the run by one chunk, and every way
// out ends the raised timer resolution once. From just before the first
// folder is made until the installation is registered or rolled back it
// refuses to let the session end; when the session ends (or a quit message
// comes) all the same, it rolls back first.
#include "install/iform.h"

#include "forms/layouts.h"
#include "texts.h"

Tiform::Tiform(toolkit::Application& application, AppContext& context)
    : Form(application, iformLayout), ctx_(context) {
  nowcopy = &control<toolkit::Label>("nowcopy");
  nowwrite = &control<toolkit::ProgressBar>("nowwrite");
  Label2 = &control<toolkit::Label>("Label2");
  totalwrite = &control<toolkit::ProgressBar>("totalwrite");
  Button1 = &control<toolkit::Button>("Button1");
  writetimer = &control<toolkit::Timer>("writetimer");
  onShow = [this] { FormShow(); };
  onAbandon = [this] { abandonInstallation(); };
  writetimer->onTimer = [this] { writetimerTimer(); };
  Button1->onClick = [this] { Button1Click(); };
}

Tiform::~Tiform() { stopCopyTimer(); }

void Tiform::FormShow() {
  nowwrite->setPosition(0);
  totalwrite->setPosition(0);
  nowcopy->setCaption(texts::kCopyingFile);
  run_.emplace(ctx_, reporting());
  post([this] { prepare(); });
}

InstallReporting Tiform::reporting() {
  return {
      // What the run makes from here on must be rolled back or registered
      // before the session may end.
      .beginning = [this] { setSessionEndRefusal(texts::kInstallingReason); },
      .copied =
          [this](const ChunkResult& result) {
            if (result.filePercent >= 0) nowwrite->setPosition(result.filePercent);
            if (result.totalPercent >= 0) totalwrite->setPosition(result.totalPercent);
            if (result.outcome != ChunkOutcome::NextFile) return;
            nowcopy->setCaption(ctx_.plan.CopyPlan->get(ctx_.copy.CurrentIndex));
          },
      .copyOver = [this] { stopCopyTimer(); },
      .stopped =
          [this](const StopMessage& message) {
            ctx_.platform.messageBox(handle(), message.text, message.caption, platform::kMbOk);
          },
  };
}

void Tiform::prepare() {
  if (run_->start() == InstallRun::State::Stopped) {
    end(-1);
    return;
  }
  nowcopy->setCaption(ctx_.plan.CopyPlan->get(ctx_.copy.CurrentIndex));
  startCopyTimer();
}

void Tiform::writetimerTimer() {
  switch (run_->advance()) {
    case InstallRun::State::Copying: return;
    case InstallRun::State::Finished:
      setSessionEndRefusal("");  // nothing left to roll back
      tell(texts::kInstallComplete);
      end(1);
      return;
    case InstallRun::State::Stopped: end(-1); return;
  }
}

void Tiform::Button1Click() {
  stopCopyTimer();
  // Before the posted preparation has run there is nothing to undo.
  if (run_) run_->cancel();
  end(-1);
}

void Tiform::startCopyTimer() {
  ctx_.platform.beginHighTimerResolution();
  timerResolutionRaised_ = true;
  writetimer->setEnabled(true);
}

void Tiform::stopCopyTimer() {
  writetimer->setEnabled(false);
  if (!timerResolutionRaised_) return;
  timerResolutionRaised_ = false;
  ctx_.platform.endHighTimerResolution();
}

void Tiform::tell(const std::string& text) {
  ctx_.platform.messageBox(handle(), text, texts::kConfirmCaption, platform::kMbOk);
}

void Tiform::end(int result) {
  setSessionEndRefusal("");
  setModalResult(result);
  hide();
}

void Tiform::abandonInstallation() {
  if (sessionEndRefusal().empty()) return;
  stopCopyTimer();
  if (run_) run_->cancel();
  setSessionEndRefusal("");
}
