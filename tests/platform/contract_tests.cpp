// What the installer relies on from its platform, checked the same way
// against every backend: the in-memory Windows natively and the real one
// under Wine. Listings are compared without regard to order, which differs
// between file systems.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/sjis.h"
#include "tests/platform/contract.h"
#include "tests/support/sjis_text.h"

using platform::Hive;
using platform::kAttributeDirectory;
using platform::kAttributeReadOnly;
using platform::kAttributeReparsePoint;
using platform::kInvalidAttributes;
using platform::OpenMode;
using platform::SeekOrigin;

namespace {

using Names = std::vector<std::string>;

class PlatformContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = makeContractEnvironment();
    ASSERT_TRUE(env_);
    root_ = env_->root();
  }

  platform::Platform& p() { return env_->platform(); }
  std::string in(const std::string& name) const { return joinPath(root_, name); }

  bool put(const std::string& path, const std::string& bytes) {
    auto stream = p().openStream(path, OpenMode::Write);
    return stream && stream->write(bytes.data(), bytes.size()) == bytes.size();
  }

  std::optional<std::string> get(const std::string& path) {
    auto stream = p().openStream(path, OpenMode::Read);
    if (!stream) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    while (size_t n = stream->read(buffer, sizeof buffer)) bytes.append(buffer, n);
    if (stream->readError()) return std::nullopt;
    return bytes;
  }

  // The names listed, sorted; nullopt when the listing failed or left a
  // name out.
  std::optional<Names> sortedListing(const std::string& folder) {
    auto listing = p().listFolder(folder);
    if (!listing || listing->unrepresentable != 0) return std::nullopt;
    std::sort(listing->names.begin(), listing->names.end());
    return listing->names;
  }

  std::optional<std::string> valueOf(const std::string& key, const std::string& name) {
    auto opened = p().openKey(Hive::CurrentUser, key);
    return opened ? opened->queryString(name) : std::nullopt;
  }

  std::optional<uint32_t> subkeysOf(const std::string& key) {
    auto opened = p().openKey(Hive::CurrentUser, key);
    return opened ? opened->subkeyCount() : std::nullopt;
  }

  bool isFolder(const std::string& path) {
    uint32_t attributes = p().fileAttributes(path);
    return attributes != kInvalidAttributes && (attributes & kAttributeDirectory);
  }

  std::unique_ptr<ContractEnvironment> env_;
  std::string root_;
};

TEST_F(PlatformContract, FoldersAreCreatedOnceAndRemovedOnlyWhenEmpty) {
  EXPECT_TRUE(p().createDirectory(in("a")));
  EXPECT_TRUE(isFolder(in("a")));
  EXPECT_FALSE(p().createDirectory(in("a")));
  EXPECT_FALSE(p().createDirectory(in("missing\\b")));
  EXPECT_EQ(p().fileAttributes(in("missing")), kInvalidAttributes);

  ASSERT_TRUE(put(in("a\\f.txt"), "kept"));
  ASSERT_TRUE(p().createDirectory(in("a\\sub")));
  EXPECT_FALSE(p().removeDirectory(in("a")));
  EXPECT_EQ(get(in("a\\f.txt")), "kept");
  EXPECT_EQ(sortedListing(in("a")), (Names{".", "..", "f.txt", "sub"}));

  EXPECT_FALSE(p().removeDirectory(in("a\\f.txt")));
  EXPECT_EQ(get(in("a\\f.txt")), "kept");
  EXPECT_FALSE(p().removeDirectory(in("missing")));

  EXPECT_TRUE(p().deleteFile(in("a\\f.txt")));
  EXPECT_TRUE(p().removeDirectory(in("a\\sub")));
  EXPECT_TRUE(p().removeDirectory(in("a")));
  EXPECT_EQ(p().fileAttributes(in("a")), kInvalidAttributes);
  EXPECT_EQ(sortedListing(root_), (Names{".", ".."}));
}

TEST_F(PlatformContract, FileDeletionAndAttributes) {
  ASSERT_TRUE(put(in("plain.bin"), "1"));
  ASSERT_TRUE(put(in("locked.bin"), "2"));
  ASSERT_TRUE(env_->makeReadOnly(in("locked.bin")));
  ASSERT_TRUE(p().createDirectory(in("folder")));

  // A missing path reads as all bits set, the folder bit among them.
  EXPECT_EQ(p().fileAttributes(in("missing.bin")), kInvalidAttributes);
  EXPECT_EQ(p().fileAttributes(in("missing\\deeper.bin")), kInvalidAttributes);
  EXPECT_TRUE(kInvalidAttributes & kAttributeDirectory);
  EXPECT_EQ(p().fileAttributes(in("plain.bin")) & (kAttributeDirectory | kAttributeReadOnly), 0u);
  EXPECT_EQ(p().fileAttributes(in("locked.bin")) & (kAttributeDirectory | kAttributeReadOnly), kAttributeReadOnly);
  EXPECT_TRUE(isFolder(in("folder")));

  EXPECT_FALSE(p().deleteFile(in("missing.bin")));
  EXPECT_FALSE(p().deleteFile(in("folder")));
  EXPECT_TRUE(isFolder(in("folder")));
  EXPECT_FALSE(p().deleteFile(in("locked.bin")));
  EXPECT_FALSE(p().openStream(in("locked.bin"), OpenMode::Write));
  EXPECT_EQ(get(in("locked.bin")), "2");

  {
    auto open = p().openStream(in("plain.bin"), OpenMode::Read);
    ASSERT_TRUE(open);
    EXPECT_FALSE(p().deleteFile(in("plain.bin")));  // held by the open stream
  }
  EXPECT_TRUE(p().deleteFile(in("plain.bin")));
  EXPECT_EQ(p().fileAttributes(in("plain.bin")), kInvalidAttributes);
}

