#pragma once
// One installation as the progress dialog and the unattended installation
// (install.exe /S) both run it: the destination's checks, then the run from
// the plan to the registration or the rollback. The dialog advances the run
// one chunk per timer tick, the unattended installation in a loop; they
// differ only in how they report (a message box and the dialog's result, or
// the log and the exit code).

#include <functional>
#include <optional>
#include <string>

#include "app/app_context.h"
#include "footprint/block_check.h"
#include "install/copy_engine.h"
#include "install/destination.h"
#include "install/installation.h"

// A typed destination checked before anything is asked or made: the block's
// names first (brokenNameField: texts::kBadConfigInstall and the field),
// then checkDestination (destinationRefusalText). InstallPath is left alone.
struct DestinationCheck {
  Destination destination;
  std::optional<Refusal> refusal;  // nullopt: accepted
};
DestinationCheck checkInstallDestination(AppContext& ctx, const std::string& typed);

// What a run tells its caller, at these points; any may be left empty.
struct InstallReporting {
  // Planned and checked; the journal and the first folder come next.
  std::function<void()> beginning;
  // Each chunk copied, whatever came of it, before anything follows.
  std::function<void(const ChunkResult&)> copied;
  // The copy is over (its last file done, or stopped), before the
  // installation is finished or rolled back.
  std::function<void()> copyOver;
  // Why the run stopped, once logged and before it is rolled back.
  std::function<void(const StopMessage&)> stopped;
};

// The run into InstallPath: prepareInstallation, beginInstallation, copyChunk
// until the plan is done, finishInstallation; on a stop, "failed: " and the
// stop's text in the log, the report, then RollBackInstall where that is due.
class InstallRun {
 public:
  enum class State { Copying, Finished, Stopped };

  // Nothing of the run has begun: a journal an earlier run left is not its
  // own to roll back.
  InstallRun(AppContext& ctx, InstallReporting reporting);

  // Plans, checks and begins the run: Copying, or Stopped.
  State start();
  // Copies one chunk; after the last one finishes the installation.
  State advance();
  // Ends a run that is not over: the open pair is closed and the run, once
  // begun, rolled back.
  void cancel();

  // Whether the run has begun (its journal stands), so that there is
  // something to roll back.
  bool begun() const { return ctx_.copy.journalKeysMade.has_value(); }
  // Why it stopped; InstallStop::None while it copies and once finished.
  const InstallStep& stop() const { return stop_; }

 private:
  State stopWith(const InstallStep& step);

  AppContext& ctx_;
  InstallReporting reporting_;
  InstallStep stop_{};
};
