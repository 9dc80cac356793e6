// instcfg's commands on files: pack writes the format's worked example,
// pack and dump round-trip, bad input is refused with its own message and
// nothing written, and check reads damaged and signed files right.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/pe_fixture.h"
#include "tests/support/sjis_text.h"
#include "tests/support/worked_example.h"
#include "tools/config_json.h"
#include "tools/instcfg_cli.h"
#include "tools/instcfg_commands.h"

namespace {

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

Outcome instcfg(std::vector<std::string> args) {
  std::ostringstream out, err;
  args.insert(args.begin(), "instcfg");
  int code = runInstcfg(args, out, err);
  return {code, out.str(), err.str()};
}

class Instcfg : public ::testing::Test {
 public:
  Instcfg() : dir_("instcfg-test") {
    writeBytes(imagePath(), syntheticImage(kWorkedExampleImageSize));
    writeConfig(sampleConfigJson());
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  std::string imagePath() const { return path("generic.exe"); }
  std::string configPath() const { return path("config.json"); }
  std::string outPath() const { return path("install.exe"); }
  void writeConfig(const Json& json) const { writeText(configPath(), json.dump(2)); }
  Outcome pack(std::vector<std::string> extra = {}) const {
    std::vector<std::string> args = {"pack", imagePath(), configPath(), "-o", outPath()};
    args.insert(args.end(), extra.begin(), extra.end());
    return instcfg(args);
  }
  // Only the files the test made: no output, no partial file left over.
  size_t fileCount() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir_.path()), {}));
  }

  TempFolder dir_;
};

}  // namespace

TEST_F(Instcfg, PackWritesTheWorkedExampleByteForByte) {
  // `init` prints the worked example's configuration.
  Outcome init = instcfg({"init"});
  ASSERT_EQ(init.code, 0);
  writeText(configPath(), init.out);
  Outcome run = pack();
  ASSERT_EQ(run.code, 0) << run.err;
  std::vector<uint8_t> file = readBytes(outPath());
  ASSERT_EQ(file.size(), kWorkedExampleFileSize);
  EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + kWorkedExampleImageSize),
            syntheticImage(kWorkedExampleImageSize));
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + kWorkedExampleImageSize, file.end()), workedExampleBytes());
  EXPECT_NE(run.out.find("block of 943 bytes at 0x58000, file of 361395 bytes"), std::string::npos) << run.out;
  // The uninstaller that needs no disc is the same image under its own name,
  // unless the publisher ships one of their own.
  EXPECT_EQ(readBytes(path("uninst.exe")), file);
  std::filesystem::remove(path("uninst.exe"));
  ASSERT_EQ(pack({"--no-uninstaller"}).code, 0);
  EXPECT_FALSE(std::filesystem::exists(path("uninst.exe")));
}

TEST_F(Instcfg, PackThenDumpRoundTrips) {
  Json japanese = sampleConfigJson();
  japanese["title"] = "ソフト表示テスト";
  japanese["extraEntries"] = Json::array({"ソフト\\データ", "data/sub", "manual", "manual"});
  japanese["preserveEntries"] = Json::array();
  japanese["extra1"] = nullptr;
  japanese["extra2"] = Json{{"file", "説明.html"}, {"linkName", "説明書"}};
  japanese["clientWidth"] = -32768;
  japanese["imageTop"] = 32767;
  japanese["rootSelector"] = 0;
  japanese["buttons"]["extra1"] = nullptr;
  japanese["buttons"]["extra2"] = Json{{"left", -1}, {"top", 2}, {"width", 3}, {"height", 4},
                                       {"caption", "表示"}, {"command", std::string(63, 'c')}};
  for (const Json& config : {sampleConfigJson(), japanese}) {
    writeConfig(config);
    Outcome packed = pack({"--replace"});
    ASSERT_EQ(packed.code, 0) << packed.err;
    Outcome dumped = instcfg({"dump", outPath()});
    ASSERT_EQ(dumped.code, 0) << dumped.err;
    EXPECT_EQ(dumped.err, "");
    EXPECT_EQ(Json::parse(dumped.out), config);
    EXPECT_EQ(dumped.out, config.dump(2) + "\n");
  }
}

