#include "install/copy_engine.h"

#include <algorithm>

#include "core/sjis.h"
#include "footprint/install_journal.h"
#include "footprint/install_record.h"
#include "install/copy_plan.h"
#include "install/file_digests.h"

PairOpen openCurrentPair(AppContext& ctx, platform::FileError* error) {
  CopyState& copy = ctx.copy;
  const std::string& name = ctx.plan.CopyPlan->get(copy.CurrentIndex);
  // Written only into what the installation makes (never through a link);
  // save data planned as absent is made new or not at all, never written
  // over.
  const bool preserved = copy.CurrentIndex >= copy.AlwaysCopiedCount;
  copy.DestFile = ctx.platform.openDestinationFile(ctx.config.InstallPath, name, preserved, error);
  if (!copy.DestFile) return PairOpen::DestinationFailed;
  copy.DestinationsReached = copy.CurrentIndex + 1;
  copy.SourceFile = ctx.platform.openStream(name, platform::OpenMode::Read);
  if (!copy.SourceFile) {
    copy.DestFile.reset();
    return PairOpen::SourceFailed;
  }
  copy.FileSize = measureSize(*copy.SourceFile);
  copy.SourceFile->seek(0, platform::SeekOrigin::Begin);
  copy.FileBytesDone = 0;
  beginFileDigest(ctx);
  return PairOpen::Opened;
}

bool closeCurrentPair(AppContext& ctx) {
  CopyState& copy = ctx.copy;
  copy.SourceFile.reset();
  const bool written = !copy.DestFile || copy.DestFile->close();
  copy.DestFile.reset();
  return written;
}

int progressPercent(uint64_t done, uint64_t total, bool finished) {
  if (total == 0) return finished ? 100 : 0;
  // Split so that done × 100 cannot overflow; the remainder's product
  // stays exact for any total below 2^64 / 100.
  uint64_t percent = done / total * 100 + done % total * 100 / total;
  return static_cast<int>(std::min<uint64_t>(percent, 100));
}

ChunkResult copyChunk(AppContext& ctx) {
  CopyState& copy = ctx.copy;
  char* buffer = ctx.copy.CopyBuffer.data();

  const size_t read = copy.SourceFile->read(buffer, ChunkSize);
  if (copy.SourceFile->readError()) {
    closeCurrentPair(ctx);
    return {ChunkOutcome::ReadFailed};
  }
  addToFileDigest(ctx, buffer, read);
  // The C runtime keeps a short tail in its buffer and reports it written;
  // a full disk then shows only when the buffer is written out.
  const size_t written = copy.DestFile->write(buffer, read);
  const bool flushed = copy.DestFile->flush();
  if (written < read || !flushed) {
    closeCurrentPair(ctx);
    return {ChunkOutcome::ShortWrite};
  }

  copy.TotalBytesDone += written;
  copy.FileBytesDone += read;
  const bool fileDone = read < ChunkSize;
  const bool planDone = fileDone && copy.CurrentIndex + 1 == copy.FileCount;
  ChunkResult result{ChunkOutcome::SameFile, progressPercent(copy.FileBytesDone, copy.FileSize, fileDone),
                     progressPercent(copy.TotalBytesDone, copy.TotalBytes, planDone)};
  if (!fileDone) return result;

  // A destination that is not put on the disk or does not close cleanly, or
  // a source that ended before its measured size, leaves a file shorter
  // than the medium's. Each file is on the disk itself before the next one
  // begins, so that the install record and the registration, which follow
  // the last, never stand for bytes a power cut could still take.
  if (!copy.DestFile->commit() || !closeCurrentPair(ctx)) return {ChunkOutcome::ShortWrite};
  if (copy.FileBytesDone < copy.FileSize) return {ChunkOutcome::ReadFailed};
  if (!fileDigestHolds(ctx)) return {ChunkOutcome::Corrupted};
  ctx.log("copied " + ctx.plan.CopyPlan->get(copy.CurrentIndex) + " (" + std::to_string(copy.FileBytesDone) +
          " bytes)");
  ++copy.CurrentIndex;
  if (planDone) {
    result.outcome = ChunkOutcome::PlanDone;
    return result;
  }
  switch (openCurrentPair(ctx, &result.error)) {
    case PairOpen::Opened: result.outcome = ChunkOutcome::NextFile; break;
    case PairOpen::DestinationFailed: result.outcome = ChunkOutcome::DestinationOpenFailed; break;
    case PairOpen::SourceFailed: result.outcome = ChunkOutcome::SourceOpenFailed; break;
  }
  return result;
}

bool RollBackInstall(AppContext& ctx) {
  // Nothing is reported but to the log: the dialog has said why the copy
  // ended.
  RemovalReport report;
  report.onRemoved = [&ctx](const std::string& path) { ctx.log("removed " + path); };
  // Held until it goes itself, like every removal of the game folder.
  auto root = openInstallFolder(ctx);
  // Preserved entries only as far as this copy made them: one it had not
  // reached may be save data that appeared there since.
  const int made = std::max(ctx.copy.AlwaysCopiedCount, ctx.copy.DestinationsReached);
  if (root) {
    deletePlannedFiles(ctx, *ctx.plan.CopyPlan, *root, report, std::nullopt, static_cast<size_t>(made));
    // Written after the last file, so a run ended before its registration
    // may have left it.
    removeInstallRecord(*root);
  }
  removeCreatedDirs(ctx, *ctx.plan.CreatedDirs, std::move(root));
  CopyState& copy = ctx.copy;
  if (report.complete() && copy.journalKeysMade) {
    removeInstallJournal(ctx.platform, ctx.config.registryKey, *copy.journalKeysMade);
    copy.journalKeysMade.reset();
  }
  if (report.firstLeft) ctx.log("left " + *report.firstLeft);
  ctx.platform.keepSystemAwake(false);
  return report.complete();
}
