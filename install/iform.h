#pragma once
// Unit4: the progress dialog that plans, copies and rolls back.

#include "core/app_context.h"
#include "toolkit/toolkit.h"

class Tiform : public toolkit::Form {
 public:
  Tiform(toolkit::Application& application, AppContext& context);

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
  AppContext& ctx_;
};
