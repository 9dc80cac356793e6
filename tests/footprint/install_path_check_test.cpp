// Which InstallPath values the removal accepts.
#include <gtest/gtest.h>

#include "footprint/install_path_check.h"
#include "platform/memory/memory_platform.h"
#include "tests/support/sjis_text.h"

namespace {

TEST(UninstallPathCheck, AcceptsTheGameFolderBelowADriveRootOnly) {
  platform::MemoryPlatform folding;
  struct Case {
    std::string path;
    bool removable;
    std::string gameFolder = "Title";
  };
  const Case cases[] = {
      {"C:\\Title", true},  // the drive root as destination
      {"c:\\Games\\title", true},
      {"C:\\\\Title", true},  // composed from "C:\\" by an earlier build
      {"D:\\Games\\Title\\", true},
      {"C:/Games/Title", true},
      {sjis("C:\\Games\\Ｔｉｔｌｅ"), true, sjis("ｔｉｔｌｅ")},  // full-width letters fold too
      {sjis("C:\\ソ\\Title"), true},  // trail byte 0x5C
      {sjis("C:\\Games\\ソフト"), true, sjis("ソフト")},
      {"C:\\Maker\\Title", true, "Maker\\Title"},
      {"C:\\Maker\\Title", false, "Other\\Title"},
      {"C:\\Games", false},  // not the game's folder: PATH of C:\Users\name
      {"C:\\Title\\Games", false},
      {"C:\\Games\\Title", false, ""},
      {"C:\\Games\\..", false, ".."},
      {"", false},
      {"C:", false},
      {"C:\\", false},
      {"C:\\\\", false},
      {"Title", false},
      {"\\Title", false},
      {"C:Title", false},
      {"\\\\server\\share\\Title", false},
      {"\\\\?\\C:\\Title", false},
      {"1:\\Title", false},
      {"C:\\Games\\..\\Title", false},
      {"C:\\.\\Title", false},
      {"C:\\ . \\Title", false},
      {"C:\\Games \\Title", false},  // Windows trims only the last name
      {"C:\\Games.\\Title", false},
      {"C:\\aux\\Title", false},
      {"C:\\com1.log\\Title", false},
      {"C:\\a:b\\Title", false},
      {"C:\\a*\\Title", false},
      // 0x80, 0xA0 and 0xFD to 0xFF are characters of one byte: the
      // separator after them is one, and Windows resolves ".." ("T:\\").
      {"T:\\\xFD\\..\\Title", false},
      {"T:\\\xFD\\Title", true},
      // Not well-formed code page 932: a lead byte without its trail byte.
      {"T:\\Games\\\x81", false, "\x81"},
      {"T:\\\x81/..\\Title", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isRemovableInstallPath(c.path, c.gameFolder, folding), c.removable)
        << "\"" << c.path << "\" for \"" << c.gameFolder << "\"";
  }
}

}  // namespace
