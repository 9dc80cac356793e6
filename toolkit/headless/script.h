#pragma once
// Scripting the user for the headless backend. Steps are queued in the order
// the user would act, each naming the form it acts on. Whenever a form waits
// for input (its modal showing, or the main loop for the main form), the
// next step runs if it names that form; otherwise the form's enabled timers
// tick once each. A form that waits with neither is a script error and
// throws ScriptError, so a test never hangs.

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>

#include "toolkit/toolkit.h"

namespace toolkit::headless {

class ScriptError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

class Script {
 public:
  using Step = std::function<void(Form&)>;
  // Queues a step for the form named `formName`.
  void on(std::string formName, Step step);
  bool empty() const { return steps_.empty(); }
  size_t pending() const { return steps_.size(); }
  // Timer ticks fired by waiting forms so far.
  long ticks() const { return ticks_; }

  // Used by the headless backend.
  bool nextIsFor(const Form& form) const;
  Step take();
  void countTick() { ++ticks_; }
  std::string describeNext() const;

 private:
  std::deque<std::pair<std::string, Step>> steps_;
  long ticks_ = 0;
};

// The script of an application that runs on the headless backend.
Script& scriptOf(Application& application);

}  // namespace toolkit::headless
