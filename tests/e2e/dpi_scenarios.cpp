// The menu on a screen of 144 DPI (150 %), in a Wine prefix of its own.
#include <gtest/gtest.h>

#include <array>
#include <iostream>

#include "forms/layouts.h"
#include "tests/e2e/game_disc.h"
#include "tests/e2e/picture_checks.h"

using namespace e2e;

namespace {

std::array<long, 4> geometry(const Window& control) {
  RECT r = control.rectInParent();
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

long scaled(long value) { return MulDiv(value, 144, 96); }

}  // namespace

// Fault: the menu left at its 96-DPI size (the system then stretches it as
// a bitmap and blurs every text), or scaled in part: the client area, the
// picture, a button or the font left behind, or the buttons lost under the
// scaled picture.
TEST(E2eDpi, MenuAt144DpiIsScaledByOneAndAHalf) {
  PictureMenuRun run("DiscmenuE2eDpi");
  const Window& menu = run.menu();
  screenshot(screenshotFolder(), "menu-144dpi", menu);

  const RECT client = menu.clientRect();
  EXPECT_EQ(client.right, scaled(320));
  EXPECT_EQ(client.bottom, scaled(240));
  EXPECT_EQ(geometry(menu.child(mformLayout, "instimage")), (std::array<long, 4>{0, 0, scaled(320), scaled(240)}));
  const Window close = menu.child(mformLayout, "closebtn");
  EXPECT_EQ(geometry(close), (std::array<long, 4>{scaled(165), scaled(205), scaled(145), scaled(25)}));
  expectButtonsOnPicture(menu, "at 144 DPI");

  // "終了" drawn with the font of 12 x 1.5 pixels: it takes 12 rows at 96
  // DPI (e2e-ui), more than 1.25 times that here.
  const int ink = captionInkHeight(menu, close);
  std::cout << "caption ink height at 144 DPI: " << ink << " rows\n";
  EXPECT_GE(ink, 16);
  EXPECT_LE(ink, 18);
  closeMenu(run.program(), menu);
}
