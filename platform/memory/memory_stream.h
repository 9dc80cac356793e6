#pragma once
// A byte stream on a file of the in-memory Windows. It holds the file's
// bytes and the disk's switches by shared ownership, so it stays valid
// whatever is destroyed first.

#include <memory>
#include <string>

#include "platform/memory/disk_faults.h"
#include "platform/memory/file_tree.h"
#include "platform/platform.h"

namespace platform::memory {

class MemoryStream : public Stream {
 public:
  // `key` names the file for the fault switches.
  MemoryStream(std::shared_ptr<FileData> file, std::shared_ptr<DiskFaults> disk, std::string key, OpenMode mode);
  ~MemoryStream() override;

  size_t read(void* buffer, size_t size) override;
  bool readError() const override { return readError_; }
  size_t write(const void* data, size_t size) override;
  bool flush() override { return true; }
  bool seek(int64_t offset, SeekOrigin origin) override;
  int64_t tell() override { return static_cast<int64_t>(position_); }

 private:
  std::shared_ptr<FileData> file_;
  std::shared_ptr<DiskFaults> disk_;
  std::string key_;
  OpenMode mode_;
  uint64_t position_ = 0;
  bool readError_ = false;
};

}  // namespace platform::memory
