// Unit4: the progress dialog. Its show handler prepares the installation,
// each timer tick copies one chunk, and every way out ends the raised timer
// resolution once.
#include "install/iform.h"

#include "core/sjis.h"
#include "forms/layouts.h"
#include "install/copy_engine.h"
#include "install/copy_plan.h"
#include "install/destination.h"
#include "install/registration.h"
#include "installed/install_record.h"
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
  writetimer->onTimer = [this] { writetimerTimer(); };
  Button1->onClick = [this] { Button1Click(); };
}

Tiform::~Tiform() { stopCopyTimer(); }

void Tiform::FormShow() {
  CopyState& copy = ctx_.copy;
  nowwrite->setPosition(0);
  totalwrite->setPosition(0);
  // Before anything is created: skipping the name, or the rest of a folder
  // whose listing failed, would report an incomplete installation as
  // complete.
  if (auto gap = planCopy(ctx_)) {
    const char* text = gap->kind == PlanGap::Kind::ListingFailed ? texts::kReadFailed : texts::kUnusableFileName;
    tell(std::string(text) + "\n" + gap->folder);
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
  // The copy would write into a link's target, and a rollback delete there.
  if (auto linked = linkedInstallFolder(ctx_)) {
    tell(std::string(texts::kLinkedInstallFolder) + "\n" + *linked);
    end(-1);
    return;
  }
  if (auto refused = createInstallFolders(ctx_)) {
    tell(std::string(texts::kCannotWriteDestination) + "\n" + *refused);
    removeCreatedDirs(ctx_);
    end(-1);
    return;
  }
  copy.TotalBytesDone = 0;
  copy.CurrentIndex = 0;
  copy.FileBytesDone = 0;
  // Allocated on the first showing and kept: no tick allocates.
  if (ctx_.CopyBuffer.size() != ChunkSize) ctx_.CopyBuffer.resize(ChunkSize);

  platform::FileError error = platform::FileError::None;
  switch (openCurrentPair(ctx_, &error)) {
    case PairOpen::Opened: break;
    case PairOpen::DestinationFailed:
      // The folders stay: nothing was written into them yet.
      tellDestinationFailed(error);
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
      // Before the registration, which lists the uninstaller that reads it.
      writeInstallRecord(ctx_);
      RegisterInstall(ctx_);
      tell(texts::kInstallComplete);
      end(1);
      return;
    case ChunkOutcome::ShortWrite:
      stopCopyTimer();
      tell(texts::kNotEnoughSpace);
      giveUp();
      return;
    case ChunkOutcome::DestinationOpenFailed:
      stopCopyTimer();
      tellDestinationFailed(result.error);
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

void Tiform::tellDestinationFailed(platform::FileError error) {
  const std::string destination = joinPath(ctx_.config.InstallPath, ctx_.CopyPlan->get(ctx_.copy.CurrentIndex));
  switch (error) {
    case platform::FileError::DiskFull:
      tell(texts::kNotEnoughSpace);
      return;
    case platform::FileError::AccessDenied: {
      // The folder the file was to be written into.
      size_t folderEnd = ctx_.config.InstallPath.size();
      forEachSeparator(destination, folderEnd, [&](size_t at) { folderEnd = at; });
      tell(std::string(texts::kCannotWriteDestination) + "\n" + destination.substr(0, folderEnd));
      return;
    }
    default:
      tell(std::string(texts::kCannotCreateFile) + "\n" + destination);
      return;
  }
}

void Tiform::end(int result) {
  setModalResult(result);
  hide();
}

void Tiform::giveUp() {
  RollBackInstall(ctx_);
  end(-1);
}
