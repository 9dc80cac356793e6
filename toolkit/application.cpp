// The application: owns the backend and the forms, runs the main loop.
#include "platform/platform.h"
#include "texts.h"
#include "toolkit/backend.h"
#include "toolkit/toolkit.h"

namespace toolkit {

Application::Application(platform::Platform& platform) : platform_(platform), backend_(createBackend(platform)) {}

Application::~Application() {
  // Later forms may refer to earlier ones (the main form above all).
  while (!forms_.empty()) forms_.pop_back();
}

void Application::initialize() {
  if (initialized_) return;
  initialized_ = true;
  backend_->initialize(*this);
}

void Application::adopt(std::unique_ptr<Form> form) {
  Form& adopted = *form;
  forms_.push_back(std::move(form));
  if (adopted.onCreate) adopted.onCreate();
}

void Application::run() {
  initialize();
  Form* main = mainForm();
  if (!main || terminated_) return;
  main->show();
  if (!terminated_) backend_->runMainLoop(*this);
}

Form* Application::frontForm() const {
  for (auto form = modalForms_.rbegin(); form != modalForms_.rend(); ++form) {
    if ((*form)->visible()) return *form;
  }
  Form* main = mainForm();
  return main && main->visible() ? main : nullptr;
}

void Application::endSession() {
  if (sessionEnded_) return;
  sessionEnded_ = true;
  // A form's handler may end its own showing meanwhile.
  const std::vector<Form*> showing = modalForms_;
  for (auto form = showing.rbegin(); form != showing.rend(); ++form) (*form)->abandon();
  terminate();
}

void Application::showException(const std::exception& error) {
  Form* owner = frontForm();
  if (!owner) owner = mainForm();
  platform_.messageBox(owner ? owner->handle() : 0, error.what(), texts::kExceptionCaption, platform::kMbOk);
}

}  // namespace toolkit