TEST_F(PlatformContract, ListingGivesBareNamesWithDotsInSubfolders) {
  ASSERT_TRUE(p().createDirectory(in("list")));
  ASSERT_TRUE(put(in("list\\x.txt"), ""));
  ASSERT_TRUE(put(in("list\\noext"), ""));
  ASSERT_TRUE(p().createDirectory(in("list\\z")));
  ASSERT_TRUE(put(in("list\\.keep"), ""));

  EXPECT_EQ(sortedListing(in("list")), (Names{".", "..", ".keep", "noext", "x.txt", "z"}));
  EXPECT_EQ(sortedListing(in("list\\z")), (Names{".", ".."}));
  EXPECT_EQ(p().listFolder(in("missing")), std::nullopt);
  EXPECT_EQ(p().listFolder(in("list\\x.txt")), std::nullopt);
}

// A name outside code page 932 is reported, never turned into a look-alike:
// best-fit would list "x¥..¥..¥victim" as "x\..\..\victim", a way out of the
// folder, and "Élan.txt" as "Elan.txt", another file. The current directory
// inside such a folder cannot be told, yet is put back exactly; a registry
// value of such text cannot be read.
TEST_F(PlatformContract, NamesWithoutAShiftJisFormAreReportedNeverReplaced) {
  ASSERT_TRUE(p().createDirectory(in("list")));
  ASSERT_TRUE(put(in("list\\plain.txt"), ""));
  ASSERT_TRUE(env_->makeForeignNames(in("list")));
  auto listing = p().listFolder(in("list"));
  ASSERT_TRUE(listing);
  std::sort(listing->names.begin(), listing->names.end());
  EXPECT_EQ(listing->names, (Names{".", "..", "plain.txt"}));
  EXPECT_EQ(listing->unrepresentable, 2);

  ASSERT_TRUE(env_->enterForeignFolder(in("list")));
  EXPECT_EQ(p().currentDirectory(), "");
  ASSERT_TRUE(put("inside.txt", "in the foreign folder"));
  {
    auto saved = p().saveCurrentDirectory();
    ASSERT_TRUE(p().setCurrentDirectory(root_));
    EXPECT_EQ(get("inside.txt"), std::nullopt);
  }
  EXPECT_EQ(p().currentDirectory(), "");
  EXPECT_EQ(get("inside.txt"), "in the foreign folder");
  ASSERT_TRUE(p().setCurrentDirectory(root_));

  const std::string key = env_->registryRoot();
  ASSERT_TRUE(env_->setForeignValue(key, "PATH"));
  EXPECT_TRUE(subkeysOf(key));  // the key opens; only the value fails
  EXPECT_EQ(valueOf(key, "PATH"), std::nullopt);
}

TEST_F(PlatformContract, RelativeNamesFollowTheCurrentDirectory) {
  const std::string saved = p().currentDirectory();
  ASSERT_TRUE(p().createDirectory(in("cwd")));
  ASSERT_TRUE(p().setCurrentDirectory(in("cwd")));
  EXPECT_TRUE(p().equalsIgnoreCase(p().currentDirectory(), in("cwd")));

  EXPECT_TRUE(p().createDirectory("rel"));
  EXPECT_TRUE(put("rel\\f.bin", "relative"));
  EXPECT_EQ(get(in("cwd\\rel\\f.bin")), "relative");
  EXPECT_EQ(get("..\\cwd\\rel\\f.bin"), "relative");
  EXPECT_EQ(sortedListing("rel"), (Names{".", "..", "f.bin"}));
  // The current directory is held open and cannot be removed.
  EXPECT_FALSE(p().removeDirectory(in("cwd")));

  EXPECT_FALSE(p().setCurrentDirectory(in("missing")));
  EXPECT_FALSE(p().setCurrentDirectory(in("cwd\\rel\\f.bin")));
  EXPECT_TRUE(p().equalsIgnoreCase(p().currentDirectory(), in("cwd")));

  // "X:name" continues the current directory on its own drive.
  EXPECT_TRUE(p().equalsIgnoreCase(p().currentFolderOfDrive(root_[0]), in("cwd")));

  ASSERT_TRUE(p().setCurrentDirectory(saved));
  EXPECT_EQ(p().currentDirectory(), saved);
  EXPECT_TRUE(p().deleteFile(in("cwd\\rel\\f.bin")));
  EXPECT_TRUE(p().removeDirectory(in("cwd\\rel")));
  EXPECT_TRUE(p().removeDirectory(in("cwd")));
}

