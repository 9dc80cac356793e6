#pragma once
// Unit4: the progress dialog that plans, copies and rolls back.

#include <string>

#include "app/app_context.h"
#include "install/installation.h"
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
  // Whether this showing's run has begun (its journal stands), so that it
  // has something to roll back.
  bool runBegun() const { return ctx_.copy.journalKeysMade.has_value(); }
  void startCopyTimer();
  void stopCopyTimer();
  void tell(const std::string& text);
  // Tells why the installation stopped, rolls it back where that is due and
  // ends the dialog cancelled.
  void stop(const InstallStep& step);
  void end(int result);
  // Rolls the installation back and ends the dialog cancelled.
  void giveUp();
  // The application ends under the dialog: a copy under way (or not yet
  // rolled back) is stopped, its pair closed and rolled back.
  void abandonInstallation();

  AppContext& ctx_;
  // Whether this dialog holds the raised system timer resolution.
  bool timerResolutionRaised_ = false;
};
