#include "tests/support/worked_example.h"

#include <stdexcept>
#include <string>

ButtonLayout button(int16_t left, int16_t top, int16_t width, int16_t height, std::string caption,
                    std::string command, uint8_t visible) {
  ButtonLayout b;
  b.left = left;
  b.top = top;
  b.width = width;
  b.height = height;
  b.caption = std::move(caption);
  b.command = std::move(command);
  b.visible = visible;
  return b;
}

ConfigBlockContent workedExampleContent() {
  ConfigBlockContent content;
  InstallerConfig& c = content.config;
  c.title = "Demo Adventure";
  c.rootSelector = 1;
  c.parentFolder = "ExampleSoft";
  c.gameFolder = "DemoAdv";
  c.registryKey = "DemoAdv";
  content.extraEntries = {"manual", "readme.txt"};
  content.preserveEntries = {"config.ini"};
  c.menuGroup = "ExampleSoft";
  c.gameLinkName = "Demo Adventure";
  c.uninstallLinkName = "Uninstall Demo Adventure";
  c.extra1Flag = 1;
  c.extra1File = "readme.txt";
  c.extra1LinkName = "Read me";
  c.clientWidth = 320;
  c.clientHeight = 240;
  c.buttons[kRunButtonIndex] = button(10, 170, 300, 25);
  c.buttons[kInstallButtonIndex] = button(10, 205, 145, 25);
  c.buttons[kCloseButtonIndex] = button(165, 205, 145, 25);
  c.buttons[kExtra1ButtonIndex] = button(10, 135, 145, 25, "Read me", "", 1);
  return content;
}

namespace {

struct Row {
  size_t offset;
  std::vector<uint8_t> bytes;
};

Row text(size_t offset, const std::string& value) {
  std::vector<uint8_t> bytes(value.begin(), value.end());
  bytes.resize(64, 0);
  return {offset, bytes};
}

}  // namespace

std::vector<uint8_t> workedExampleBytes() {
  // Block offset, then the bytes, as the example's table lists them.
  const Row rows[] = {
      text(0, "Demo Adventure"),
      {64, {0x01}},
      text(65, "ExampleSoft"),
      text(129, "DemoAdv"),
      text(193, "DemoAdv"),
      {257, {0x02}},
      text(258, "manual"),
      text(322, "readme.txt"),
      {386, {0x01}},
      text(387, "config.ini"),
      text(451, "ExampleSoft"),
      text(515, "Demo Adventure"),
      text(579, "Uninstall Demo Adventure"),
      {643, {0x01}},
      text(644, "readme.txt"),
      text(708, "Read me"),
      {772, {0x00}},
      {773, {0x40, 0x01, 0xF0, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {781, {0x0A, 0x00, 0xAA, 0x00, 0x2C, 0x01, 0x19, 0x00}},
      {789, {0x0A, 0x00, 0xCD, 0x00, 0x91, 0x00, 0x19, 0x00}},
      {797, {0xA5, 0x00, 0xCD, 0x00, 0x91, 0x00, 0x19, 0x00}},
      {805, {0x01}},
      {806, {0x0A, 0x00, 0x87, 0x00, 0x91, 0x00, 0x19, 0x00}},
      text(814, "Read me"),
      text(878, ""),
      {942, {0x00}},
      {943, {0x00, 0x80, 0x05, 0x00}},
  };
  std::vector<uint8_t> bytes;
  for (const Row& row : rows) {
    if (row.offset != bytes.size()) throw std::logic_error("row at " + std::to_string(row.offset) + " is misplaced");
    bytes.insert(bytes.end(), row.bytes.begin(), row.bytes.end());
  }
  return bytes;
}
