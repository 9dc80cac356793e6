// The install record: written whole or not at all, read back only whole,
// never followed outside the game folder; the digests the files were copied
// with kept, and a record of an earlier build, without them, still read.
#include "footprint/install_record.h"

#include "tests/support/install_fixture.h"

namespace {

const std::string kRecord = "D:\\Games\\Title\\uninst-record.txt";
const std::string kTemporary = kRecord + ".new";

class InstallRecordTest : public InstallTest {
 protected:
  InstallRecordTest() {
    EXPECT_TRUE(platform.createDirectories("D:\\Games\\Title\\data\\sub"));
    for (const std::string& entry : Names{"SYSTEM.INI", "uninst.exe", "data\\a.bin", sjis("ソ.bin"), "SYSTEM.INI",
                                          "SYSTEM.DAT", "save\\slot.dat"}) {
      ctx.plan.CopyPlan->add(entry);
    }
    ctx.copy.AlwaysCopiedCount = 5;  // the last two were planned under the preserve rule
    for (const char* folder : {"D:\\Games", "D:\\Games\\Title", "D:\\Games\\Title\\data", "D:\\Games\\Title\\data\\sub"}) {
      ctx.plan.CreatedDirs->add(folder);
    }
  }
};

// Fault: the preserved save data recorded (and so deleted by the disc-free
// keep-save-data removal), a name recorded twice, a record that cannot be
// read back, or one left half-written; a digest lost, put on another file,
// or invented for a file copied without one.
TEST_F(InstallRecordTest, RecordsTheAlwaysCopiedFilesTheirDigestsAndThePlanFolders) {
  const Sha256Digest first{1, 2, 3}, second{0xAB};
  ctx.copy.CopiedDigests = {first, std::nullopt, second, second, first, second, second};
  ASSERT_TRUE(writeInstallRecord(ctx));
  const InstallRecord expected{{"SYSTEM.INI", "uninst.exe", "data\\a.bin", sjis("ソ.bin")},
                               {"data", "data\\sub"},
                               {{"SYSTEM.INI", first}, {"data\\a.bin", second}, {sjis("ソ.bin"), second}}};
  const std::string firstHex = "010203" + std::string(58, '0'), secondHex = "ab" + std::string(62, '0');
  EXPECT_EQ(platform.readFile(kRecord),
            "\xEF\xBB\xBFinstall record 2\r\nfolder\tdata\r\nfolder\tdata\\sub\r\nfile\tSYSTEM.INI\t" + firstHex +
                "\r\nfile\tuninst.exe\r\nfile\tdata\\a.bin\t" + secondHex + "\r\nfile\t\xE3\x82\xBD.bin\t" + secondHex +
                "\r\n");
  EXPECT_FALSE(platform.exists(kTemporary));
  EXPECT_EQ(readInstallRecord(platform, ctx.config.InstallPath), expected);
  // What an earlier build wrote reads as it did, without digests.
  EXPECT_EQ(parseInstallRecord("install record 1\r\nfolder\tdata\r\nfile\tdata\\a.bin\r\n"),
            (InstallRecord{{"data\\a.bin"}, {"data"}, {}}));
}

// Fault: a crash between writing and renaming taken for a record, or a
// failed write leaving a record that looks whole.
TEST_F(InstallRecordTest, OnlyAWholeRecordIsEverRead) {
  // The machine went down after the temporary file was written.
  ASSERT_TRUE(platform.writeFile(kTemporary, "\xEF\xBB\xBFinstall record 1\r\nfile\tSYS"));
  EXPECT_EQ(readInstallRecord(platform, ctx.config.InstallPath), std::nullopt);
  // A disk that fills up while the record is written.
  platform.setWriteCapacity(10);
  EXPECT_FALSE(writeInstallRecord(ctx));
  EXPECT_FALSE(platform.exists(kRecord));
  EXPECT_FALSE(platform.exists(kTemporary));
  platform.clearFaults();
  ASSERT_TRUE(platform.writeFile(kTemporary, "left by a crash"));
  ASSERT_TRUE(writeInstallRecord(ctx));
  removeInstallRecord(*platform.openForRemoval(ctx.config.InstallPath));
  EXPECT_FALSE(platform.exists(kRecord));
  EXPECT_FALSE(platform.exists(kTemporary));
}

// Fault: a damaged or foreign record followed: a name that climbs out of
// the game folder, is absolute, or means something else to Windows would
// make the disc-free removal delete outside the game.
TEST(InstallRecordText, DamagedOrForeignRecordsAreRefused) {
  const std::string head = "install record 2\r\n", digest = "\t" + std::string(64, 'f');
  struct Case {
    std::string text;
    bool usable;
  };
  const Case cases[] = {
      {head + "file\ta.bin\r\n", true},
      {"install record 1\nfolder\tdata\nfile\tdata/b.bin\n", true},  // LF alone, "/" separates
      {head, true},
      {"", false},
      {"install record 3\r\nfile\ta.bin\r\n", false},
      {"\r\n" + head, false},
      {head + "file a.bin\r\n", false},
      {head + "link\ta.bin\r\n", false},
      {head + "file\t\r\n", false},
      {head + "file\t..\\..\\Windows\\win.ini\r\n", false},
      {head + "file\tdata\\..\\..\\x\r\n", false},
      {head + "file\tC:\\boot.ini\r\n", false},
      {head + "file\t\\boot.ini\r\n", false},
      {head + "folder\t.\r\n", false},
      {head + "file\tsave\\aux.sav\r\n", false},
      {head + "file\tsave.\r\n", false},
      {head + "file\t\xFF\xFE\r\n", false},  // not UTF-8
      {head + "file\ta.bin\r\nfile\t\xC3\x89lan\r\n", false},  // no Shift-JIS form
      {head + "file\ta.bin" + digest + "\r\n", true},
      {head + "file\ta.bin" + digest + digest + "\r\n", false},
      {head + "file\ta.bin" + digest + "0\r\n", false},
      {head + "file\ta.bin\t" + std::string(64, 'g') + "\r\n", false},
      {head + "folder\tdata" + digest + "\r\n", false},
      {"install record 1\r\nfile\ta.bin" + digest + "\r\n", false},  // an earlier build kept none
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseInstallRecord(c.text).has_value(), c.usable) << c.text;
  }
}

}  // namespace
