// Which InstallPath values the removal accepts.
#include <gtest/gtest.h>

#include "tests/support/sjis_text.h"
#include "uninstall/install_path_check.h"

namespace {

TEST(UninstallPathCheck, AcceptsFoldersBelowADriveRootOnly) {
  struct Case {
    std::string path;
    bool removable;
  };
  const Case cases[] = {
      {"C:\\Games", true},
      {"c:\\Games\\Title", true},
      {"C:\\\\Title", true},  // composed from the drive root C:\ as destination
      {"D:\\Games\\Title\\", true},
      {"C:/Games", true},
      {"C:\\.hidden", true},
      {sjis("C:\\ソ"), true},  // trail byte 0x5C
      {"", false},
      {"C", false},
      {"C:", false},
      {"C:\\", false},
      {"C:\\\\", false},
      {"C:/", false},
      {"C:\\/", false},
      {"Games", false},
      {"Games\\Title", false},
      {"\\Games", false},
      {"C:Games", false},
      {"\\\\server\\share\\x", false},
      {"\\\\?\\C:\\Games", false},
      {"1:\\Games", false},
      {"C:\\.", false},
      {"C:\\..", false},
      {"C:\\Games\\..", false},
      {"C:\\Games/..", false},
      {"C:\\Games\\..\\Title", false},
      {"C:\\ . ", false},
      // 0x80, 0xA0 and 0xFD to 0xFF are characters of one byte: the
      // separator after them is one, and Windows resolves ".." ("T:\\").
      {"T:\\\xFD\\..", false},
      {"T:\\\x80\\..", false},
      {"T:\\\xA0\\..", false},
      {"T:\\\xFF\\.", false},
      {"T:\\\xFD", true},
      // Not well-formed code page 932: a lead byte without its trail byte.
      {"T:\\Games\\\x81", false},
      {"T:\\\x81/..", false},
      {"T:\\\x81\x1F\\Games", false},
  };
  for (const Case& c : cases) EXPECT_EQ(isRemovableInstallPath(c.path), c.removable) << "\"" << c.path << "\"";
}

}  // namespace
