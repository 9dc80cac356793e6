#include "install/install_run.h"

#include <utility>

#include "texts.h"

DestinationCheck checkInstallDestination(AppContext& ctx, const std::string& typed) {
  // A block with odd names would install where it could not be removed.
  if (auto field = brokenNameField(ctx)) {
    return {.destination = {}, .refusal = Refusal{texts::kBadConfigInstall, field}};
  }
  // Refused before anything is created, and confirmed as it will be used.
  DestinationCheck checked{.destination = checkDestination(ctx.platform, typed, ctx.config.gameFolder), .refusal = {}};
  if (checked.destination.problem != DestinationProblem::None) {
    checked.refusal = Refusal{destinationRefusalText(checked.destination)};
  }
  return checked;
}

InstallRun::InstallRun(AppContext& ctx, InstallReporting reporting) : ctx_(ctx), reporting_(std::move(reporting)) {
  ctx_.copy.journalKeysMade.reset();
}

InstallRun::State InstallRun::start() {
  if (InstallStep step = prepareInstallation(ctx_); step.stop != InstallStop::None) return stopWith(step);
  if (reporting_.beginning) reporting_.beginning();
  if (InstallStep step = beginInstallation(ctx_); step.stop != InstallStop::None) return stopWith(step);
  return State::Copying;
}

InstallRun::State InstallRun::advance() {
  const ChunkResult result = copyChunk(ctx_);
  if (reporting_.copied) reporting_.copied(result);
  if (result.outcome == ChunkOutcome::SameFile || result.outcome == ChunkOutcome::NextFile) return State::Copying;
  if (reporting_.copyOver) reporting_.copyOver();
  if (result.outcome != ChunkOutcome::PlanDone) return stopWith(stopAfterChunk(ctx_, result));
  finishInstallation(ctx_);
  return State::Finished;
}

void InstallRun::cancel() {
  closeCurrentPair(ctx_);
  if (begun()) RollBackInstall(ctx_);
}

InstallRun::State InstallRun::stopWith(const InstallStep& step) {
  stop_ = step;
  // Told first, then undone, as the copy's failures always were.
  const StopMessage message = stopMessage(step);
  ctx_.log("failed: " + message.text);
  if (reporting_.stopped) reporting_.stopped(message);
  if (step.rollBack && begun()) RollBackInstall(ctx_);
  return State::Stopped;
}
