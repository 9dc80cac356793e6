#pragma once
// The life of the process that runs on the in-memory Windows, for tests
// that end it without warning (End task, a crash) after any platform call
// and then start the program again on what the disk and the registry hold.
// The platform, its streams, keys and entries for removal share one.

#include <optional>
#include <string>
#include <vector>

namespace platform::memory {

// Thrown by the first platform call after the end of the process, to unwind
// the program to the test. Deliberately no std::exception: no handler of the
// program may take it for a failure of its own and carry on.
struct ProcessEnded {
  long calls = 0;  // the platform calls that ran before the end
};

class ProcessLifetime {
 public:
  // The process ends once `calls` more platform calls have run.
  void endAfter(long calls) { endAfter_ = calls_ + calls; }
  // Another process on the same machine: calls run again, counted from 0.
  void restart();
  // Counts a platform call about to run and records it by name and subject.
  // False once the process has ended: the call then changes nothing and
  // fails. The first call past the end throws ProcessEnded, unless an
  // exception unwinds already (the call of a destructor then only fails).
  bool admit(const char* call, const std::string& subject = {});
  bool ended() const { return ended_; }
  // Every call that ran in this process since record(true), "createDirectory
  // D:\Games"; nothing is kept otherwise (a large run makes millions).
  void record(bool on) { recording_ = on; }
  const std::vector<std::string>& calls() const { return record_; }

 private:
  std::optional<long> endAfter_;
  long calls_ = 0;
  bool ended_ = false;
  bool recording_ = false;
  std::vector<std::string> record_;
};

}  // namespace platform::memory
