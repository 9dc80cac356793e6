#pragma once
// What the streams of the in-memory Windows share with it: the count of
// open streams, the bytes the disk still accepts and the fault switches.
// Files are named by a key, their full path with letter case folded; an
// empty key in a switch stands for any file.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform::memory {

class DiskFaults {
 public:
  // 0 for `nth`: every matching call.
  void failOpen(std::string key, OpenMode mode, int nth, FileError cause);
  void shortWrite(std::string key, int nth, size_t accepted);
  void failReadAfter(std::string key, uint64_t offset) { readLimits_[std::move(key)] = offset; }
  void setWriteCapacity(std::optional<uint64_t> bytes) { capacity_ = bytes; }
  std::optional<uint64_t> writeCapacity() const { return capacity_; }
  void clear();

  // Called for an open that would succeed; the cause when a switch refuses
  // it, FileError::None otherwise.
  FileError admitOpen(const std::string& key, OpenMode mode);
  // Called for each write of `size` > 0 bytes; the count the disk accepts.
  size_t admitWrite(const std::string& key, size_t size);
  // The offset at which reads of the file fail, if one is set.
  std::optional<uint64_t> readLimit(const std::string& key) const;

  int openCount(OpenMode mode) const { return mode == OpenMode::Read ? readOpens_ : writeOpens_; }
  int writeCount() const { return writes_; }

  int openStreams = 0;

 private:
  struct OpenRule {
    std::string key;
    OpenMode mode;
    int nth;
    FileError cause;
    int seen = 0;
  };
  struct WriteRule {
    std::string key;
    int nth;
    size_t accepted;
    int seen = 0;
  };

  std::vector<OpenRule> openRules_;
  std::vector<WriteRule> writeRules_;
  std::map<std::string, uint64_t> readLimits_;
  std::optional<uint64_t> capacity_;
  int readOpens_ = 0;
  int writeOpens_ = 0;
  int writes_ = 0;
};

}  // namespace platform::memory
