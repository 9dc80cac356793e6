// The start-up: the image check before any window, the five forms in their
// order, and the display of an exception that escapes a handler.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "install/dirform.h"
#include "install/iform.h"
#include "install/instform.h"
#include "tests/support/menu_harness.h"
#include "tests/support/pe_fixture.h"
#include "uninstall/uninsform.h"

using toolkit::Form;
using toolkit::headless::Script;

TEST(Startup, ImageWithoutBlockEndsWithMinusOneBeforeAnyForm) {
  struct Case {
    const char* what;
    std::optional<std::string> file;
  } cases[] = {
      {"nothing behind the image", [] {
         std::vector<uint8_t> image = syntheticImage(0x4000);
         return std::string(image.begin(), image.end());
       }()},
      {"not an image", std::string(0x4000, 'x')},
      {"no install.exe in the current directory", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Medium medium;
    if (c.file) {
      ASSERT_TRUE(medium.platform.writeFile("Q:\\install.exe", *c.file));
    }
    bool formsCreated = false;
    int code = runInstaller(medium.platform, [&](toolkit::Application&, AppContext&) { formsCreated = true; });
    EXPECT_EQ(code, -1);
    EXPECT_FALSE(formsCreated);
    EXPECT_TRUE(medium.platform.messageBoxes().empty());
    EXPECT_EQ(medium.platform.openStreamCount(), 0);
  }
}

TEST(Startup, FiveFormsInOrderWithTheMenuAsMainForm) {
  Medium medium;
  std::vector<std::string> names;
  bool formsByType = false, menuIsMain = false, configLoaded = false;
  int code = medium.run([&](Script& script, AppContext& ctx) {
    const toolkit::Application& app = medium.form<Tmform>().application();
    for (const auto& form : app.forms()) names.push_back(form->name());
    menuIsMain = app.mainForm() == &medium.form<Tmform>();
    // Each form is found by its type, as the forms find each other.
    formsByType = app.forms().size() == 5 && app.forms()[1].get() == &app.form<Tinstform>() &&
                  app.forms()[2].get() == &app.form<Tdirform>() && app.forms()[3].get() == &app.form<Tiform>() &&
                  app.forms()[4].get() == &app.form<Tuninsform>();
    // Creating the menu ran FormCreate: the configuration is loaded.
    configLoaded = ctx.config.gameFolder == "DemoAdv" && ctx.plan.CreatedDirs != nullptr;
    script.click("mform", "closebtn");
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(names, (std::vector<std::string>{"mform", "instform", "dirform", "iform", "uninsform"}));
  EXPECT_TRUE(menuIsMain);
  EXPECT_TRUE(formsByType);
  EXPECT_TRUE(configLoaded);
}

// As on the Win32 backend: an exception from a handler, the toolkit's or
// another, is shown in a message box and the menu goes on serving the user.
TEST(Startup, ExceptionFromAHandlerIsShownAndTheMenuGoesOn) {
  const std::function<void()> throwers[] = {
      [] { throw toolkit::Exception("handler failed"); },
      [] { throw std::logic_error("handler failed"); },
  };
  for (const auto& thrower : throwers) {
    Medium medium;
    bool wentOn = false;
    int code = medium.run([&](Script& script, AppContext&) {
      script.on("mform", [&](Form&) { thrower(); });
      script.on("mform", [&](Form&) { wentOn = true; });
      script.click("mform", "closebtn");
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(wentOn);
    ASSERT_EQ(medium.platform.messageBoxes().size(), 1u);
    EXPECT_EQ(medium.platform.messageBoxes()[0].text, "handler failed");
  }
}
