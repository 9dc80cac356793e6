#include "tests/e2e/picture_checks.h"

#include <gtest/gtest.h>

#include "forms/layouts.h"
#include "tests/e2e/build_paths.h"
#include "tools/config_json.h"

namespace e2e {
namespace {

constexpr const char* kButtons[] = {"runbtn", "instbtn", "closebtn", "etc1btn", "etc2btn"};

RECT inset(RECT rect, int by) { return {rect.left + by, rect.top + by, rect.right - by, rect.bottom - by}; }

}  // namespace

std::string solidBitmap(int width, int height, COLORREF colour) {
  const int row = (width * 3 + 3) / 4 * 4;
  const uint32_t pixels = static_cast<uint32_t>(row * height);
  std::string bytes(54 + pixels, '\0');
  auto put = [&bytes](size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
  };
  bytes[0] = 'B', bytes[1] = 'M';
  put(2, 54 + pixels, 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<uint32_t>(width), 4);
  put(22, static_cast<uint32_t>(height), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  put(34, pixels, 4);
  const uint32_t bgr = GetBValue(colour) | GetGValue(colour) << 8 | GetRValue(colour) << 16;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) put(54 + y * row + x * 3, bgr, 3);
  }
  return bytes;
}

Json fullPictureMenu(Medium& medium, const std::string& registryKey) {
  Json config = sampleConfigJson();
  config["title"] = "デモアドベンチャー";
  config["registryKey"] = registryKey;
  config["extra2"] = {{"file", "omake.exe"}, {"linkName", "おまけ"}};
  config["buttons"]["extra2"] = {{"left", 165}, {"top", 135}, {"width", 145}, {"height", 25},
                                 {"caption", ""},  {"command", ""}};
  medium.pack(installerImage(), config);
  medium.addFile("install.bmp", solidBitmap(320, 240, kPictureColour));
  return config;
}

namespace {

std::string removedKey(const std::string& name) {
  deleteRegistryTree(HKEY_CURRENT_USER, L"software\\" + widen(name));
  return name;
}

Process startedFrom(Medium& medium, const std::string& key) {
  fullPictureMenu(medium, key);
  return medium.start();
}

}  // namespace

PictureMenuRun::PictureMenuRun(const std::string& scenario)
    : key_(removedKey(scenario)),
      medium_(scenario),
      program_(startedFrom(medium_, key_)),
      menu_(waitForWindow(program_, L"Tmform")) {}

PictureMenuRun::~PictureMenuRun() { deleteRegistryTree(HKEY_CURRENT_USER, L"software\\" + widen(key_)); }

void expectButtonsOnPicture(const Window& menu, const std::string& when) {
  const ClientPixels pixels(menu);
  const RECT client = menu.clientRect();
  long buttonArea = 0;
  for (const char* name : kButtons) {
    Window button = menu.child(mformLayout, name);
    if (!button.visible()) continue;
    const RECT rect = button.rectInParent();
    buttonArea += (rect.right - rect.left) * (rect.bottom - rect.top);
    EXPECT_EQ(pixels.count(rect, kPictureColour), 0) << name << " shows the picture " << when;
  }
  const long pictureArea = client.right * client.bottom - buttonArea;
  EXPECT_EQ(pixels.count(client, kPictureColour), pictureArea) << "the picture around the buttons " << when;
}

int captionInkHeight(const Window& menu, const Window& button) {
  const ClientPixels pixels(menu);
  const RECT face = inset(button.rectInParent(), 4);
  int rows = 0;
  for (int y = face.top; y < face.bottom; ++y) {
    for (int x = face.left; x < face.right; ++x) {
      const COLORREF pixel = pixels.at(x, y);
      if (GetRValue(pixel) < 0xC0 && GetGValue(pixel) < 0xC0 && GetBValue(pixel) < 0xC0) {
        ++rows;
        break;
      }
    }
  }
  return rows;
}

}  // namespace e2e