TEST_F(PlatformContract, StreamsRoundTripTruncateAndMeasure) {
  std::string bytes(100000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  {
    auto out = p().openStream(in("data.bin"), OpenMode::Write);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->write(bytes.data(), 60000), 60000u);
    EXPECT_EQ(out->write(bytes.data() + 60000, 40000), 40000u);
    EXPECT_TRUE(out->flush());
    EXPECT_EQ(out->tell(), 100000);
  }
  {
    auto file = p().openStream(in("data.bin"), OpenMode::Read);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->seek(0, SeekOrigin::End));
    EXPECT_EQ(file->tell(), 100000);
    ASSERT_TRUE(file->seek(0, SeekOrigin::Begin));
    std::string back(bytes.size() + 10, 'x');
    EXPECT_EQ(file->read(back.data(), back.size()), bytes.size());
    back.resize(bytes.size());
    EXPECT_EQ(back, bytes);
    char more;
    EXPECT_EQ(file->read(&more, 1), 0u);
    EXPECT_FALSE(file->readError());
  }

  ASSERT_TRUE(put(in("data.bin"), "xy"));  // "wb" truncates
  EXPECT_EQ(get(in("data.bin")), "xy");
  ASSERT_TRUE(put(in("empty.bin"), ""));
  EXPECT_EQ(get(in("empty.bin")), "");

  EXPECT_FALSE(p().openStream(in("missing.bin"), OpenMode::Read));
  EXPECT_EQ(p().fileAttributes(in("missing.bin")), kInvalidAttributes);
  EXPECT_FALSE(p().openStream(in("missing\\new.bin"), OpenMode::Write));
  ASSERT_TRUE(p().createDirectory(in("folder")));
  EXPECT_FALSE(p().openStream(in("folder"), OpenMode::Read));
  EXPECT_FALSE(p().openStream(in("folder"), OpenMode::Write));
  EXPECT_TRUE(isFolder(in("folder")));
}

// The copy's destination, opened new: what was flushed reads back while it
// is written, and the file is held against deletion until it is closed
// (a rollback closes the pair before it deletes).
TEST_F(PlatformContract, AFileBeingWrittenReadsBackAndIsHeldUntilClosed) {
  {
    auto out = p().openStream(in("new.bin"), OpenMode::Write);
    ASSERT_TRUE(out);
    ASSERT_EQ(out->write("abc", 3), 3u);
    ASSERT_TRUE(out->flush());
    EXPECT_EQ(get(in("new.bin")), "abc");
    EXPECT_FALSE(p().deleteFile(in("new.bin")));
    EXPECT_EQ(p().fileAttributes(in("new.bin")) & (kAttributeDirectory | kAttributeReadOnly), 0u);
  }
  EXPECT_TRUE(p().deleteFile(in("new.bin")));
  EXPECT_EQ(p().fileAttributes(in("new.bin")), kInvalidAttributes);
}

TEST_F(PlatformContract, RegistryKeysAndValues) {
  const std::string key = env_->registryRoot();
  EXPECT_FALSE(p().openKey(Hive::CurrentUser, key));
  {
    auto created = p().createKey(Hive::CurrentUser, key + "\\nested\\deeper");  // missing parents too
    ASSERT_TRUE(created);
  }
  {
    auto created = p().createKey(Hive::CurrentUser, key);  // opens the existing key
    ASSERT_TRUE(created);
    EXPECT_TRUE(created->setString("PATH", "C:\\Games\\Title"));
    EXPECT_TRUE(created->setString("Fits", std::string(1023, 'f')));
    EXPECT_TRUE(created->setString("TooLong", std::string(1024, 't')));
    EXPECT_TRUE(created->setString("Empty", ""));
  }
  {
    auto opened = p().openKey(Hive::CurrentUser, key);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->queryString("PATH"), "C:\\Games\\Title");
    EXPECT_EQ(opened->queryString("path"), "C:\\Games\\Title");
    EXPECT_EQ(opened->queryString("Fits"), std::string(1023, 'f'));
    EXPECT_EQ(opened->queryString("TooLong"), std::nullopt);
    EXPECT_EQ(opened->queryString("TooLong", 1025), std::string(1024, 't'));
    EXPECT_EQ(opened->queryString("Empty"), "");
    EXPECT_EQ(opened->queryString("Missing"), std::nullopt);
    EXPECT_EQ(opened->subkeyCount(), 1u);
    EXPECT_FALSE(opened->setString("PATH", "refused"));  // opened for reading only
  }
  {
    auto replaced = p().createKey(Hive::CurrentUser, key);
    ASSERT_TRUE(replaced);
    EXPECT_TRUE(replaced->setString("path", "D:\\Other"));
    // A journal of some megabytes, and the values deleted one by one.
    EXPECT_TRUE(replaced->setString("Large", std::string(3 << 20, 'j')));
    EXPECT_TRUE(replaced->setDword("Number", 7));
    EXPECT_EQ(p().openKey(Hive::CurrentUser, key)->queryString("Large", 4 << 20), std::string(3 << 20, 'j'));
    EXPECT_TRUE(replaced->deleteValue("large"));
    EXPECT_FALSE(replaced->deleteValue("Large"));
    EXPECT_TRUE(replaced->deleteValue("Number"));
    EXPECT_FALSE(replaced->deleteValue("Missing"));
  }
  EXPECT_EQ(valueOf(key, "PATH"), "D:\\Other");
  EXPECT_EQ(valueOf(key, "Large"), std::nullopt);
  EXPECT_EQ(p().openKey(Hive::CurrentUser, key)->valueCount(), 4u);
  EXPECT_EQ(p().openKey(Hive::CurrentUser, key + "\\nested")->valueCount(), 0u);
  EXPECT_TRUE(p().flushRegistry(Hive::CurrentUser));

  // A key with a subkey stays, values and all.
  EXPECT_FALSE(p().deleteKey(Hive::CurrentUser, key + "\\nested"));
  EXPECT_FALSE(p().deleteKey(Hive::CurrentUser, key));
  ASSERT_TRUE(p().openKey(Hive::CurrentUser, key + "\\nested\\deeper"));
  EXPECT_EQ(valueOf(key, "PATH"), "D:\\Other");

  EXPECT_TRUE(p().deleteKey(Hive::CurrentUser, key + "\\nested\\deeper"));
  EXPECT_TRUE(p().deleteKey(Hive::CurrentUser, key + "\\NESTED"));
  EXPECT_EQ(subkeysOf(key), 0u);
  EXPECT_TRUE(p().deleteKey(Hive::CurrentUser, key));  // its values go with it
  EXPECT_FALSE(p().openKey(Hive::CurrentUser, key));
  EXPECT_FALSE(p().deleteKey(Hive::CurrentUser, key));
  EXPECT_FALSE(p().deleteKey(Hive::CurrentUser, key + "\\nested"));
}

