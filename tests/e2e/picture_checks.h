#pragma once
// The menu with a picture that fills its client area, as discs usually lay
// it out, and the checks by pixels that every button is drawn on top of it.

#include <string>

#include "tests/e2e/driver/driver.h"

namespace e2e {

// The picture's colour, which no button, caption or focus rectangle uses.
inline constexpr COLORREF kPictureColour = RGB(0xFF, 0x00, 0xFF);

// A 24-bit Windows bitmap of one colour.
std::string solidBitmap(int width, int height, COLORREF colour);

// The configuration of `registryKey` with a 320 x 240 client area, the
// picture at 0,0 and all five buttons shown; the medium gets the picture as
// install.bmp.
Json fullPictureMenu(Medium& medium, const std::string& registryKey);

// Expects each shown button of the menu to have no pixel of the picture's
// colour, and the rest of the client area to show the picture; `when`
// names the moment in the failure messages.
void expectButtonsOnPicture(const Window& menu, const std::string& when);

// The number of rows of a button's face (its frame left out) that hold
// dark text pixels: the height of its caption as drawn.
int captionInkHeight(const Window& menu, const Window& button);

}  // namespace e2e
