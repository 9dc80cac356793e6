#pragma once
// Unit4: the progress dialog that plans, copies and rolls back.

#include <optional>
#include <string>

#include "app/app_context.h"
#include "install/install_run.h"
#include "toolkit/toolkit.h"

class Tiform : public toolkit::Form {
 public:
  Tiform(toolkit::Application& application, AppContext& context);
  ~Tiform() override;

  toolkit::Label* nowcopy;
  toolkit::ProgressBar* nowwrite;
  toolkit::Label* Label2;
  toolkit::ProgressBar* totalwrite;
  toolkit::Button* Button1;  // cancel
  toolkit::Timer* writetimer;

  void FormShow();
  void writetimerTimer();
  void Button1Click();

 private:
  // Posted by FormShow, so that the dialog is on the screen (and owns the
  // messages of its stops) while the medium is planned.
  void prepare();
  // How this dialog shows the run: the bars and the file's name, and a stop
  // in a message box.
  InstallReporting reporting();
  void startCopyTimer();
  void stopCopyTimer();
  void tell(const std::string& text);
  void end(int result);
  // The application ends under the dialog: a copy under way (or not yet
  // rolled back) is stopped, its pair closed and rolled back.
  void abandonInstallation();

  AppContext& ctx_;
  // This showing's run, made anew by each FormShow.
  std::optional<InstallRun> run_;
  // Whether this dialog holds the raised system timer resolution.
  bool timerResolutionRaised_ = false;
};