TEST_F(PlatformContract, ShiftJisNamesWithBackslashTrailBytes) {
  // ソ, 表 and 能 end in 0x5C, the byte of "\".
  const std::string folder = sjis("ソフト");
  const std::string file = sjis("表示能力.txt");
  ASSERT_EQ(folder.substr(0, 2), "\x83\x5C");

  ASSERT_TRUE(p().createDirectory(in(folder)));
  EXPECT_TRUE(isFolder(in(folder)));
  ASSERT_TRUE(put(in(folder + "\\" + file), "sjis"));
  EXPECT_EQ(sortedListing(root_), (Names{".", "..", folder}));
  EXPECT_EQ(sortedListing(in(folder)), (Names{".", "..", file}));
  EXPECT_EQ(get(in(folder + "\\" + file)), "sjis");
  EXPECT_FALSE(p().removeDirectory(in(folder)));
  EXPECT_TRUE(p().deleteFile(in(folder + "\\" + file)));
  EXPECT_TRUE(p().removeDirectory(in(folder)));
  EXPECT_EQ(p().fileAttributes(in(folder)), kInvalidAttributes);

  const std::string key = env_->registryRoot() + "\\" + folder;
  {
    auto created = p().createKey(Hive::CurrentUser, key);
    ASSERT_TRUE(created);
    EXPECT_TRUE(created->setString(sjis("表"), sjis("C:\\ゲーム\\ソフト")));
  }
  auto opened = p().openKey(Hive::CurrentUser, key);
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->queryString(sjis("表")), sjis("C:\\ゲーム\\ソフト"));
  EXPECT_EQ(subkeysOf(env_->registryRoot()), 1u);
  opened.reset();
  EXPECT_TRUE(p().deleteKey(Hive::CurrentUser, key));
  EXPECT_TRUE(p().deleteKey(Hive::CurrentUser, env_->registryRoot()));
}

TEST_F(PlatformContract, ShellLinksRoundTrip) {
  ASSERT_TRUE(put(in("game.exe"), "MZ"));
  const platform::ShellLink link{in("game.exe"), "/l", root_, platform::kSwShowNormal};
  ASSERT_TRUE(p().writeShellLink(in("game.lnk"), link));
  EXPECT_EQ(p().readShellLink(in("game.lnk")), link);

  const platform::ShellLink plain{in("game.exe"), "", root_, platform::kSwShowNormal};
  ASSERT_TRUE(p().writeShellLink(in(sjis("ソフト") + ".lnk"), plain));
  EXPECT_EQ(p().readShellLink(in(sjis("ソフト") + ".lnk")), plain);

  EXPECT_FALSE(p().writeShellLink(in("missing\\game.lnk"), link));
  EXPECT_EQ(p().readShellLink(in("missing.lnk")), std::nullopt);
  EXPECT_EQ(p().readShellLink(in("game.exe")), std::nullopt);

  // A link is an ordinary file: it keeps its folder from being removed.
  ASSERT_TRUE(p().createDirectory(in("group")));
  ASSERT_TRUE(p().writeShellLink(in("group\\game.lnk"), link));
  EXPECT_FALSE(p().removeDirectory(in("group")));
  EXPECT_TRUE(p().deleteFile(in("group\\game.lnk")));
  EXPECT_TRUE(p().removeDirectory(in("group")));
}

