// What only the in-memory Windows offers: path resolution in detail, its
// listing orders, junctions, fault switches, snapshots and the records of
// message boxes, processes and links.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "tests/support/sjis_text.h"

using platform::Hive;
using platform::kAttributeDirectory;
using platform::kAttributeReparsePoint;
using platform::kIdCancel;
using platform::kIdOk;
using platform::kInvalidAttributes;
using platform::kMbOk;
using platform::kMbOkCancel;
using platform::ListingOrder;
using platform::MemoryPlatform;
using platform::OpenMode;

namespace {

using Names = std::vector<std::string>;

// Writes through a stream, each write flushed as the copy does, and returns
// the bytes of each write that reached the disk.
std::vector<size_t> writeChunks(MemoryPlatform& p, const std::string& path, const std::vector<size_t>& sizes) {
  std::vector<size_t> accepted;
  auto stream = p.openStream(path, OpenMode::Write);
  if (!stream) return accepted;
  for (size_t size : sizes) {
    const size_t before = p.readFile(path)->size();
    const size_t written = stream->write(std::string(size, 'w').data(), size);
    const bool flushed = stream->flush();
    const size_t reached = p.readFile(path)->size() - before;
    // A short count shows at the write or, for a buffered one, at the flush.
    EXPECT_EQ(written == size && flushed, reached == size);
    accepted.push_back(reached);
  }
  return accepted;
}

TEST(MemoryPaths, ResolveLikeWin32) {
  MemoryPlatform p;
  ASSERT_TRUE(p.createDirectories("C:\\work\\sub"));
  ASSERT_TRUE(p.writeFile("C:\\work\\sub\\f.txt", "f"));
  ASSERT_TRUE(p.createDirectories("C:\\" + sjis("ソフト") + "\\data"));
  ASSERT_TRUE(p.addDrive('d'));
  ASSERT_TRUE(p.writeFile("D:\\root.txt", "d"));
  ASSERT_TRUE(p.setCurrentDirectory("C:\\work\\sub"));

  const uint32_t kFile = 0x20;
  struct Case {
    std::string path;
    uint32_t attributes;
  };
  const Case cases[] = {
      {"C:\\work\\sub\\f.txt", kFile},
      {"f.txt", kFile},
      {".\\f.txt", kFile},
      {"\\work\\sub\\f.txt", kFile},
      {"C:f.txt", kFile},                    // drive-relative on the current drive
      {"c:\\\\WORK\\\\\\sub\\F.TXT", kFile},  // separators collapse, ASCII case ignored
      {"C:\\work\\.\\sub\\..\\sub\\f.txt", kFile},
      {"C:\\..\\..\\work\\sub\\f.txt", kFile},  // ".." stops at the root
      {"..\\..\\work", kAttributeDirectory},
      {"C:\\work\\sub\\", kAttributeDirectory},
      {"f.txt\\", kInvalidAttributes},  // a trailing separator means a folder
      {"D:root.txt", kFile},              // another drive: its root
      {"D:\\", kAttributeDirectory},
      {"E:\\", kInvalidAttributes},
      {"\\\\server\\share\\f.txt", kInvalidAttributes},
      {"f?.txt", kInvalidAttributes},
      {"C:/work\\sub/f.txt", kFile},            // "/" separates too
      {"C:\\work\\sub.\\f.txt. .", kFile},    // a folder loses one dot, the last name all
      {"C:\\work\\sub..\\f.txt", kInvalidAttributes},
      {"", kInvalidAttributes},
      // ソ ends in 0x5C: one folder, not "\x83" and "フト".
      {"C:\\" + sjis("ソフト") + "\\data", kAttributeDirectory},
      {"C:\\\x83", kInvalidAttributes},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(p.fileAttributes(c.path), c.attributes);
  }
  EXPECT_EQ(p.listFolder("C:\\"), (Names{"work", sjis("ソフト")}));
}

TEST(MemoryPaths, NamesKeepTheirCaseAndTrailBytesAreNotFolded) {
  MemoryPlatform p;
  ASSERT_TRUE(p.writeFile("C:\\MixedCase.TXT", "1"));
  ASSERT_TRUE(p.writeFile("C:\\mixedcase.txt", "2"));  // the same file
  ASSERT_TRUE(p.writeFile("C:\\" + sjis("ア"), "a"));
  ASSERT_TRUE(p.writeFile("C:\\" + sjis("ヂ"), "di"));  // trail byte "a" where ア has "A"
  EXPECT_EQ(p.listFolder(""), (Names{"MixedCase.TXT", sjis("ア"), sjis("ヂ")}));
  EXPECT_EQ(p.readFile("C:\\MIXEDCASE.txt"), "2");
  EXPECT_EQ(p.readFile("C:\\" + sjis("ア")), "a");
  EXPECT_EQ(p.readFile("C:\\" + sjis("ヂ")), "di");
}

// Names are found through an index beside the members: a removed name is
// free again in any case, and a long folder finds every member.
TEST(MemoryPaths, RemovedNamesAreFreeAgainAndLongFoldersFindEveryMember) {
  MemoryPlatform p;
  ASSERT_TRUE(p.createDirectory("C:\\Data"));
  ASSERT_TRUE(p.writeFile("C:\\Save.DAT", "1"));
  ASSERT_TRUE(p.removeDirectory("c:\\DATA"));
  ASSERT_TRUE(p.deleteFile("c:\\save.dat"));
  EXPECT_EQ(p.fileAttributes("C:\\data"), kInvalidAttributes);
  EXPECT_FALSE(p.readFile("C:\\SAVE.DAT"));
  ASSERT_TRUE(p.createDirectory("C:\\dAtA"));
  ASSERT_TRUE(p.writeFile("C:\\save.Dat", "2"));
  EXPECT_EQ(p.listFolder("C:"), (Names{"dAtA", "save.Dat"}));
  EXPECT_EQ(p.fileAttributes("C:\\DATA"), kAttributeDirectory);
  EXPECT_EQ(p.readFile("C:\\SAVE.DAT"), "2");

  constexpr int kMembers = 3000;
  for (int i = 0; i < kMembers; ++i) ASSERT_TRUE(p.writeFile("C:\\dAtA\\File" + std::to_string(i), std::to_string(i)));
  for (int i = 0; i < kMembers; i += 7) EXPECT_EQ(p.readFile("c:\\data\\FILE" + std::to_string(i)), std::to_string(i));
  EXPECT_FALSE(p.readFile("C:\\data\\File" + std::to_string(kMembers)));
}

TEST(MemoryListing, OrdersAndTheRootOfTheCurrentDrive) {
  MemoryPlatform p;
  ASSERT_TRUE(p.createDirectories("C:\\dir"));
  for (const char* name : {"b.txt", "C.txt", "a.txt", "_x"}) ASSERT_TRUE(p.writeFile(std::string("C:\\dir\\") + name, ""));

  struct Case {
    ListingOrder order;
    Names expected;
  };
  const Case cases[] = {
      {ListingOrder::Creation, {".", "..", "b.txt", "C.txt", "a.txt", "_x"}},
      {ListingOrder::Reverse, {".", "..", "_x", "a.txt", "C.txt", "b.txt"}},
      {ListingOrder::Sorted, {".", "..", "a.txt", "b.txt", "C.txt", "_x"}},
  };
  for (const auto& c : cases) {
    p.setListingOrder(c.order);
    EXPECT_EQ(p.listFolder("C:\\dir"), c.expected);
  }

  // Named members first, the others after them in creation order; the
  // global order does not apply to such a folder.
  p.setListingOrder("c:\\DIR", {"A.TXT", "missing", "_x"});
  EXPECT_EQ(p.listFolder("C:\\dir\\"), (Names{".", "..", "a.txt", "_x", "b.txt", "C.txt"}));

  // A root has no dots; an empty folder name lists the current drive's root.
  ASSERT_TRUE(p.setCurrentDirectory("C:\\dir"));
  EXPECT_EQ(p.listFolder(""), (Names{"dir"}));
  EXPECT_EQ(p.listFolder("C:"), (Names{"dir"}));
}

TEST(MemoryJunctions, PathsThroughThemActOnTheTarget) {
  MemoryPlatform p;
  ASSERT_TRUE(p.createDirectories("C:\\data\\inner"));
  ASSERT_TRUE(p.writeFile("C:\\data\\old.bin", "old"));
  ASSERT_TRUE(p.addJunction("C:\\link", "C:\\data"));
  EXPECT_FALSE(p.addJunction("C:\\link", "C:\\data"));
  EXPECT_EQ(p.fileAttributes("C:\\link"), kAttributeDirectory | kAttributeReparsePoint);

  ASSERT_TRUE(p.writeFile("C:\\link\\new.bin", "new"));
  EXPECT_EQ(p.readFile("C:\\data\\new.bin"), "new");
  EXPECT_TRUE(p.deleteFile("C:\\link\\old.bin"));
  EXPECT_FALSE(p.exists("C:\\data\\old.bin"));
  EXPECT_TRUE(p.createDirectory("C:\\link\\made"));
  EXPECT_TRUE(p.removeDirectory("C:\\link\\inner"));
  EXPECT_EQ(p.listFolder("C:\\data"), (Names{".", "..", "new.bin", "made"}));
  EXPECT_EQ(p.listFolder("C:\\link"), p.listFolder("C:\\data"));
  ASSERT_TRUE(p.setCurrentDirectory("C:\\link\\made"));
  EXPECT_FALSE(p.removeDirectory("C:\\data\\made"));  // the current directory, reached another way
  ASSERT_TRUE(p.setCurrentDirectory("C:\\"));

  EXPECT_TRUE(p.removeDirectory("C:\\link"));  // the link only, though the target holds files
  EXPECT_EQ(p.readFile("C:\\data\\new.bin"), "new");
  EXPECT_EQ(p.listFolder("C:\\"), (Names{"data"}));

  // A dangling junction and a loop lead nowhere, and neither hangs.
  ASSERT_TRUE(p.addJunction("C:\\dangling", "C:\\gone"));
  EXPECT_EQ(p.listFolder("C:\\dangling"), std::nullopt);
  EXPECT_FALSE(p.writeFile("C:\\dangling\\f", ""));
  ASSERT_TRUE(p.addJunction("C:\\loop1", "C:\\loop2"));
  ASSERT_TRUE(p.addJunction("C:\\loop2", "C:\\loop1\\x"));
  EXPECT_EQ(p.fileAttributes("C:\\loop1\\x\\y"), kInvalidAttributes);
  EXPECT_TRUE(p.removeDirectory("C:\\dangling"));
}

TEST(MemoryFaults, WritesFallShort) {
  struct Case {
    const char* what;
    std::function<void(MemoryPlatform&)> arm;
    std::vector<size_t> writes;
    std::vector<size_t> accepted;
  };
  const Case cases[] = {
      {"no fault", [](MemoryPlatform&) {}, {4, 4}, {4, 4}},
      {"capacity", [](MemoryPlatform& p) { p.setWriteCapacity(10); }, {6, 6, 6}, {6, 4, 0}},
      {"second write to the file", [](MemoryPlatform& p) { p.shortWrite("C:\\dest\\FILE.bin", 2, 3); }, {5, 5, 5},
       {5, 3, 5}},
      {"every write to the file", [](MemoryPlatform& p) { p.shortWrite("C:\\dest\\file.bin", platform::kEveryCall); },
       {5, 5}, {0, 0}},
      {"third write to any file", [](MemoryPlatform& p) { p.shortWrite("", 3, 1); }, {2, 2, 2, 2}, {2, 2, 1, 2}},
      {"another file", [](MemoryPlatform& p) { p.shortWrite("C:\\dest\\other.bin", 1); }, {2}, {2}},
      {"cleared", [](MemoryPlatform& p) {
         p.setWriteCapacity(0);
         p.shortWrite("", 1);
         p.clearFaults();
       }, {3}, {3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryPlatform p;
    ASSERT_TRUE(p.createDirectories("C:\\dest"));
    c.arm(p);
    EXPECT_EQ(writeChunks(p, "C:\\dest\\file.bin", c.writes), c.accepted);
    size_t total = 0;
    for (size_t n : c.accepted) total += n;
    EXPECT_EQ(p.readFile("C:\\dest\\file.bin"), std::string(total, 'w'));
  }
}

TEST(MemoryFaults, WriteCountsCarryAcrossStreamsAndCapacityIsShared) {
  MemoryPlatform p;
  p.shortWrite("C:\\a.bin", 3, 0);
  p.setWriteCapacity(100);
  EXPECT_EQ(writeChunks(p, "C:\\a.bin", {1, 1}), (std::vector<size_t>{1, 1}));
  EXPECT_EQ(writeChunks(p, "C:\\a.bin", {1, 1}), (std::vector<size_t>{0, 1}));
  EXPECT_EQ(writeChunks(p, "C:\\b.bin", {97}), (std::vector<size_t>{97}));
  EXPECT_EQ(p.writeCapacity(), 0u);
  EXPECT_EQ(p.writeCount(), 5);
}

TEST(MemoryFaults, OpensFail) {
  MemoryPlatform p;
  ASSERT_TRUE(p.writeFile("C:\\src.bin", "source"));
  p.failOpen("c:\\SRC.BIN", OpenMode::Read, 2);
  p.failOpen("C:\\new.bin", OpenMode::Write);

  EXPECT_TRUE(p.openStream("C:\\src.bin", OpenMode::Read));
  EXPECT_FALSE(p.openStream("C:\\src.bin", OpenMode::Read));
  EXPECT_TRUE(p.openStream("C:\\src.bin", OpenMode::Read));
  EXPECT_TRUE(p.openStream("C:\\src.bin", OpenMode::Write));
  // An open that would fail anyway does not count.
  EXPECT_FALSE(p.openStream("C:\\missing.bin", OpenMode::Read));
  EXPECT_FALSE(p.openStream("C:\\new.bin", OpenMode::Write));
  EXPECT_FALSE(p.openStream("C:\\new.bin", OpenMode::Write));
  EXPECT_FALSE(p.exists("C:\\new.bin"));
  EXPECT_EQ(p.openCount(OpenMode::Read), 2);
  EXPECT_EQ(p.openCount(OpenMode::Write), 1);

  // A link is written through the same open.
  EXPECT_FALSE(p.writeShellLink("C:\\new.bin", {"C:\\src.bin", "", "C:\\", platform::kSwShowNormal}));
  EXPECT_TRUE(p.shellLinks().empty());
}

TEST(MemoryFaults, ReadsFailAfterAnOffset) {
  MemoryPlatform p;
  ASSERT_TRUE(p.writeFile("C:\\src.bin", "0123456789"));
  p.failReadAfter("C:\\src.bin", 5);
  auto stream = p.openStream("C:\\src.bin", OpenMode::Read);
  ASSERT_TRUE(stream);
  char buffer[16] = {};
  EXPECT_EQ(stream->read(buffer, 3), 3u);
  EXPECT_FALSE(stream->readError());
  EXPECT_EQ(stream->read(buffer, 10), 2u);
  EXPECT_EQ(std::string(buffer, 2), "34");
  EXPECT_TRUE(stream->readError());
  EXPECT_EQ(stream->read(buffer, 10), 0u);

  ASSERT_TRUE(p.writeFile("C:\\short.bin", "01234"));
  p.failReadAfter("C:\\short.bin", 5);  // nothing lies beyond: the end, not an error
  auto whole = p.openStream("C:\\short.bin", OpenMode::Read);
  EXPECT_EQ(whole->read(buffer, 10), 5u);
  EXPECT_FALSE(whole->readError());
}

TEST(MemoryStreams, OpenStreamsAreCountedAndOutliveThePlatform) {
  std::unique_ptr<platform::Stream> survivor;
  {
    MemoryPlatform p;
    ASSERT_TRUE(p.writeFile("C:\\a.bin", "abc"));
    auto first = p.openStream("C:\\a.bin", OpenMode::Read);
    auto second = p.openStream("C:\\b.bin", OpenMode::Write);
    EXPECT_EQ(p.openStreamCount(), 2);
    EXPECT_FALSE(p.deleteFile("C:\\b.bin"));
    second.reset();
    EXPECT_EQ(p.openStreamCount(), 1);
    EXPECT_TRUE(p.deleteFile("C:\\b.bin"));
    survivor = std::move(first);
  }
  char buffer[3];
  EXPECT_EQ(survivor->read(buffer, 3), 3u);
  EXPECT_EQ(std::string(buffer, 3), "abc");
}

TEST(MemorySnapshots, EqualAfterNothingChangedAndDescribedAfterChanges) {
  MemoryPlatform p;
  p.installTypicalWindows();
  ASSERT_TRUE(p.createDirectories("C:\\game"));
  ASSERT_TRUE(p.writeFile("C:\\game\\save.dat", "save"));
  ASSERT_TRUE(p.writeFile("C:\\game\\gone.dat", "x"));
  ASSERT_TRUE(p.setRegistryString(Hive::CurrentUser, "software\\Title", "PATH", "C:\\game"));
  const platform::Snapshot before = p.snapshot();

  // Reading, listing and failing change nothing.
  p.listFolder("C:\\game");
  p.openStream("C:\\game\\save.dat", OpenMode::Read);
  p.createDirectory("C:\\game");
  p.deleteKey(Hive::CurrentUser, "software");
  p.removeDirectory("C:\\game");
  EXPECT_EQ(p.snapshot(), before);
  EXPECT_EQ(platform::describeDifference(before, p.snapshot()), "");

  ASSERT_TRUE(p.writeFile("C:\\game\\save.dat", "changed"));
  ASSERT_TRUE(p.deleteFile("C:\\game\\gone.dat"));
  ASSERT_TRUE(p.createDirectory("C:\\game\\" + sjis("ソフト")));
  ASSERT_TRUE(p.setRegistryString(Hive::CurrentUser, "software\\Title", "PATH", "D:\\"));
  ASSERT_TRUE(p.deleteKey(Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup"));
  const platform::Snapshot after = p.snapshot();
  EXPECT_NE(after, before);
  EXPECT_EQ(platform::describeDifference(before, after),
            "- C:\\game\\gone.dat (file 0x20, 1 bytes \"x\")\n"
            "~ C:\\game\\save.dat: file 0x20, 4 bytes \"save\" -> file 0x20, 7 bytes \"changed\"\n"
            "+ C:\\game\\ソフト (folder)\n"
            "~ HKCU\\Software\\Title [PATH]: \"C:\\game\" -> \"D:\\\"\n"
            "- key HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup\n");
}

TEST(MemoryRegistry, StartsWithSoftwareAndTypicalValues) {
  MemoryPlatform p;
  EXPECT_TRUE(p.keyExists(Hive::CurrentUser, "SOFTWARE"));
  EXPECT_FALSE(p.keyExists(Hive::CurrentUser, "software\\Microsoft"));
  p.installTypicalWindows();
  EXPECT_EQ(p.registryString(Hive::LocalMachine, "software\\microsoft\\windows\\currentversion", "programfilesdir"),
            "C:\\Program Files");
  EXPECT_EQ(p.registryString(Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup", "BootDir"),
            "C:\\");
  auto programs = p.registryString(
      Hive::CurrentUser, "software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Programs");
  ASSERT_TRUE(programs);
  EXPECT_EQ(p.fileAttributes(*programs), kAttributeDirectory);

  // A handle on a deleted key fails from then on.
  auto key = p.createKey(Hive::CurrentUser, "software\\Doomed");
  ASSERT_TRUE(key);
  ASSERT_TRUE(p.deleteKey(Hive::CurrentUser, "software\\Doomed"));
  EXPECT_FALSE(key->setString("PATH", "x"));
  EXPECT_FALSE(p.keyExists(Hive::CurrentUser, "software\\Doomed"));
  EXPECT_FALSE(p.createKey(Hive::CurrentUser, "software\\\\empty name"));
}

TEST(MemoryRecords, MessageBoxesAnswerFromTheQueueOrTheHook) {
  MemoryPlatform p;
  p.queueMessageBoxAnswer(kIdCancel);
  EXPECT_EQ(p.messageBox(7, "info", "caption", kMbOk), kIdOk);  // takes nothing from the queue
  EXPECT_EQ(p.messageBox(7, "sure?", "confirm", kMbOkCancel), kIdCancel);
  EXPECT_EQ(p.messageBox(0, "again?", "confirm", kMbOkCancel), kIdOk);  // the queue is empty

  std::vector<bool> fileExistedWhenShown;
  p.setMessageBoxHook([&](const platform::MessageBoxRecord& box) {
    fileExistedWhenShown.push_back(p.exists("C:\\f"));
    return box.text == "cancel me" ? kIdCancel : kIdOk;
  });
  EXPECT_EQ(p.messageBox(0, "cancel me", "c", kMbOkCancel), kIdCancel);
  ASSERT_TRUE(p.writeFile("C:\\f", ""));
  EXPECT_EQ(p.messageBox(0, "cancel me", "c", kMbOk), kIdOk);
  EXPECT_EQ(fileExistedWhenShown, (std::vector<bool>{false, true}));

  ASSERT_EQ(p.messageBoxes().size(), 5u);
  const auto& box = p.messageBoxes()[1];
  EXPECT_EQ(box.owner, 7u);
  EXPECT_EQ(box.text, "sure?");
  EXPECT_EQ(box.caption, "confirm");
  EXPECT_EQ(box.type, kMbOkCancel);
  EXPECT_EQ(box.answer, kIdCancel);
}

TEST(MemoryRecords, ProcessesShellOpensLinksAndTimerBalance) {
  MemoryPlatform p;
  ASSERT_TRUE(p.createDirectories("C:\\game"));
  ASSERT_TRUE(p.writeFile("C:\\game\\origin.exe", "MZ"));
  ASSERT_TRUE(p.writeFile("C:\\readme.txt", ""));
  ASSERT_TRUE(p.setCurrentDirectory("C:\\game"));

  EXPECT_TRUE(p.createProcess("origin.exe", "origin.exe /l", platform::kCreateNewConsole, "C:\\game"));
  EXPECT_TRUE(p.createProcess("", "\"C:\\game\\origin.exe\" /l", 0, ""));
  EXPECT_FALSE(p.createProcess("C:\\game\\origin.exe", "x", 0, "C:\\nowhere"));
  EXPECT_FALSE(p.createProcess("missing.exe", "missing.exe", 0, ""));
  ASSERT_EQ(p.processes().size(), 4u);
  const auto& first = p.processes()[0];
  EXPECT_EQ(first.application, "origin.exe");
  EXPECT_EQ(first.commandLine, "origin.exe /l");
  EXPECT_EQ(first.creationFlags, platform::kCreateNewConsole);
  EXPECT_EQ(first.currentDirectory, "C:\\game");
  EXPECT_TRUE(first.started);
  EXPECT_FALSE(p.processes()[3].started);

  EXPECT_TRUE(p.shellOpen("..\\readme.txt"));
  EXPECT_FALSE(p.shellOpen("manual.txt"));
  ASSERT_EQ(p.shellOpens().size(), 2u);
  EXPECT_EQ(p.shellOpens()[0].file, "..\\readme.txt");
  EXPECT_TRUE(p.shellOpens()[0].opened);
  EXPECT_FALSE(p.shellOpens()[1].opened);

  const platform::ShellLink link{"C:\\game\\origin.exe", "/l", "C:\\game", platform::kSwShowNormal};
  ASSERT_TRUE(p.writeShellLink("game.lnk", link));
  ASSERT_EQ(p.shellLinks().size(), 1u);
  EXPECT_EQ(p.shellLinks()[0].path, "game.lnk");
  EXPECT_EQ(p.shellLinks()[0].link, link);
  EXPECT_EQ(p.readShellLink("C:\\game\\GAME.LNK"), link);

  p.beginHighTimerResolution();
  EXPECT_TRUE(p.highTimerResolutionActive());
  p.endHighTimerResolution();
  p.endHighTimerResolution();
  EXPECT_FALSE(p.highTimerResolutionActive());
  EXPECT_EQ(p.highTimerResolutionBalance(), -1);
}

}  // namespace
