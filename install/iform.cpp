// Unit4: the progress dialog. Its show handler posts the preparation of the
// installation, which runs once the dialog is on the screen; each timer
// tick copies one chunk, and every way out ends the raised timer resolution
// once. From just before the first folder is made until the installation is
// registered or rolled back it refuses to let the session end; when the
// session ends (or a quit message comes) all the same, it rolls back first.
#include "install/iform.h"

#include "forms/layouts.h"
#include "install/copy_engine.h"
#include "install/installation.h"
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
  ctx_.copy.journalKeysMade.reset();
  post([this] { prepare(); });
}

void Tiform::prepare() {
  InstallStep step = prepareInstallation(ctx_);
  if (step.stop == InstallStop::None) {
    // What the run makes from here on must be rolled back or registered
    // before the session may end.
    setSessionEndRefusal(texts::kInstallingReason);
    step = beginInstallation(ctx_);
  }
  if (step.stop != InstallStop::None) {
    stop(step);
    return;
  }
  nowcopy->setCaption(ctx_.CopyPlan->get(ctx_.copy.CurrentIndex));
  startCopyTimer();
}

void Tiform::writetimerTimer() {
  const ChunkResult result = copyChunk(ctx_);
  if (result.filePercent >= 0) nowwrite->setPosition(result.filePercent);
  if (result.totalPercent >= 0) totalwrite->setPosition(result.totalPercent);
  switch (result.outcome) {
    case ChunkOutcome::SameFile: return;
    case ChunkOutcome::NextFile: nowcopy->setCaption(ctx_.CopyPlan->get(ctx_.copy.CurrentIndex)); return;
    case ChunkOutcome::PlanDone:
      stopCopyTimer();
      finishInstallation(ctx_);
      setSessionEndRefusal("");  // nothing left to roll back
      tell(texts::kInstallComplete);
      end(1);
      return;
    default:
      stopCopyTimer();
      stop(stopAfterChunk(ctx_, result));
      return;
  }
}

void Tiform::Button1Click() {
  stopCopyTimer();
  closeCurrentPair(ctx_);
  giveUp();
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

void Tiform::stop(const InstallStep& step) {
  // Told first, then undone, as the copy's failures always were.
  const StopMessage message = stopMessage(step);
  ctx_.log("failed: " + message.text);
  ctx_.platform.messageBox(handle(), message.text, message.caption, platform::kMbOk);
  if (step.rollBack && runBegun()) RollBackInstall(ctx_);
  end(-1);
}

void Tiform::end(int result) {
  setSessionEndRefusal("");
  setModalResult(result);
  hide();
}

void Tiform::abandonInstallation() {
  if (sessionEndRefusal().empty()) return;
  stopCopyTimer();
  closeCurrentPair(ctx_);
  if (runBegun()) RollBackInstall(ctx_);
  setSessionEndRefusal("");
}

void Tiform::giveUp() {
  // Before the posted preparation has run there is nothing to undo.
  if (runBegun()) RollBackInstall(ctx_);
  end(-1);
}