TEST_F(PlatformContract, ShellLinkPathsHoldUpTo259Characters) {
  if (std::any_of(root_.begin(), root_.end(), [](char c) { return IsLeadByte(c); })) {
    GTEST_SKIP() << "the lengths below count bytes of an ASCII root";
  }
  // A folder of 238 characters, which CreateDirectory still accepts.
  const std::string deep = in(std::string(238 - root_.size() - 1, 'd'));
  ASSERT_TRUE(p().createDirectory(deep));
  const platform::ShellLink link{in("game.exe"), "/l", root_, platform::kSwShowNormal};
  const std::string longest = deep + "\\" + std::string(16, 'n') + ".lnk";
  ASSERT_EQ(longest.size(), 259u);
  EXPECT_TRUE(p().writeShellLink(longest, link));
  EXPECT_EQ(p().readShellLink(longest), link);
  EXPECT_FALSE(p().writeShellLink(deep + "\\" + std::string(17, 'n') + ".lnk", link));
  EXPECT_EQ(sortedListing(deep), (Names{".", "..", std::string(16, 'n') + ".lnk"}));
}

TEST_F(PlatformContract, CaseIsIgnoredForLettersAsWindowsFoldsThem) {
  struct Case {
    std::string a, b;
    bool equal;
  };
  const Case cases[] = {
      {"Data", "DATA", true},
      {"data\\Save.dat", "DATA\\save.DAT", true},
      {"Data", "Date", false},
      {"Data", "Data ", false},
      {sjis("ア"), sjis("ア"), true},
      // ア is 0x83 0x41 and ヂ 0x83 0x61: trail bytes that differ only as "A" and "a" do.
      {sjis("ア"), sjis("ヂ"), false},
      {sjis("セーブア"), sjis("セーブヂ"), false},
      // Full-width Latin, Greek and Cyrillic letters fold too; width does not.
      {sjis("ＳＡＶＥ"), sjis("ｓａｖｅ"), true},
      {sjis("ΑΒΓΩ"), sjis("αβγω"), true},
      {sjis("ДАННЫЕ ЁЯ"), sjis("данные ёя"), true},
      {sjis("ＳＡＶＥ"), "SAVE", false},
  };
  ASSERT_EQ(sjis("ア"), "\x83\x41");
  ASSERT_EQ(sjis("ヂ"), "\x83\x61");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.a + " / " + c.b);
    EXPECT_EQ(p().equalsIgnoreCase(c.a, c.b), c.equal);
    EXPECT_EQ(p().caseFoldKey(c.a) == p().caseFoldKey(c.b), c.equal);
  }
}

// What the file system makes of a path: letters folded beyond ASCII, "/" as
// a separator, and the dots and spaces Windows drops from the end of names.
TEST_F(PlatformContract, PathsAreReadAsWindowsReadsThem) {
  struct Case {
    std::vector<std::string> folders;  // made in this order
    std::string written, read;         // the file, as written and as read back
    Names listed;                      // what the case's folder then lists
  };
  const Case cases[] = {
      {{"Save"}, "Save\\Slot.dat", "SAVE/slot.DAT", {"Save"}},
      {{sjis("ＳＡＶＥ"), sjis("ＳＡＶＥ\\ΑΒΓ")}, sjis("ＳＡＶＥ\\ΑΒΓ\\ДАННЫЕ.dat"), sjis("ｓａｖｅ/αβγ\\данные.dat"),
       {sjis("ＳＡＶＥ")}},
      {{}, "trail. .", "trail", {"trail"}},
      {{"dot."}, "dot.\\in.dat", "dot\\in.dat", {"dot"}},
  };
  int index = 0;
  for (const Case& c : cases) {
    const std::string folder = in("case" + std::to_string(++index));
    SCOPED_TRACE(c.written);
    ASSERT_TRUE(p().createDirectory(folder));
    for (const std::string& name : c.folders) EXPECT_TRUE(p().createDirectory(joinPath(folder, name)));
    EXPECT_TRUE(put(joinPath(folder, c.written), c.written));
    EXPECT_EQ(get(joinPath(folder, c.read)), c.written);
    Names listed = c.listed;
    listed.insert(listed.begin(), {".", ".."});
    EXPECT_EQ(sortedListing(folder), listed);
  }
}

// A full disk seen through a stream: a tail shorter than the C runtime's
// buffer is reported written, and the failure shows only when the buffer is
// written out; a write larger than the buffer falls short itself.
TEST_F(PlatformContract, AFullDiskShowsAtTheFlushOfAShortTail) {
  const auto full = env_->fileOnAFullDisk();
  if (!full) GTEST_SKIP() << "no full disk here";
  // Where the failure shows.
  enum class At { Write, Flush, Close };
  struct Case {
    size_t bytes;
    At at;
  };
  const Case cases[] = {{256, At::Flush}, {256, At::Close}, {1048576, At::Write}};
  const std::string bytes(1048576, 'f');
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.bytes) + " bytes, failing at " + std::to_string(static_cast<int>(c.at)));
    auto out = p().openStream(*full, OpenMode::Write);
    ASSERT_TRUE(out);
    const size_t accepted = out->write(bytes.data(), c.bytes);
    if (c.at == At::Write) {
      EXPECT_LT(accepted, c.bytes);
      continue;
    }
    EXPECT_EQ(accepted, c.bytes);
    EXPECT_FALSE(c.at == At::Flush ? out->flush() : out->close());
  }
}

