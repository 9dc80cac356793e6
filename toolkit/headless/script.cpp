// The queue of scripted user actions of the headless backend.
#include "toolkit/headless/script.h"

namespace toolkit::headless {

void Script::on(std::string formName, Step step) { steps_.emplace_back(std::move(formName), std::move(step)); }

void Script::click(std::string formName, std::string controlName) {
  on(std::move(formName), [controlName](Form& form) {
    Control* control = form.findControl(controlName);
    if (auto* button = dynamic_cast<Button*>(control)) return button->click();
    if (auto* radio = dynamic_cast<RadioButton*>(control)) return radio->click();
    throw ScriptError("form " + form.name() + " has no button " + controlName + " to click");
  });
}

void Script::close(std::string formName) {
  on(std::move(formName), [](Form& form) { form.close(); });
}

bool Script::nextIsFor(const Form& form) const { return !steps_.empty() && steps_.front().first == form.name(); }

Script::Step Script::take() {
  Step step = std::move(steps_.front().second);
  steps_.pop_front();
  ++taken_;
  return step;
}

void Script::countTick() {
  if (++ticks_ > tickLimit_) {
    throw ScriptError("more than " + std::to_string(tickLimit_) + " timer ticks; " + describeNext());
  }
}

std::string Script::describeNext() const {
  if (steps_.empty()) return "no step is left";
  return "the next step (number " + std::to_string(taken_ + 1) + ") is for form " + steps_.front().first;
}

}  // namespace toolkit::headless
