#pragma once
// The menu with a picture that fills its client area, as discs usually lay
// it out, and the checks by pixels that every button is drawn on top of it.

#include <string>

#include "automation/driver.h"

namespace e2e {

// The picture's colour, which no button, caption or focus rectangle uses.
inline constexpr COLORREF kPictureColour = RGB(0xFF, 0x00, 0xFF);

// A 24-bit Windows bitmap of one colour.
std::string solidBitmap(int width, int height, COLORREF colour);

// The configuration of `registryKey` with a 320 x 240 client area, the
// picture at 0,0 and all five buttons shown; the medium gets the picture as
// install.bmp.
Json fullPictureMenu(Medium& medium, const std::string& registryKey);

// That menu started from a medium of its own, under a per-user key named
// `scenario` that is removed before and after.
class PictureMenuRun {
 public:
  explicit PictureMenuRun(const std::string& scenario);
  ~PictureMenuRun();
  PictureMenuRun(const PictureMenuRun&) = delete;
  PictureMenuRun& operator=(const PictureMenuRun&) = delete;

  Process& program() { return program_; }
  const Window& menu() const { return menu_; }

 private:
  std::string key_;
  Medium medium_;
  Process program_;
  Window menu_;
};

// Expects each shown button of the menu to have no pixel of the picture's
// colour, and the rest of the client area to show the picture; `when`
// names the moment in the failure messages.
void expectButtonsOnPicture(const Window& menu, const std::string& when);

// The number of rows of a button's face (its frame left out) that hold
// dark text pixels: the height of its caption as drawn.
int captionInkHeight(const Window& menu, const Window& button);

}  // namespace e2e