TEST_F(PlatformContract, MissingProgramsAndFilesDoNotStart) {
  const std::string program = in("missing.exe");
  std::string commandLine;
  commandLine.append(1, '"').append(program).append("\" /l");
  EXPECT_FALSE(p().createProcess(program, commandLine, platform::kCreateNewConsole, root_));
  EXPECT_FALSE(p().shellOpen(in("missing.txt")));
}

TEST_F(PlatformContract, RemovingAJunctionKeepsItsTarget) {
  ASSERT_TRUE(p().createDirectory(in("target")));
  ASSERT_TRUE(put(in("target\\save.dat"), "save"));
  if (!env_->makeJunction(in("link"), in("target"))) GTEST_SKIP() << "no junctions here";

  uint32_t attributes = p().fileAttributes(in("link"));
  EXPECT_EQ(attributes & (kAttributeDirectory | kAttributeReparsePoint), kAttributeDirectory | kAttributeReparsePoint);
  EXPECT_EQ(sortedListing(in("link")), (Names{".", "..", "save.dat"}));
  EXPECT_EQ(get(in("link\\save.dat")), "save");

  EXPECT_TRUE(p().removeDirectory(in("link")));
  EXPECT_EQ(p().fileAttributes(in("link")), kInvalidAttributes);
  EXPECT_EQ(get(in("target\\save.dat")), "save");
  EXPECT_EQ(sortedListing(in("target")), (Names{".", "..", "save.dat"}));
}

// The copy's destination: made new, or a plain file there truncated; never
// written through another name of a file (a hard link, a symbolic link) or
// into a folder that a link stands for, where an elevated write would reach
// a file of another user's choosing; save data never written over.
TEST_F(PlatformContract, DestinationFilesAreWrittenOnlyIntoWhatTheyAre) {
  using platform::FileError;
  ASSERT_TRUE(p().createDirectory(in("game")));
  ASSERT_TRUE(p().createDirectory(in("victim")));
  ASSERT_TRUE(put(in("victim\\precious.txt"), "precious"));
  struct Case {
    const char* what;
    std::function<bool()> plant;  // false: this system cannot make it
    std::string relative;
    bool createOnly;
    FileError refused;  // None: written
  };
  const Case cases[] = {
      {"a new file", [] { return true; }, "new.bin", false, FileError::None},
      {"a plain file there", [&] { return put(in("game\\old.bin"), "old"); }, "old.bin", false, FileError::None},
      {"a file in a new folder", [&] { return p().createDirectoryBelow(in("game"), "data"); }, "data\\a.bin", false,
       FileError::None},
      {"save data there", [&] { return put(in("game\\save.dat"), "mine"); }, "save.dat", true, FileError::Exists},
      {"a read-only file", [&] { return put(in("game\\ro.bin"), "ro") && env_->makeReadOnly(in("game\\ro.bin")); },
       "ro.bin", false, FileError::AccessDenied},
      {"a hard link", [&] { return env_->makeHardLink(in("victim\\precious.txt"), in("game\\SYSTEM.INI")); },
       "SYSTEM.INI", false, FileError::Other},
      {"a link to a file",
       [&] { return env_->makeFollowedLink(in("game\\origin.exe"), in("victim\\precious.txt")); }, "origin.exe",
       false, FileError::Other},
      {"a folder that is a link", [&] { return env_->makeFollowedLink(in("game\\movie"), in("victim")); },
       "movie\\precious.txt", false, FileError::Other},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.plant()) continue;  // no such link here
    FileError cause = FileError::None;
    auto stream = p().openDestinationFile(in("game"), c.relative, c.createOnly, &cause);
    if (c.refused == FileError::None) {
      ASSERT_TRUE(stream);
      EXPECT_EQ(stream->write("new", 3), 3u);
      EXPECT_TRUE(stream->close());
      EXPECT_EQ(get(joinPath(in("game"), c.relative)), "new");
    } else {
      EXPECT_FALSE(stream);
      EXPECT_EQ(cause, c.refused);
    }
  }
  EXPECT_EQ(get(in("game\\save.dat")), "mine");
  EXPECT_FALSE(p().createDirectoryBelow(in("game"), "movie\\sub"));
  EXPECT_EQ(get(in("victim\\precious.txt")), "precious");
  EXPECT_EQ(sortedListing(in("victim")), (Names{".", "..", "precious.txt"}));
}

