#pragma once
// The installation's dialogs on the headless toolkit, above a plain menu
// form: the destination dialog, the browse dialog and the progress dialog,
// created in the program's order and known to the AppContext.
//
// Driving the install road:
//   script.on("instform", [&](toolkit::Form&) { instform.dirpath->setText("D:\\Games"); });
//   script.click("instform", "Button2");  // confirmed with OK; iform ticks until it ends
//   EXPECT_EQ(instform.showModal(), 1);

#include "forms/layouts.h"
#include "install/dirform.h"
#include "install/iform.h"
#include "install/instform.h"
#include "tests/install/install_fixture.h"
#include "texts.h"
#include "toolkit/headless/script.h"

struct Dialogs {
  explicit Dialogs(Machine& machine) : app(machine.platform) {
    AppContext& ctx = machine.ctx;
    app.createForm<toolkit::Form>(mformLayout);
    ctx.instform = &app.createForm<Tinstform>(ctx);
    ctx.dirform = &app.createForm<Tdirform>(ctx);
    ctx.iform = &app.createForm<Tiform>(ctx);
  }
  toolkit::Application app;
  toolkit::headless::Script& script = toolkit::headless::scriptOf(app);
};

class DialogTest : public InstallTest {
 protected:
  Dialogs dialogs{*this};
  toolkit::headless::Script& script = dialogs.script;
  Tinstform& instform = *ctx.instform;
  Tdirform& dirform = *ctx.dirform;
  Tiform& iform = *ctx.iform;

  // The texts of the message boxes shown so far, in order.
  Names messages() const {
    Names texts;
    for (const auto& box : platform.messageBoxes()) texts.push_back(box.text);
    return texts;
  }
  static std::string readFailed(const std::string& name) { return std::string(texts::kReadFailed) + "\n" + name; }
};