TEST_F(Instcfg, BadConfigurationsAreRefusedWithTheirOwnMessage) {
  struct Case {
    const char* expected;  // part of the message
    void (*edit)(Json&);
  };
  const Case cases[] = {
      {"title: missing field", [](Json& j) { j.erase("title"); }},
      {"colour: unknown field", [](Json& j) { j["colour"] = "red"; }},
      {"buttons.run.depth: unknown field", [](Json& j) { j["buttons"]["run"]["depth"] = 1; }},
      {"buttons.close: missing field", [](Json& j) { j["buttons"].erase("close"); }},
      {"extra1.linkName: missing field", [](Json& j) { j["extra1"].erase("linkName"); }},
      {"clientWidth: must be an integer, got a string", [](Json& j) { j["clientWidth"] = "320"; }},
      {"clientHeight: must be an integer, got a number with a fraction", [](Json& j) { j["clientHeight"] = 2.5; }},
      {"menuGroup: must be a string, got an integer", [](Json& j) { j["menuGroup"] = 7; }},
      {"extraEntries: must be an array of strings, got a string", [](Json& j) { j["extraEntries"] = "manual"; }},
      {"preserveEntries[0]: must be a string, got a null", [](Json& j) { j["preserveEntries"][0] = nullptr; }},
      {"extra2: must be an object or null, got a boolean", [](Json& j) { j["extra2"] = false; }},
      {"buttons: must be an object, got an array", [](Json& j) { j["buttons"] = Json::array(); }},
      {"title: holds U+1F600, which code page 932 cannot represent", [](Json& j) { j["title"] = "Smile \U0001F600"; }},
      {"gameLinkName: holds U+00E9", [](Json& j) { j["gameLinkName"] = "Caf\u00e9"; }},
      {"title: is 64 bytes long in code page 932; at most 63 fit", [](Json& j) { j["title"] = std::string(64, 't'); }},
      {"buttons.extra1.caption: is 64 bytes long in code page 932",
       [](Json& j) { j["buttons"]["extra1"]["caption"] = "表示表示表示表示表示表示表示表示表示表示表示表示表示表示表示表示"; }},
      {"parentFolder: contains a NUL character", [](Json& j) { j["parentFolder"] = std::string("a\0b", 3); }},
      {"extraEntries: has 256 entries; at most 255 fit",
       [](Json& j) { j["extraEntries"] = Json(std::vector<std::string>(256, "x")); }},
      {"buttons.install.width: must be between -32768 and 32767, got 32768",
       [](Json& j) { j["buttons"]["install"]["width"] = 32768; }},
      {"imageLeft: must be between -32768 and 32767, got -32769", [](Json& j) { j["imageLeft"] = -32769; }},
      {"rootSelector: must be between 0 and 255, got 256", [](Json& j) { j["rootSelector"] = 256; }},
      {"gameFolder: is empty", [](Json& j) { j["gameFolder"] = ""; }},
      {"registryKey: is empty", [](Json& j) { j["registryKey"] = ""; }},
      {"gameFolder: climbs out of the folder", [](Json& j) { j["gameFolder"] = ".."; }},
      {"extraEntries[1]: is empty", [](Json& j) { j["extraEntries"][1] = ""; }},
      {"extraEntries[0]: is absolute", [](Json& j) { j["extraEntries"][0] = "\\manual"; }},
      {"preserveEntries[0]: is absolute", [](Json& j) { j["preserveEntries"][0] = "/save"; }},
      {"extraEntries[0]: carries a drive", [](Json& j) { j["extraEntries"][0] = "C:\\manual"; }},
      {"preserveEntries[0]: carries a drive", [](Json& j) { j["preserveEntries"][0] = "d:save"; }},
      {"extraEntries[1]: climbs out of the folder", [](Json& j) { j["extraEntries"][1] = "data\\..\\..\\x"; }},
      {"preserveEntries[0]: climbs out of the folder", [](Json& j) { j["preserveEntries"][0] = "save/.."; }},
      {"extraEntries[0]: climbs out of the folder", [](Json& j) { j["extraEntries"][0] = "ソ\\.."; }},
      // Names Windows folds or refuses, and a button with nothing to open.
      {"gameFolder: has a part made only of dots and spaces (\".\")", [](Json& j) { j["gameFolder"] = "."; }},
      {"gameFolder: holds \"*\", which Windows refuses", [](Json& j) { j["gameFolder"] = "Game*"; }},
      {"extraEntries[0]: has a part made only of dots and spaces (\"...\")", [](Json& j) { j["extraEntries"][0] = "..."; }},
      {"preserveEntries[0]: has a part made only of dots and spaces (\".\")",
       [](Json& j) { j["preserveEntries"][0] = "save\\."; }},
      {"extraEntries[1]: has a part made only of dots and spaces (\". \")", [](Json& j) { j["extraEntries"][1] = ". \\x"; }},
      {"gameFolder: has a part ending in a dot or a space (\"Title.\")", [](Json& j) { j["gameFolder"] = "Title."; }},
      {"preserveEntries[0]: has a part ending in a dot or a space (\"save \")",
       [](Json& j) { j["preserveEntries"][0] = "save \\slot"; }},
      {"extraEntries[0]: has a part that names a device (\"aux.txt\")", [](Json& j) { j["extraEntries"][0] = "aux.txt"; }},
      {"parentFolder: has a part that names a device (\"CON\")", [](Json& j) { j["parentFolder"] = "Maker/CON"; }},
      {"gameLinkName: has a part that names a device (\"nul\")", [](Json& j) { j["gameLinkName"] = "nul"; }},
      {"menuGroup: starts or ends with a separator", [](Json& j) { j["menuGroup"] = "Vendor\\"; }},
      {"menuGroup: starts or ends with a separator", [](Json& j) { j["menuGroup"] = "/Vendor"; }},
      {"menuGroup: climbs out of the folder", [](Json& j) { j["menuGroup"] = "Vendor\\..\\..\\Startup"; }},
      {"gameLinkName: holds \":\", which Windows refuses", [](Json& j) { j["gameLinkName"] = "Demo: Part 2"; }},
      {"uninstallLinkName: holds \"?\"", [](Json& j) { j["uninstallLinkName"] = "Uninstall?"; }},
      {"extra1.linkName: holds \"|\"", [](Json& j) { j["extra1"]["linkName"] = "Read|me"; }},
      {"extra1.linkName: climbs out of the folder", [](Json& j) { j["extra1"]["linkName"] = "..\\Read me"; }},
      {"extra1.file: is absolute", [](Json& j) { j["extra1"]["file"] = "\\readme.txt"; }},
      {"extra1.file: carries a drive", [](Json& j) { j["extra1"]["file"] = "C:\\readme.txt"; }},
      {"buttons.extra1: is shown but extra1 is null; the button would open nothing",
       [](Json& j) { j["extra1"] = nullptr; }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.expected);
    Json config = sampleConfigJson();
    test.edit(config);
    writeConfig(config);
    Outcome run = pack();
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find(test.expected), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("config.json: "), std::string::npos) << run.err;
    EXPECT_EQ(fileCount(), 2u);
  }
}