// A removal holds the game folder and reaches what it holds from it: a link
// above the folder re-pointed meanwhile (by another user, in a folder of
// theirs) leads it nowhere else. The final path tells where the held folder
// is; a file is the same file under each of its names.
TEST_F(PlatformContract, RemovalStaysInTheFolderItHolds) {
  for (const char* side : {"real", "victim"}) {
    ASSERT_TRUE(p().createDirectory(in(side)));
    ASSERT_TRUE(p().createDirectory(in(std::string(side) + "\\Game")));
    ASSERT_TRUE(put(in(std::string(side) + "\\Game\\f.txt"), side));
  }
  ASSERT_TRUE(put(in("real\\Game\\g.txt"), "g"));
  if (!env_->makeFollowedLink(in("link"), in("real"))) GTEST_SKIP() << "no links here";
  auto held = p().openForRemoval(in("link\\Game"));
  ASSERT_TRUE(held);
  const std::string before = held->finalPath();
  EXPECT_TRUE(before.ends_with("\\real\\Game")) << before;
  const auto realFile = p().fileIdentity(in("real\\Game\\f.txt"));
  ASSERT_TRUE(realFile);
  EXPECT_EQ(p().fileIdentity(in("link\\Game\\f.txt")), realFile);
  ASSERT_TRUE(env_->makeHardLink(in("real\\Game\\f.txt"), in("another-name.txt")));
  EXPECT_EQ(p().fileIdentity(in("another-name.txt")), realFile);

  ASSERT_TRUE(env_->repointLink(in("link"), in("victim")));
  EXPECT_EQ(held->finalPath(), before);
  EXPECT_NE(p().fileIdentity(in("link\\Game\\f.txt")), realFile);
  auto file = held->openMember("f.txt");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->identity(), realFile);
  EXPECT_TRUE(file->remove());
  auto moved = held->openMember("g.txt");
  ASSERT_TRUE(moved);
  EXPECT_TRUE(moved->moveTo(in("parked.txt")));
  EXPECT_EQ(get(in("parked.txt")), "g");
  EXPECT_TRUE(held->remove());
  EXPECT_EQ(p().fileAttributes(in("real\\Game")), kInvalidAttributes);
  EXPECT_EQ(get(in("victim\\Game\\f.txt")), "victim");
  EXPECT_EQ(get(in("another-name.txt")), "real");
}

// What a failed call says of its cause, which the player is told.
TEST_F(PlatformContract, FailuresTellTheirCause) {
  using platform::FileError;
  ASSERT_TRUE(p().createDirectory(in("d")));
  ASSERT_TRUE(put(in("locked.bin"), "locked"));
  ASSERT_TRUE(env_->makeReadOnly(in("locked.bin")));
  ASSERT_TRUE(put(in("plain.bin"), "plain"));
  const platform::ShellLink link{in("game.exe"), "", root_, platform::kSwShowNormal};
  struct Case {
    const char* what;
    std::function<bool(FileError*)> fails;
    FileError cause;
  };
  const Case cases[] = {
      {"write in a missing folder", [&](FileError* e) { return !p().openStream(in("missing\\x"), OpenMode::Write, e); },
       FileError::Missing},
      {"read a missing file", [&](FileError* e) { return !p().openStream(in("missing.bin"), OpenMode::Read, e); },
       FileError::Missing},
      {"write a read-only file", [&](FileError* e) { return !p().openStream(in("locked.bin"), OpenMode::Write, e); },
       FileError::AccessDenied},
      {"write a folder", [&](FileError* e) { return !p().openStream(in("d"), OpenMode::Write, e); },
       FileError::AccessDenied},
      {"make an existing folder", [&](FileError* e) { return !p().createDirectory(in("d"), e); }, FileError::Exists},
      {"make a folder in a missing one", [&](FileError* e) { return !p().createDirectory(in("missing\\d"), e); },
       FileError::Missing},
      {"open a missing entry for removal", [&](FileError* e) { return !p().openForRemoval(in("missing"), e); },
       FileError::Missing},
      {"delete a missing file", [&](FileError* e) { return !p().deleteFile(in("missing.bin"), e); },
       FileError::Missing},
      {"delete a read-only file", [&](FileError* e) { return !p().deleteFile(in("locked.bin"), e); },
       FileError::AccessDenied},
      {"delete a folder", [&](FileError* e) { return !p().deleteFile(in("d"), e); }, FileError::AccessDenied},
      {"delete a file a stream holds",
       [&](FileError* e) {
         auto reader = p().openStream(in("plain.bin"), OpenMode::Read);
         return reader && !p().deleteFile(in("plain.bin"), e);
       },
       FileError::InUse},
      {"move a missing file", [&](FileError* e) { return !p().moveFile(in("missing.bin"), in("x.bin"), e); },
       FileError::Missing},
      {"move a folder", [&](FileError* e) { return !p().moveFile(in("d"), in("e"), e); }, FileError::AccessDenied},
      {"move into a missing folder",
       [&](FileError* e) { return !p().moveFile(in("plain.bin"), in("missing\\x.bin"), e); }, FileError::Missing},
      {"write a link in a missing folder",
       [&](FileError* e) { return !p().writeShellLink(in("missing\\game.lnk"), link, e); }, FileError::Missing},
      {"write a link over a folder", [&](FileError* e) { return !p().writeShellLink(in("d"), link, e); },
       FileError::AccessDenied},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FileError cause = FileError::None;
    EXPECT_TRUE(c.fails(&cause));
    EXPECT_EQ(cause, c.cause);
  }
}

