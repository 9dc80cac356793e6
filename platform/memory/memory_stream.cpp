#include "platform/memory/memory_stream.h"

#include <algorithm>
#include <cstring>

namespace platform::memory {

MemoryStream::MemoryStream(std::shared_ptr<FileData> file, std::shared_ptr<DiskFaults> disk,
                           std::shared_ptr<ProcessLifetime> life, std::string key, OpenMode mode)
    : file_(std::move(file)), disk_(std::move(disk)), life_(std::move(life)), key_(std::move(key)), mode_(mode) {
  ++file_->openStreams;
  ++disk_->openStreams;
}

MemoryStream::~MemoryStream() { release(); }

bool MemoryStream::close() {
  if (open_ && !life_->admit("close", key_)) {
    release();
    return false;
  }
  return release();
}

bool MemoryStream::release() {
  if (!open_) return false;
  // A process ended without warning never writes out what the C runtime
  // held.
  if (life_->ended()) buffer_.clear();
  bool written = writeOut();
  open_ = false;
  --file_->openStreams;
  --disk_->openStreams;
  return written;
}

bool MemoryStream::flush() { return life_->admit("flush", key_) && writeOut(); }

bool MemoryStream::commit() {
  if (!life_->admit("commit", key_) || !writeOut()) return false;
  file_->durable = true;
  return true;
}

int64_t MemoryStream::tell() {
  if (!life_->admit("tell", key_)) return -1;
  return static_cast<int64_t>(position_ + buffer_.size());
}

size_t MemoryStream::read(void* buffer, size_t size) {
  if (!life_->admit("read", key_)) {
    readError_ = true;
    return 0;
  }
  // Reading a stream opened for writing fails, as fread does on "wb".
  if (mode_ != OpenMode::Read) {
    readError_ = true;
    return 0;
  }
  uint64_t length = file_->bytes.size();
  uint64_t available = position_ < length ? std::min<uint64_t>(size, length - position_) : 0;
  if (auto limit = disk_->readLimit(key_); limit && position_ + available > *limit) {
    available = position_ < *limit ? *limit - position_ : 0;
    readError_ = true;
  }
  if (available == 0) return 0;
  std::memcpy(buffer, file_->bytes.data() + position_, static_cast<size_t>(available));
  position_ += available;
  return static_cast<size_t>(available);
}

size_t MemoryStream::write(const void* data, size_t size) {
  if (!life_->admit("write", key_) || mode_ != OpenMode::Write || size == 0) return 0;
  const char* bytes = static_cast<const char*>(data);
  if (buffer_.size() + size <= kBufferSize) {
    buffer_.append(bytes, size);
    return size;
  }
  // A write that overflows the buffer writes the buffer out, then itself.
  if (!writeOut()) return 0;
  return put(bytes, size);
}

size_t MemoryStream::put(const char* data, size_t size) {
  size_t accepted = disk_->admitWrite(key_, size);
  if (accepted == 0) return 0;
  auto& bytes = file_->bytes;
  // Writing past the end (after a seek) fills the gap with zeros.
  if (bytes.size() < position_ + accepted) bytes.resize(static_cast<size_t>(position_ + accepted), '\0');
  std::memcpy(bytes.data() + position_, data, accepted);
  position_ += accepted;
  file_->durable = false;
  return accepted;
}

bool MemoryStream::writeOut() {
  if (buffer_.empty()) return true;
  const std::string pending = std::move(buffer_);
  buffer_.clear();
  return put(pending.data(), pending.size()) == pending.size();
}

bool MemoryStream::seek(int64_t offset, SeekOrigin origin) {
  if (!life_->admit("seek", key_) || !writeOut()) return false;  // fseek writes the buffer out first
  int64_t base = origin == SeekOrigin::Begin ? 0 : static_cast<int64_t>(file_->bytes.size());
  if (offset < 0 && -offset > base) return false;
  position_ = static_cast<uint64_t>(base + offset);
  return true;
}

}  // namespace platform::memory
