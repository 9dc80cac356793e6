#include "platform/memory/disk_faults.h"

#include <algorithm>

namespace platform::memory {

namespace {
bool matches(const std::string& ruleKey, const std::string& key) { return ruleKey.empty() || ruleKey == key; }
// Counts the call against the rule; true when this call is the one it hits.
bool hits(int nth, int& seen) { return ++seen == nth || nth == 0; }
}  // namespace

void DiskFaults::failOpen(std::string key, OpenMode mode, int nth, FileError cause) {
  openRules_.push_back({std::move(key), mode, nth, cause});
}

void DiskFaults::shortWrite(std::string key, int nth, size_t accepted) {
  writeRules_.push_back({std::move(key), nth, accepted});
}

void DiskFaults::clear() {
  openRules_.clear();
  writeRules_.clear();
  readLimits_.clear();
  capacity_.reset();
}

FileError DiskFaults::admitOpen(const std::string& key, OpenMode mode) {
  FileError refused = FileError::None;
  for (auto& rule : openRules_) {
    if (rule.mode == mode && matches(rule.key, key) && hits(rule.nth, rule.seen)) refused = rule.cause;
  }
  if (refused != FileError::None) return refused;
  ++(mode == OpenMode::Read ? readOpens_ : writeOpens_);
  return FileError::None;
}

size_t DiskFaults::admitWrite(const std::string& key, size_t size) {
  ++writes_;
  size_t accepted = size;
  for (auto& rule : writeRules_) {
    if (matches(rule.key, key) && hits(rule.nth, rule.seen)) accepted = std::min(accepted, rule.accepted);
  }
  if (capacity_) {
    accepted = static_cast<size_t>(std::min<uint64_t>(accepted, *capacity_));
    *capacity_ -= accepted;
  }
  return accepted;
}

std::optional<uint64_t> DiskFaults::readLimit(const std::string& key) const {
  auto found = readLimits_.find(key);
  if (found == readLimits_.end()) return std::nullopt;
  return found->second;
}

}  // namespace platform::memory
