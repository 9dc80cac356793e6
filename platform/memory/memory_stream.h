#pragma once
// A byte stream on a file of the in-memory Windows. It holds the file's
// bytes and the disk's switches by shared ownership, so it stays valid
// whatever is destroyed first.

#include <memory>
#include <string>

#include "platform/memory/disk_faults.h"
#include "platform/memory/file_tree.h"
#include "platform/memory/process_lifetime.h"
#include "platform/platform.h"

namespace platform::memory {

class MemoryStream : public Stream {
 public:
  // `key` names the file for the fault switches. Each call is one of the
  // process's platform calls; once the process has ended, calls fail and
  // what the buffer holds is lost.
  MemoryStream(std::shared_ptr<FileData> file, std::shared_ptr<DiskFaults> disk,
               std::shared_ptr<ProcessLifetime> life, std::string key, OpenMode mode);
  ~MemoryStream() override;

  size_t read(void* buffer, size_t size) override;
  bool readError() const override { return readError_; }
  // Holds writes that fit the buffer, as the C runtime does, and reports
  // them accepted; the disk (its capacity and fault switches) sees them
  // only when they are written out by flush, close, a seek or a write that
  // overflows the buffer.
  size_t write(const void* data, size_t size) override;
  bool flush() override;
  // Writes out and marks the file's bytes durable (FileData::durable).
  bool commit() override;
  bool close() override;
  bool seek(int64_t offset, SeekOrigin origin) override;
  int64_t tell() override;

  // The C runtime's stream buffer.
  static constexpr size_t kBufferSize = 4096;

 private:
  // Puts `size` bytes at the file's position as far as the disk accepts
  // them and moves the position past them; the count accepted.
  size_t put(const char* data, size_t size);
  // Writes the buffer out; false when the disk took less. The buffer is
  // emptied either way, as the C runtime drops what it could not write.
  bool writeOut();
  // Closes without counting a call: a destructor's close, or the process's
  // end, which loses the buffer.
  bool release();

  std::shared_ptr<FileData> file_;
  std::shared_ptr<DiskFaults> disk_;
  std::shared_ptr<ProcessLifetime> life_;
  std::string key_;
  OpenMode mode_;
  uint64_t position_ = 0;  // the file's, where the disk takes the next bytes
  std::string buffer_;     // bytes written but not yet on the disk, due at position_
  bool readError_ = false;
  bool open_ = true;
};

}  // namespace platform::memory
