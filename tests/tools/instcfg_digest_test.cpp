// instcfg digest, pack --digest and check on a disc folder: install.sha256
// lists exactly what an installation can copy, as the disc spells it, in
// the form sha256sum -c reads; check tells each way the list and the disc
// part.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "tests/support/pe_fixture.h"
#include "tests/support/worked_example.h"
#include "tools/config_json.h"
#include "tools/instcfg_cli.h"

namespace {

std::string readText(const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = readBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

int instcfg(std::vector<std::string> args, std::string& out) {
  std::ostringstream o, e;
  args.insert(args.begin(), "instcfg");
  const int code = runInstcfg(args, o, e);
  out = o.str() + e.str();
  return code;
}

std::vector<std::string> listedNames(const std::string& list) {
  std::vector<std::string> names;
  std::istringstream lines(list);
  for (std::string line; std::getline(lines, line);) names.push_back(line.substr(66));
  return names;
}

// Fault: a file an installation copies left out of the list (a standard
// file in another letter case, a folder's member, the preserved save data),
// one it never copies listed (a dot file, an unconfigured file), a name
// listed otherwise than the disc spells it, a list sha256sum refuses, a
// name install.exe could not copy let through, or check passing a disc
// whose list and files part.
TEST(InstcfgDigest, ListsWhatAnInstallationCopiesAndCheckTellsEachDifference) {
  TempFolder dir("instcfg-digest");
  const std::filesystem::path disc = dir / "disc";
  std::filesystem::create_directories(disc);
  writeBytes(dir / "generic.exe", syntheticImage(kWorkedExampleImageSize));
  Json config = sampleConfigJson();
  config["extraEntries"] = {"data", "ソフト資料"};
  config["preserveEntries"] = {"save"};
  writeText(dir / "config.json", config.dump());
  const auto u8 = [](const char* utf8) { return std::filesystem::path(std::u8string(utf8, utf8 + strlen(utf8))); };
  for (const char* name : {"system.ini", "origin.exe", "data/bgm/theme.ogg", "data/.keep", "data/.cache/x.bin",
                           "ソフト資料/ソース.txt", "SYSTEM.DAT", "save/slot1.dat", "unconfigured.txt"}) {
    std::filesystem::create_directories((disc / u8(name)).parent_path());
    writeText(disc / u8(name), std::string("bytes of ") + name);
  }
  std::string out;
  ASSERT_EQ(instcfg({"pack", (dir / "generic.exe").string(), (dir / "config.json").string(), "-o",
                     (disc / "install.exe").string(), "--digest"},
                    out),
            0)
      << out;
  const std::string list = readText(disc / "install.sha256");
  EXPECT_EQ(listedNames(list), (std::vector<std::string>{"system.ini", "origin.exe", "uninst.exe", "data/bgm/theme.ogg",
                                                         "ソフト資料/ソース.txt", "SYSTEM.DAT", "save/slot1.dat"}));
#ifndef _WIN32
  EXPECT_EQ(std::system(("cd '" + disc.string() + "' && sha256sum --check --strict --quiet install.sha256").c_str()),
            0);
#endif
  EXPECT_EQ(instcfg({"check", disc.string()}, out), 0) << out;

  writeText(disc / "data" / "bgm" / "theme.ogg", "other bytes");
  std::filesystem::remove(disc / "save" / "slot1.dat");
  writeText(disc / "data" / "new.bin", "new");
  EXPECT_EQ(instcfg({"check", disc.string()}, out), 1);
  for (const char* finding : {"not in the list: data/new.bin", "listed but not on the disc: save/slot1.dat",
                              "differs from its digest: data/bgm/theme.ogg"}) {
    EXPECT_NE(out.find(finding), std::string::npos) << finding << " in\n" << out;
  }
  writeText(disc / "install.sha256", list + "not a digest\n");
  EXPECT_EQ(instcfg({"check", disc.string()}, out), 1);
  EXPECT_NE(out.find("line 8: no digest of 64 hex digits"), std::string::npos) << out;

  // A name install.exe could not copy: refused, and the list left as it was.
  writeText(disc / u8("data/\xC3\x89lan.bin"), "no Shift-JIS form");
  EXPECT_EQ(instcfg({"digest", disc.string()}, out), 1);
  EXPECT_NE(out.find("data/\xC3\x89lan.bin: install.exe cannot copy"), std::string::npos) << out;
  EXPECT_EQ(readText(disc / "install.sha256"), list + "not a digest\n");
}

}  // namespace
