#pragma once
// The chunked copy of a planned installation and its rollback, apart from
// the progress dialog: each call works on the copy state of AppContext, and
// the dialog turns the outcome into bars, messages and its result.

#include <cstdint>

#include "app/app_context.h"

// How opening the pair CopyPlan[CurrentIndex] went.
enum class PairOpen {
  Opened,             // DestFile and SourceFile open, FileSize measured
  DestinationFailed,  // the destination could not be created; nothing is open
  SourceFailed,       // the source could not be opened; nothing is open
};

// Opens the destination "%s\%s" of InstallPath and CopyPlan[CurrentIndex]
// for writing, then the source for reading; measures FileSize, rewinds the
// source and sets FileBytesDone to 0. Why the destination could not be
// created goes to `error` when asked.
PairOpen openCurrentPair(AppContext& ctx, platform::FileError* error = nullptr);
// Closes the pair that is open, source first; a stream that is not open is
// left alone. False when the destination's buffered bytes did not all reach
// the disk.
bool closeCurrentPair(AppContext& ctx);

enum class ChunkOutcome {
  SameFile,               // a full chunk: the pair stays open for the next tick
  NextFile,               // the file is finished and the next pair is open
  PlanDone,               // the last file is finished; nothing is open
  ShortWrite,             // the destination took fewer bytes than were read, at the
                          // write, its flush, its commit or its close; closed
  ReadFailed,             // the source failed to read or ended before its size; closed
  Corrupted,              // the file's bytes differ from the medium's digest list; closed
  DestinationOpenFailed,  // the next destination could not be created
  SourceOpenFailed,       // the next source could not be opened
};

struct ChunkResult {
  ChunkOutcome outcome = ChunkOutcome::SameFile;
  // The positions of the file and total bars after this chunk; -1 when the
  // chunk failed before anything was counted.
  int filePercent = -1;
  int totalPercent = -1;
  // Why the next destination could not be created (DestinationOpenFailed).
  platform::FileError error = platform::FileError::None;
};

// Copies one chunk of at most ChunkSize bytes through ctx.copy.CopyBuffer (which
// holds ChunkSize bytes) from SourceFile to DestFile and advances the
// counters. A read shorter than ChunkSize finishes the file, puts it on the
// disk itself (Stream::commit) and opens the next pair. Needs an open pair.
ChunkResult copyChunk(AppContext& ctx);

// done × 100 ÷ total, truncated (2 of 3 gives 66) and at most 100. A total
// of 0 shows 0 until `finished`, then 100.
int progressPercent(uint64_t done, uint64_t total, bool finished);

// Deletes the destination of every CopyPlan entry, copied or not, and the
// install record, then removes the CreatedDirs folders from the last to the
// first; folders that still hold anything stay. Then, when no planned file
// is left, the run's install journal goes (footprint/install_journal.h);
// otherwise it stays, so that the next start tries again. The system may
// sleep again afterwards. True when no planned file is left. Nothing may be
// open.
bool RollBackInstall(AppContext& ctx);
