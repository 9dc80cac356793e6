#pragma once
// The installation's dialogs on the headless toolkit, above a plain menu
// form: the destination dialog, the browse dialog and the progress dialog,
// created in the program's order, each reaching the others through the
// application.
//
// Driving the install road:
//   script.on("instform", [&](toolkit::Form&) { instform.dirpath->setText("D:\\Games"); });
//   script.click("instform", "Button2");  // confirmed with OK; iform ticks until it ends
//   EXPECT_EQ(instform.showModal(), 1);

#include "forms/layouts.h"
#include "install/dirform.h"
#include "install/iform.h"
#include "install/instform.h"
#include "tests/support/install_fixture.h"
#include "texts.h"
#include "toolkit/headless/script.h"

struct Dialogs {
  explicit Dialogs(Machine& machine)
      : app(machine.platform),
        menu(app.createForm<toolkit::Form>(mformLayout)),
        instform(app.createForm<Tinstform>(machine.ctx)),
        dirform(app.createForm<Tdirform>(machine.ctx)),
        iform(app.createForm<Tiform>(machine.ctx)) {}
  toolkit::Application app;
  toolkit::Form& menu;
  Tinstform& instform;
  Tdirform& dirform;
  Tiform& iform;
  toolkit::headless::Script& script = toolkit::headless::scriptOf(app);
};

class DialogTest : public InstallTest {
 protected:
  Dialogs dialogs{*this};
  toolkit::headless::Script& script = dialogs.script;
  Tinstform& instform = dialogs.instform;
  Tdirform& dirform = dialogs.dirform;
  Tiform& iform = dialogs.iform;

  // The texts of the message boxes shown so far, in order.
  Names messages() const {
    Names texts;
    for (const auto& box : platform.messageBoxes()) texts.push_back(box.text);
    return texts;
  }
  static std::string readFailed(const std::string& name) { return std::string(texts::kReadFailed) + "\n" + name; }
};
