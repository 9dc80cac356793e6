// Every byte copied is checked against the medium's install.sha256: a file
// whose bytes differ, a list that cannot be read or has a bad line, or a
// listed file the medium lacks stops the installation and leaves nothing;
// an unlisted file is copied and logged; the digests reach the record with
// a list or without one.
#include "install/file_digests.h"

#include "footprint/install_record.h"
#include "tests/support/dialog_fixture.h"

namespace {

std::string digestOf(const std::string& bytes) {
  auto digest = Sha256Provider::open()->start();
  digest->add(bytes.data(), bytes.size());
  return digestHex(*digest->finish());
}

// Fault: a damaged medium's game reported installed (a changed byte in a
// later chunk, a listed file missing); a publisher's list that cannot be
// read, cannot be checked against or has a bad line passed over, or told
// only after folders were made; an unlisted file refused or not logged; no
// digests in the record without a list; a stop that leaves anything.
TEST(FileDigests, TheCopyIsCheckedAgainstTheMediumsListAndRecordsItsDigests) {
  const std::string system = Machine::pattern(ChunkSize + 2), game = "MZ game", booklet = "two-byte name";
  const std::string listed = digestOf(system) + "  SYSTEM.INI\n" + digestOf(game) + "  origin.exe\n" +
                             digestOf(booklet) + "  data/ソフト.txt\n";
  std::string changed = system;
  changed[ChunkSize + 1] ^= 1;
  struct Case {
    const char* name;
    std::string list;  // empty: the medium has none
    void (*inject)(platform::MemoryPlatform&, const std::string& changed);
    std::string message;  // empty: installed
    std::string logged;
  };
  const auto none = [](platform::MemoryPlatform&, const std::string&) {};
  const Case cases[] = {
      {"intact", listed, none, "", "copied origin.exe (7 bytes)"},
      {"without a list", "", none, "", "copied origin.exe (7 bytes)"},
      {"one byte changed in the second chunk", listed,
       [](platform::MemoryPlatform& p, const std::string& bytes) { p.writeFile("E:\\SYSTEM.INI", bytes); },
       std::string(texts::kFileCorrupted) + "\nSYSTEM.INI", ""},
      {"unlisted", digestOf(system) + "  SYSTEM.INI\n", none, "", "unlisted origin.exe"},
      {"a listed file missing", listed + digestOf(game) + "  data/gone.bin\n", none,
       std::string(texts::kReadFailed) + "\ndata\\gone.bin", ""},
      {"a bad third line", listed.substr(0, listed.rfind(' ')) + "../x\n", none,
       std::string(texts::kDigestListMalformed) + "\ninstall.sha256 " + sjis("3行目"), ""},
      {"unreadable", listed,
       [](platform::MemoryPlatform& p, const std::string&) { p.failOpen("E:\\install.sha256", platform::OpenMode::Read); },
       std::string(texts::kDigestListUnreadable) + "\ninstall.sha256", ""},
      {"no digests on the system", listed, [](platform::MemoryPlatform& p, const std::string&) { p.failDigests(); },
       std::string(texts::kDigestListUnreadable) + "\ninstall.sha256", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Machine m;
    Dialogs d(m);
    m.put("SYSTEM.INI", system);
    m.put("origin.exe", game);
    m.put(sjis("data\\ソフト.txt"), booklet);
    m.ctx.plan.ExtraCopyList->add("data");
    if (!c.list.empty()) m.put("install.sha256", c.list);
    c.inject(m.platform, changed);
    std::vector<std::string> log;
    m.ctx.logSink = [&log](const std::string& line) { log.push_back(line); };
    const auto before = m.platform.snapshot();
    Tiform& form = d.iform;
    form.show();
    form.runPostedCall();
    for (int i = 0; i < 10 && form.modalResult() == 0; ++i) form.writetimer->tick();
    ASSERT_EQ(m.platform.messageBoxes().size(), 1u);
    EXPECT_EQ(m.platform.openStreamCount(), 0);
    if (!c.logged.empty()) {
      EXPECT_NE(std::find(log.begin(), log.end(), c.logged), log.end());
    }
    if (!c.message.empty()) {
      EXPECT_EQ(form.modalResult(), -1);
      EXPECT_EQ(m.platform.messageBoxes()[0].text, c.message);
      EXPECT_EQ(describeDifference(before, m.platform.snapshot()), "");
      continue;
    }
    EXPECT_EQ(form.modalResult(), 1);
    EXPECT_EQ(m.platform.readFile(m.dest("SYSTEM.INI")), system);
    const auto record = readInstallRecord(m.platform, m.ctx.config.InstallPath);
    ASSERT_TRUE(record);
    std::map<std::string, std::string> recorded;
    for (const auto& [name, digest] : record->digests) recorded[name] = digestHex(digest);
    EXPECT_EQ(recorded, (std::map<std::string, std::string>{{"SYSTEM.INI", digestOf(system)},
                                                            {"origin.exe", digestOf(game)},
                                                            {sjis("data\\ソフト.txt"), digestOf(booklet)}}));
  }
}

}  // namespace
