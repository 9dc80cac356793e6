#pragma once
// Scripting the user for the headless backend. Steps are queued in the order
// the user would act, each naming the form it acts on. Whenever a form waits
// for input (its modal showing, or the main loop for the main form), the
// next step runs if it names that form; otherwise the form's enabled timers
// tick once each. A form that waits with neither is a script error and
// throws ScriptError, so a test never hangs; so does a wait that goes on
// past the tick limit (a timer that never ends its dialog).
//
//   auto& script = toolkit::headless::scriptOf(app);
//   script.click("mform", "instbtn");       // shows instform modally
//   script.on("instform", [](toolkit::Form& form) {
//     form.control<toolkit::Edit>("dirpath").setText("C:\\Games");
//   });
//   script.click("instform", "Button2");    // iform ticks until it ends
//   script.click("mform", "closebtn");
//   app.run();

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "toolkit/bar_paint.h"
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
  // Queues a click on the form's button or radio button of that name.
  void click(std::string formName, std::string controlName);
  // Queues closing the form, as its close box would.
  void close(std::string formName);
  bool empty() const { return steps_.empty(); }
  size_t pending() const { return steps_.size(); }
  // Timer ticks fired by waiting forms so far.
  long ticks() const { return ticks_; }
  // Ticks after which a wait is a script error; 1,000,000 unless set.
  void setTickLimit(long limit) { tickLimit_ = limit; }

  // Used by the headless backend.
  bool nextIsFor(const Form& form) const;
  Step take();
  // Counts one tick; throws ScriptError past the limit.
  void countTick();
  std::string describeNext() const;

 private:
  std::deque<std::pair<std::string, Step>> steps_;
  long taken_ = 0;
  long ticks_ = 0;
  long tickLimit_ = 1000000;
};

// The script of an application that runs on the headless backend.
Script& scriptOf(Application& application);

// How the headless backend last painted a progress bar (at its last new
// position, by the platform's contrast setting then); nullopt before that.
std::optional<BarPaint> lastPaint(const ProgressBar& bar);

}  // namespace toolkit::headless