TEST_F(Instcfg, NamesThatOnlyLookUnsafeAreAccepted) {
  Json config = sampleConfigJson();
  // ソ and 表 end in the byte of "\" and ポ in that of "|"; "a..b" and "..a" are names.
  // "/" separates as "\\" does; "console" and "com10" are no devices.
  config["extraEntries"] = Json::array({"ソ", "ソ\\表", "a..b", "..a", "dir\\", "data/bgm", "console", "com10.txt"});
  config["gameFolder"] = "ソフト";
  config["menuGroup"] = "ソフト\\ソ";
  config["gameLinkName"] = "ポ";
  config["extra1"]["file"] = "ソ\\ポ.txt";
  writeConfig(config);
  Outcome run = pack();
  EXPECT_EQ(run.code, 0) << run.err;
}

TEST_F(Instcfg, BadFilesAreRefusedAndNothingIsWritten) {
  struct Case {
    const char* name;
    std::string expected;
    void (*prepare)(Instcfg&);
  };
  const Case cases[] = {
      {"malformed JSON", "config.json: malformed JSON", [](Instcfg& t) { writeText(t.configPath(), "{\"title\": "); }},
      {"number beyond every type", "config.json: malformed JSON",
       [](Instcfg& t) { writeText(t.configPath(), "{\"title\": 1e999}"); }},
      {"configuration not an object", "configuration: must be an object",
       [](Instcfg& t) { writeText(t.configPath(), "[]"); }},
      {"missing configuration", "cannot open", [](Instcfg& t) { std::filesystem::remove(t.configPath()); }},
      {"missing image", "cannot open", [](Instcfg& t) { std::filesystem::remove(t.imagePath()); }},
      {"image not PE", "is not a PE image",
       [](Instcfg& t) { writeText(t.imagePath(), "#!/bin/sh\necho not a program\n"); }},
      {"image cut short", "is cut short",
       [](Instcfg& t) {
         auto image = syntheticImage(0x3000);
         image.resize(0x2000);
         writeBytes(t.imagePath(), image);
       }},
      {"image already packed", "already carries 947 bytes behind its image",
       [](Instcfg& t) {
         ASSERT_EQ(t.pack().code, 0);
         std::filesystem::rename(t.outPath(), t.imagePath());
       }},
      {"signed image", "is signed (it carries a certificate table); pack the unsigned image, then sign",
       [](Instcfg& t) {
         auto image = syntheticImage(0x3000);
         appendCertificateTable(image, PeKind::Pe32, 0x200);
         writeBytes(t.imagePath(), image);
       }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    Instcfg& t = *this;
    writeBytes(imagePath(), syntheticImage(kWorkedExampleImageSize));
    writeConfig(sampleConfigJson());
    test.prepare(t);
    size_t before = fileCount();
    Outcome run = pack();
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find(test.expected), std::string::npos) << run.err;
    EXPECT_EQ(fileCount(), before);
    EXPECT_FALSE(std::filesystem::exists(outPath()));
  }
}

