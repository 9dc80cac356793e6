#pragma once
// Everything persistent of the in-memory Windows at one moment: folders,
// files with content and attributes, junctions, registry keys and values.
// Rollback tests compare the state before and after as a whole.

#include <cstdint>
#include <map>
#include <ostream>
#include <string>

namespace platform {

struct Snapshot {
  struct Entry {
    uint32_t attributes = 0;
    std::string content;         // files
    std::string junctionTarget;  // junctions
    bool operator==(const Entry&) const = default;
  };
  // By full path ("C:\a\b"), names as created; roots included.
  std::map<std::string, Entry> files;
  // By key path ("HKCU\Software\a"), then value name.
  std::map<std::string, std::map<std::string, std::string>> registry;

  bool operator==(const Snapshot&) const = default;
};

// One line per difference ("+" only in `after`, "-" only in `before`, "~"
// changed), Shift-JIS shown as UTF-8; empty when the two are equal.
std::string describeDifference(const Snapshot& before, const Snapshot& after);
// Every entry, one per line.
std::ostream& operator<<(std::ostream& out, const Snapshot& snapshot);

}  // namespace platform
