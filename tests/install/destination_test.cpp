// Which typed destinations the destination dialog accepts and makes
// absolute: every accepted destination is one the removal accepts too.
#include <gtest/gtest.h>

#include "footprint/install_path_check.h"
#include "install/destination.h"
#include "platform/memory/memory_platform.h"
#include "tests/support/sjis_text.h"

namespace {

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