TEST_F(Instcfg, ReplaceCutsTheOldBlockOff) {
  ASSERT_EQ(pack().code, 0);
  std::filesystem::rename(outPath(), imagePath());
  Json config = sampleConfigJson();
  config["title"] = "Second";
  config["extraEntries"] = Json::array();
  writeConfig(config);
  Outcome run = pack({"--replace", "--sign-ready"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("cut off 947 bytes behind the image at 0x58000"), std::string::npos) << run.out;
  std::vector<uint8_t> file = readBytes(outPath());
  EXPECT_EQ(file.size(), (kWorkedExampleImageSize + kWorkedExampleBlockSize - 128 + 4 + 7) / 8 * 8);
  EXPECT_EQ(getU32(file, file.size() - 4), kWorkedExampleImageSize);
  Outcome dumped = instcfg({"dump", outPath()});
  ASSERT_EQ(dumped.code, 0) << dumped.err;
  EXPECT_EQ(Json::parse(dumped.out), config);
}

TEST_F(Instcfg, SignReadyMakesTheLengthAMultipleOf8) {
  Json config = sampleConfigJson();
  for (int entries = 0; entries < 8; ++entries) {
    SCOPED_TRACE(entries);
    config["preserveEntries"] = Json(std::vector<std::string>(static_cast<size_t>(entries), "save"));
    writeConfig(config);
    ASSERT_EQ(pack({"--sign-ready"}).code, 0);
    std::vector<uint8_t> ready = readBytes(outPath());
    ASSERT_EQ(pack().code, 0);
    std::vector<uint8_t> plain = readBytes(outPath());
    EXPECT_EQ(ready.size() % 8, 0u);
    EXPECT_EQ(plain.size(), kWorkedExampleImageSize + kWorkedExampleBlockSize - 64 + 64 * entries + 4);
    size_t gap = ready.size() - plain.size();
    EXPECT_LT(gap, 8u);
    // The same bytes up to the trailer, zeros in the gap, the same trailer.
    EXPECT_TRUE(std::equal(plain.begin(), plain.end() - 4, ready.begin()));
    EXPECT_TRUE(std::all_of(ready.end() - 4 - static_cast<ptrdiff_t>(gap), ready.end() - 4,
                            [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(getU32(ready, ready.size() - 4), kWorkedExampleImageSize);
  }
}

TEST_F(Instcfg, CheckNamesWhatIsWrongWithADamagedFile) {
  ASSERT_EQ(pack().code, 0);
  const std::vector<uint8_t> good = readBytes(outPath());
  const size_t block = kWorkedExampleImageSize;
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    int code;
    std::string expected;
  };
  auto edited = [&](auto edit) {
    std::vector<uint8_t> file = good;
    edit(file);
    return file;
  };
  // A block pack would refuse, written by another tool: each finding on its own line.
  ConfigBlockContent refused = workedExampleContent();
  refused.config.gameFolder = "DemoAdv\x81";  // a lone lead byte at the end
  refused.config.menuGroup = "Vendor\\";
  refused.config.extra1Flag = 0;
  std::vector<uint8_t> refusedFile = syntheticImage(kWorkedExampleImageSize);
  appendConfigBlock(refusedFile, serializeConfigBlock(refused), false);
  const Case cases[] = {
      {"good", good, 0, "OK: install.exe would load this block whole"},
      {"names pack refuses", refusedFile, 1,
       "  error: gameFolder: is not well-formed Shift-JIS (a lead byte without its trail byte)\n"
       "  error: menuGroup: starts or ends with a separator\n"
       "  error: buttons.extra1: is shown but extra1 is null; the button would open nothing\n"
       "FAILED: the block holds what pack refuses\n"},
      {"trailer outside", edited([](auto& f) { putU32(f, f.size() - 4, 0x7FFFFFF0); }), 1,
       "the trailer points to offset 0x7FFFFFF0, outside the file (which ends at 0x583B3)"},
      {"count past the end", edited([&](auto& f) { f[block + 257] = 200; }), 1,
       "the block is cut short: extraEntries[10] at offset 0x58382 needs 64 bytes but only 49 remain"},
      {"block cut short", edited([&](auto& f) {
         f.erase(f.begin() + static_cast<ptrdiff_t>(block + 900), f.end() - 4);
       }), 1, "buttons.extra1.command at offset 0x5836E needs 64 bytes but only 26 remain"},
      {"string without NUL", edited([&](auto& f) { std::fill(f.begin() + block, f.begin() + block + 64, 'A'); }), 0,
       "warning: title at offset 0x58000 has no NUL in its 64 bytes; all 64 are taken as text"},
      {"trailer into the image", edited([](auto& f) { putU32(f, f.size() - 4, 0x100); }), 1,
       "the trailer points into the image (0x100), not to a block behind it"},
      {"nothing appended", syntheticImage(0x3000), 1, "nothing is appended to the image (it ends at 0x3000"},
      {"not a PE image", std::vector<uint8_t>(5000, 'x'), 1, "does not start with \"MZ\""},
      // Without its last byte, the block takes the trailer's first as its last field.
      {"block runs into its trailer", edited([&](auto& f) { f.erase(f.begin() + static_cast<ptrdiff_t>(block + 942)); }),
       0, "warning: the block overlaps its own trailer by 1 byte"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    writeBytes(outPath(), test.file);
    Outcome run = instcfg({"check", outPath()});
    EXPECT_EQ(run.code, test.code) << run.out;
    EXPECT_NE(run.out.find(test.expected), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "");
  }
}

TEST_F(Instcfg, DumpShowsWhatItCouldReadAndWhereItStopped) {
  ASSERT_EQ(pack().code, 0);
  std::vector<uint8_t> file = readBytes(outPath());
  // Cut inside the preserve entry: title to the extra entries are read.
  file.erase(file.begin() + kWorkedExampleImageSize + 400, file.end() - 4);
  writeBytes(outPath(), file);
  Outcome run = instcfg({"dump", outPath()});
  EXPECT_EQ(run.code, 1);
  Json shown = Json::parse(run.out);
  EXPECT_EQ(shown["title"], "Demo Adventure");
  EXPECT_EQ(shown["extraEntries"], Json::array({"manual", "readme.txt"}));
  EXPECT_EQ(shown["preserveEntries"], Json::array());
  EXPECT_EQ(shown["menuGroup"], "");
  EXPECT_NE(run.err.find("preserveEntries[0] at offset 0x58183 needs 64 bytes but only 17 remain"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("read up to offset 0x58183"), std::string::npos) << run.err;

  // Text that is not code page 932 is shown escaped.
  ASSERT_EQ(pack().code, 0);
  file = readBytes(outPath());
  file[kWorkedExampleImageSize + 4] = 0x81;
  file[kWorkedExampleImageSize + 5] = 0x20;
  writeBytes(outPath(), file);
  run = instcfg({"dump", outPath()});
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(Json::parse(run.out)["title"], "Demo\\x81\\x20dventure");
  EXPECT_NE(run.err.find("note: title: is not valid code page 932 text"), std::string::npos) << run.err;
}

TEST_F(Instcfg, SignedFilesAreReadBeforeTheirCertificateTable) {
  // Packed ready for signing, then signed: read right.
  ASSERT_EQ(pack({"--sign-ready"}).code, 0);
  std::vector<uint8_t> ready = readBytes(outPath());
  appendCertificateTable(ready, PeKind::Pe32, 0x3A8);
  writeBytes(outPath(), ready);
  Outcome checked = instcfg({"check", outPath()});
  EXPECT_EQ(checked.code, 0) << checked.out;
  EXPECT_NE(checked.out.find("signature present: certificate table at 0x583B8, 936 bytes"), std::string::npos)
      << checked.out;
  Outcome dumped = instcfg({"dump", outPath()});
  EXPECT_EQ(dumped.code, 0) << dumped.err;
  EXPECT_EQ(Json::parse(dumped.out), sampleConfigJson());
  EXPECT_NE(dumped.err.find("signature present"), std::string::npos);

  // Signed without --sign-ready: the padding pushed the trailer away.
  ASSERT_EQ(pack().code, 0);
  std::vector<uint8_t> padded = readBytes(outPath());
  ASSERT_NE(padded.size() % 8, 0u);
  appendCertificateTable(padded, PeKind::Pe32, 0x3A8);
  writeBytes(outPath(), padded);
  Outcome misplaced = instcfg({"check", outPath()});
  EXPECT_EQ(misplaced.code, 1);
  EXPECT_NE(misplaced.out.find("signed without --sign-ready: the signing tool put 5 zero bytes between the trailer "
                               "(at 0x583AF) and its certificate table"),
            std::string::npos)
      << misplaced.out;

  // Packing a signed file is refused.
  std::filesystem::rename(outPath(), imagePath());
  Outcome repack = pack({"--replace"});
  EXPECT_EQ(repack.code, 1);
  EXPECT_NE(repack.err.find("is signed"), std::string::npos);
}

TEST(InstcfgCli, RefusesIncompleteCommandLines) {
  EXPECT_NE(instcfg({}).code, 0);
  Outcome noOutput = instcfg({"pack", "a.exe", "b.json"});
  EXPECT_NE(noOutput.code, 0);
  EXPECT_NE(noOutput.err.find("--output is required"), std::string::npos) << noOutput.err;
  EXPECT_NE(instcfg({"frobnicate"}).code, 0);
  EXPECT_EQ(instcfg({"dump", "/no/such/file.exe"}).code, 1);
}
