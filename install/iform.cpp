// Unit4: the progress dialog. Its show handler prepares the installation,
// each timer tick copies one chunk, and every way out ends the raised timer
// resolution once. From the first tick until the installation is registered
// or rolled back it refuses to let the session end; when the session ends
// (or a quit message comes) all the same, it rolls back first.
#include "install/iform.h"

#include "forms/layouts.h"
#include "install/copy_engine.h"
#include "install/copy_plan.h"
#include "install/destination.h"
#include "install/registration.h"
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
  CopyState& copy = ctx_.copy;
  nowwrite->setPosition(0);
  totalwrite->setPosition(0);
  // Before anything is created: skipping the name would report an
  // incomplete installation as complete.
  if (auto folder = planCopy(ctx_)) {
    tell(std::string(texts::kUnusableFileName) + "\n" + *folder);
    end(-1);
    return;
  }
  if (copy.FileCount == 0) {
    tell(texts::kNothingToInstall);
    end(-1);
    return;
  }
  // Refused before the first folder is made rather than failing halfway.
  if (!planFits(ctx_.config.InstallPath, ctx_.CopyPlan->items())) {
    ctx_.platform.messageBox(handle(), texts::kPathTooLong, texts::kDestinationConfirmCaption, platform::kMbOk);
    end(-1);
    return;
  }
  createInstallFolders(ctx_);
  copy.TotalBytesDone = 0;
  copy.CurrentIndex = 0;
  copy.FileBytesDone = 0;
  // Allocated on the first showing and kept: no tick allocates.
  if (ctx_.CopyBuffer.size() != ChunkSize) ctx_.CopyBuffer.resize(ChunkSize);

  switch (openCurrentPair(ctx_)) {
    case PairOpen::Opened: break;
    case PairOpen::DestinationFailed:
      // The folders stay: nothing was written into them yet.
      tell(texts::kNotEnoughSpace);
      end(-1);
      return;
    case PairOpen::SourceFailed:
      tellReadFailed();
      giveUp();
      return;
  }
  nowcopy->setCaption(ctx_.CopyPlan->get(copy.CurrentIndex));
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
      RegisterInstall(ctx_);
      setSessionEndRefusal("");  // nothing left to roll back
      tell(texts::kInstallComplete);
      end(1);
      return;
    case ChunkOutcome::ShortWrite:
    case ChunkOutcome::DestinationOpenFailed:
      stopCopyTimer();
      tell(texts::kNotEnoughSpace);
      giveUp();
      return;
    case ChunkOutcome::ReadFailed:
    case ChunkOutcome::SourceOpenFailed:
      stopCopyTimer();
      tellReadFailed();
      giveUp();
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
  setSessionEndRefusal(texts::kInstallingReason);
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

void Tiform::tellReadFailed() {
  tell(std::string(texts::kReadFailed) + "\n" + ctx_.CopyPlan->get(ctx_.copy.CurrentIndex));
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
  RollBackInstall(ctx_);
  setSessionEndRefusal("");
}

void Tiform::giveUp() {
  RollBackInstall(ctx_);
  end(-1);
}
