// Which InstallPath values the removal accepts, and which typed destinations
// the destination dialog accepts and makes absolute: every accepted
// destination is one the removal accepts too.
#include <gtest/gtest.h>

#include "install/destination.h"
#include "installed/install_path_check.h"
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

TEST(DestinationCheck, MakesTheDestinationAbsoluteOrRefusesIt) {
  platform::MemoryPlatform platform;
  ASSERT_TRUE(platform.addDrive('T'));
  ASSERT_TRUE(platform.createDirectories("C:\\Users\\player"));
  ASSERT_TRUE(platform.setCurrentDirectory("C:\\Users\\player"));
  ASSERT_TRUE(platform.createDirectories("T:\\Linked"));
  ASSERT_TRUE(platform.addJunction("T:\\Linked\\Title", "C:\\Users\\player"));
  using P = DestinationProblem;
  struct Case {
    std::string typed;
    P problem;
    std::string folder;  // the absolute destination when accepted
  };
  const Case cases[] = {
      {"T:\\Games", P::None, "T:\\Games"},
      {"t:/Fwd/Games", P::None, "t:\\Fwd\\Games"},
      {"T:\\\\Games\\\\New\\", P::None, "T:\\Games\\New"},
      {"T:\\", P::None, "T:\\"},
      {"T:Rel", P::None, "T:\\Rel"},  // drive T keeps its root as current folder
      {"C:games", P::None, "C:\\Users\\player\\games"},
      {"C:", P::None, "C:\\Users\\player"},
      {sjis("T:\\ソ\\表"), P::None, sjis("T:\\ソ\\表")},
      {"", P::NoDriveName, ""},
      {"\\Games", P::NoDriveName, ""},
      {"T:\\x\\..\\Dots", P::DotFolder, ""},
      {"T:\\.\\Games", P::DotFolder, ""},
      {"T:\\...", P::DotFolder, ""},
      {"T:\\Games ", P::NameEnding, ""},
      {"T:\\Games.\\New", P::NameEnding, ""},
      {"T:\\aux.txt", P::DeviceName, ""},
      {"T:\\Games\\CON", P::DeviceName, ""},
      {"T:\\Game?", P::UnusableCharacter, ""},
      {"T:\\a:b", P::UnusableCharacter, ""},
      {"T:\\" + std::string(240, 'x'), P::TooLong, ""},
      {"T:\\Linked", P::Linked, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("\"" + c.typed + "\"");
    const Destination destination = checkDestination(platform, c.typed, "Title");
    EXPECT_EQ(destination.problem, c.problem);
    if (c.problem != P::None) continue;
    EXPECT_EQ(destination.folder, c.folder);
    EXPECT_EQ(destination.installPath, composeInstallPath(c.folder, "Title"));
    // Nothing is installed that the uninstaller would refuse.
    EXPECT_TRUE(isRemovableInstallPath(destination.installPath, "Title", platform));
  }
}

}  // namespace
