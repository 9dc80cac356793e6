// /VERIFY and /REPAIR: the installed files against the install record's
// digests, without the disc, and the missing and damaged ones copied again
// from it; what the player and the game changed is never judged nor touched.
#include <gtest/gtest.h>

#include "launcher/arguments.h"
#include "launcher/exit_codes.h"
#include "launcher/uninstaller.h"
#include "tests/support/menu_harness.h"
#include "texts.h"

namespace {

using Args = std::vector<std::string>;
const std::string kGame = "C:\\Games\\DemoAdv";

// Fault: a damaged or missing game file passed as sound, or found without
// its name in the log; the saves or what the game wrote judged or
// overwritten; a repair that copies more or less than what is broken, keeps
// a half-copied file when the disc is damaged too, or ends with 0 while a
// file is still broken; an earlier build's record taken for a damaged game.
TEST(FileChecks, VerifyNamesWhatIsBrokenAndRepairCopiesExactlyThat) {
  Medium medium;
  medium.content.extraEntries = {"data"};
  medium.content.preserveEntries = {"save"};
  medium.pack();
  auto& disk = medium.platform;
  const std::string big = std::string(ChunkSize, 'x') + "tail";
  for (const auto& [name, bytes] : std::map<std::string, std::string>{{"origin.exe", "MZ game"},
                                                                      {"SYSTEM.INI", "[system]"},
                                                                      {"data\\a.bin", big},
                                                                      {"save\\slot1.dat", "empty"}}) {
    ASSERT_TRUE(disk.createDirectories("Q:\\data") && disk.createDirectories("Q:\\save"));
    ASSERT_TRUE(disk.writeFile("Q:\\" + name, bytes));
  }
  ASSERT_TRUE(disk.writeFile("Q:\\uninst.exe", *disk.readFile("Q:\\install.exe")));
  auto run = [&](Args arguments) { return runInstallerWithArguments(disk, arguments); };
  auto log = [&](const char* file) { return disk.readFile(file).value_or(""); };
  ASSERT_EQ(run({"/S", "/D=C:\\Games"}), kExitDone);
  EXPECT_EQ(run({"/VERIFY", "/S"}), kExitDone);

  std::string damaged = big;
  damaged[ChunkSize + 2] = 'X';
  ASSERT_TRUE(disk.writeFile(kGame + "\\data\\a.bin", damaged));
  ASSERT_TRUE(disk.deleteFile(kGame + "\\SYSTEM.INI"));
  ASSERT_TRUE(disk.writeFile(kGame + "\\save\\slot1.dat", "played"));
  ASSERT_TRUE(disk.writeFile(kGame + "\\data\\mine.sav", "the game's"));
  EXPECT_EQ(run({"/VERIFY", "/S", "/LOG=C:\\verify.log"}), kExitDamaged);
  EXPECT_NE(log("C:\\verify.log").find("missing SYSTEM.INI\r\ndamaged data\\a.bin\r\n2 intact, 1 missing, 1 damaged"),
            std::string::npos)
      << log("C:\\verify.log");
  // Without the disc, as uninst.exe.
  UninstallerStart start;
  start.image = kGame + "\\uninst.exe";
  start.line.verify = true;
  EXPECT_EQ(runUninstaller(disk, start), kExitDamaged);
  ASSERT_EQ(disk.messageBoxes().size(), 1u);
  EXPECT_EQ(disk.messageBoxes()[0].text, std::string(texts::kVerifyBroken) + "\nSYSTEM.INI\ndata\\a.bin\n\n" +
                                             texts::kVerifyRepairHint);
  EXPECT_EQ(disk.messageBoxes()[0].caption, texts::kVerifyCaption);

  // A damaged disc as well: what was copied and checked stays, the
  // half-copied file does not.
  const std::string wrong = std::string(64, '0') + "  data/a.bin\n";
  ASSERT_TRUE(disk.writeFile("Q:\\install.sha256", wrong));
  EXPECT_EQ(run({"/REPAIR", "/S"}), kExitReadFailed);
  EXPECT_EQ(disk.readFile(kGame + "\\SYSTEM.INI"), "[system]");
  EXPECT_FALSE(disk.exists(kGame + "\\data\\a.bin"));
  ASSERT_TRUE(disk.deleteFile("Q:\\install.sha256"));

  EXPECT_EQ(run({"/REPAIR", "/S", "/LOG=C:\\repair.log"}), kExitDone);
  EXPECT_EQ(disk.readFile(kGame + "\\data\\a.bin"), big);
  EXPECT_EQ(disk.readFile(kGame + "\\SYSTEM.INI"), "[system]");
  EXPECT_EQ(disk.readFile(kGame + "\\save\\slot1.dat"), "played");
  EXPECT_EQ(disk.readFile(kGame + "\\data\\mine.sav"), "the game's");
  const std::string repairLog = log("C:\\repair.log");
  EXPECT_NE(repairLog.find("missing data\\a.bin\r\n3 intact, 1 missing, 0 damaged, 0 not judged\r\ncopied data\\a.bin"),
            std::string::npos)
      << repairLog;
  EXPECT_EQ(repairLog.find("copied origin.exe"), std::string::npos) << repairLog;
  EXPECT_NE(repairLog.find("4 intact, 0 missing, 0 damaged, 0 not judged\r\nexit code 0"), std::string::npos);

  // An earlier build's record: the files are only looked for.
  const std::string record = kGame + "\\uninst-record.txt";
  ASSERT_TRUE(disk.writeFile(record, "install record 1\r\nfile\torigin.exe\r\nfile\tdata\\a.bin\r\n"));
  EXPECT_EQ(run({"/VERIFY"}), kExitDone);
  EXPECT_EQ(disk.messageBoxes().back().text, std::string(texts::kVerifySound) + "\n\n" + texts::kVerifyUnjudged +
                                                 "\norigin.exe\ndata\\a.bin");
  ASSERT_TRUE(disk.deleteFile(kGame + "\\origin.exe"));
  EXPECT_EQ(run({"/VERIFY", "/S"}), kExitInstalledState);
  ASSERT_TRUE(disk.writeFile(kGame + "\\origin.exe", "MZ game"));
  ASSERT_TRUE(disk.deleteFile(record));
  EXPECT_EQ(run({"/VERIFY", "/S"}), kExitRefused);
}

}  // namespace