// Entries opened for removal take the names of their folder literally, as
// listed, and remove through what they opened; the usual path rules would
// reach a device ("aux.txt") or another file ("a " is "a") instead.
TEST_F(PlatformContract, RemovalEntriesTakeNamesLiterally) {
  ASSERT_TRUE(p().createDirectory(in("save")));
  const Names odd = {"CON", "a ", "aux.txt", "com1.log", "nul.sav", "save."};
  for (const std::string& name : odd) ASSERT_TRUE(env_->makeFileNamed(in("save"), name, name)) << name;
  ASSERT_TRUE(put(in("save\\a"), "plain"));
  EXPECT_FALSE(p().deleteFile(in("save\\aux.txt")));
  EXPECT_EQ(get(in("save\\a ")), "plain");

  auto folder = p().openForRemoval(in("save"));
  ASSERT_TRUE(folder);
  EXPECT_EQ(folder->attributes() & (kAttributeDirectory | kAttributeReparsePoint), kAttributeDirectory);
  auto listing = folder->list();
  ASSERT_TRUE(listing);
  EXPECT_FALSE(listing->failed);
  std::sort(listing->names.begin(), listing->names.end());
  Names expected = odd;
  expected.push_back("a");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listing->names, expected);
  for (const std::string& name : odd) {
    SCOPED_TRACE(name);
    auto member = folder->openMember(name);
    ASSERT_TRUE(member);
    EXPECT_EQ(member->attributes() & kAttributeDirectory, 0u);
    EXPECT_TRUE(member->remove());
  }
  EXPECT_FALSE(folder->remove());  // "a" is still in it
  EXPECT_EQ(sortedListing(in("save")), (Names{".", "..", "a"}));
  EXPECT_EQ(get(in("save\\a")), "plain");
}

// What the removal must leave, and that an entry it holds is not taken from
// it meanwhile.
TEST_F(PlatformContract, RemovalEntriesLeaveWhatIsHeldReadOnlyOrNotEmpty) {
  ASSERT_TRUE(put(in("held.bin"), "held"));
  ASSERT_TRUE(put(in("locked.bin"), "locked"));
  ASSERT_TRUE(env_->makeReadOnly(in("locked.bin")));
  ASSERT_TRUE(p().createDirectory(in("full")));
  ASSERT_TRUE(put(in("full\\x.bin"), "x"));

  {
    auto reader = p().openStream(in("held.bin"), OpenMode::Read);
    ASSERT_TRUE(reader);
    platform::FileError cause = platform::FileError::None;
    EXPECT_FALSE(p().openForRemoval(in("held.bin"), &cause));
    EXPECT_EQ(cause, platform::FileError::InUse);
  }
  auto locked = p().openForRemoval(in("locked.bin"));
  ASSERT_TRUE(locked);
  EXPECT_FALSE(locked->remove());
  EXPECT_EQ(get(in("locked.bin")), "locked");

  auto full = p().openForRemoval(in("full"));
  ASSERT_TRUE(full);
  auto member = full->openMember("x.bin");
  ASSERT_TRUE(member);
  // Held: nobody else deletes, renames or replaces it now.
  EXPECT_FALSE(p().deleteFile(in("full\\x.bin")));
  EXPECT_FALSE(p().removeDirectory(in("full")));
  EXPECT_FALSE(get(in("full\\x.bin")));  // a stream shares no deletion either
  EXPECT_FALSE(full->remove());
  EXPECT_TRUE(member->remove());
  EXPECT_EQ(sortedListing(in("full")), (Names{".", ".."}));

  auto held = p().openForRemoval(in("held.bin"));
  ASSERT_TRUE(held);
  EXPECT_TRUE(held->remove());
  EXPECT_EQ(p().fileAttributes(in("held.bin")), kInvalidAttributes);
}

// Fault: a model whose monitors disagree with the screen Windows reports:
// the primary not first, not at the origin, or a work area outside its
// monitor, so that placements proven on the model go elsewhere on Windows.
TEST_F(PlatformContract, ThePrimaryMonitorComesFirstAndHoldsItsWorkArea) {
  const std::vector<platform::Monitor> monitors = p().monitors();
  ASSERT_FALSE(monitors.empty());
  const platform::ScreenSize screen = p().screenSize();
  EXPECT_EQ(monitors[0].area, (platform::ScreenRect{0, 0, screen.width, screen.height}));
  for (const platform::Monitor& monitor : monitors) {
    EXPECT_GT(monitor.workArea.width(), 0);
    EXPECT_GT(monitor.workArea.height(), 0);
    EXPECT_GE(monitor.workArea.left, monitor.area.left);
    EXPECT_GE(monitor.workArea.top, monitor.area.top);
    EXPECT_LE(monitor.workArea.right, monitor.area.right);
    EXPECT_LE(monitor.workArea.bottom, monitor.area.bottom);
  }
}

}  // namespace
