#pragma once
// The copy state: how far a running copy has come, what it holds open, the
// digests it computes, and the buffer its chunks pass through.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "config/digest_list.h"
#include "core/sha256.h"
#include "platform/platform.h"

inline constexpr size_t ChunkSize = 1048576;

// The state of a running copy; sizes and counters are 64-bit so that files
// of 2 GiB and plans of 4 GiB and more are measured and shown correctly.
struct CopyState {
  uint64_t TotalBytes = 0;
  int FileCount = 0;
  // The first entries of CopyPlan, copied whatever stands at the
  // destination (the standard files and the extra entries); those after
  // them were planned under the preserve rule.
  int AlwaysCopiedCount = 0;
  // How many entries of CopyPlan, from the first, the copy has opened at the
  // destination: a preserved entry beyond them was never made by this copy.
  int DestinationsReached = 0;
  // The measured size of each CopyPlan entry, in its order, once planned.
  std::vector<uint64_t> PlannedSizes;
  int CurrentIndex = 0;
  uint64_t FileSize = 0;
  uint64_t FileBytesDone = 0;
  uint64_t TotalBytesDone = 0;
  std::unique_ptr<platform::Stream> SourceFile;
  std::unique_ptr<platform::Stream> DestFile;
  // Set from the moment this run's install journal stands until it is
  // removed: the levels of the game's key made for it, which go with it.
  // While it is set, what the run made is to be rolled back or committed.
  std::optional<int> journalKeysMade;
  // The medium's install.sha256; nullopt when it has none.
  std::optional<DigestList> MediumDigests;
  // The digest of the file being copied, fed with each chunk as it is read;
  // null when the system cannot compute one.
  std::unique_ptr<Sha256> FileDigest;
  // The digest each CopyPlan entry was copied with, in its order, for the
  // install record; nullopt for one not copied (yet) or without a digest.
  std::vector<std::optional<Sha256Digest>> CopiedDigests;
  // The chunk buffer, allocated on first use and kept for the life of the
  // process.
  std::vector<char> CopyBuffer;
};
