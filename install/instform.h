#pragma once
// Unit2: the destination dialog.

#include "app/app_context.h"
#include "toolkit/toolkit.h"

class Tinstform : public toolkit::Form {
 public:
  Tinstform(toolkit::Application& application, AppContext& context);

  toolkit::Edit* dirpath;
  toolkit::Label* instlabel;
  toolkit::Label* Label2;
  toolkit::Button* Button1;  // browse
  toolkit::Button* Button2;  // start
  toolkit::Button* Button3;  // cancel

  void Button1Click();
  void Button2Click();
  void Button3Click();

 private:
  AppContext& ctx_;
};
