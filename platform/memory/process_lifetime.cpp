#include "platform/memory/process_lifetime.h"

#include <exception>

namespace platform::memory {

void ProcessLifetime::restart() {
  endAfter_.reset();
  calls_ = 0;
  ended_ = false;
  recording_ = false;
  record_.clear();
}

bool ProcessLifetime::admit(const char* call, const std::string& subject) {
  if (ended_) return false;
  if (endAfter_ && calls_ >= *endAfter_) {
    ended_ = true;
    if (std::uncaught_exceptions() == 0) throw ProcessEnded{calls_};
    return false;
  }
  ++calls_;
  if (recording_) record_.push_back(subject.empty() ? std::string(call) : std::string(call) + " " + subject);
  return true;
}

}  // namespace platform::memory
