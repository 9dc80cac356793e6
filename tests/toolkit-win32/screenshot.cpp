// A picture of two forms for a person to look at: the Japanese captions
// must be legible (the test prefix maps the UI font to an installed one).
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "forms/layouts.h"
#include "platform/memory/memory_platform.h"
#include "tests/toolkit-win32/win32_support.h"
#include "texts.h"

bool saveWindowPicture(HWND window, const std::string& path) {
  RECT rect{};
  GetWindowRect(window, &rect);
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, previous);

  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  int row = (width * 3 + 3) / 4 * 4;
  std::vector<char> pixels(static_cast<size_t>(row * height));
  int lines = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                        reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (lines != height) return false;

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return out.good();
}

TEST(Screenshot, FormsWithJapaneseCaptionsAreSavedForInspection) {
  platform::MemoryPlatform platform;
  for (const char* folder : {"C:\\Games", "C:\\Games\\Title", "C:\\Games\\Title\\save"})
    platform.createDirectories(folder);
  platform.setCurrentDirectory("C:\\Games\\Title");
  toolkit::Application app(platform);
  auto& menu = app.createForm<toolkit::Form>(mformLayout);
  auto& uninstall = app.createForm<toolkit::Form>(uninsformLayout);
  auto& destination = app.createForm<toolkit::Form>(instformLayout);
  menu.setCaption(std::string("Title") + texts::kMenuCaptionSuffix);
  auto& browse = app.createForm<toolkit::Form>(dirformLayout);
  browse.show();
  drainMessages();
  EXPECT_TRUE(saveWindowPicture(windowOf(browse), "toolkit-dirform.bmp"));
  browse.hide();
  destination.show();
  drainMessages();
  EXPECT_TRUE(saveWindowPicture(windowOf(destination), "toolkit-instform.bmp"));
  destination.hide();
  uninstall.show();
  drainMessages();
  EXPECT_TRUE(saveWindowPicture(windowOf(uninstall), "toolkit-uninsform.bmp"));
  uninstall.hide();
  menu.show();
  drainMessages();
  EXPECT_TRUE(saveWindowPicture(windowOf(menu), "toolkit-mform.bmp"));
}
