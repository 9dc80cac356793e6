// The process ended without warning (End task, a crash) after each platform
// call in turn, of an installation and of an uninstallation, then the
// program started again: what is on the disk and in the registry must be
// either nothing of that run or all of it, as the uninterrupted run leaves
// it. The memory model ends the process (MemoryPlatform::endProcessAfter);
// a stream's unwritten buffer is lost with it, as the C runtime's is.
#include <gtest/gtest.h>

#include "footprint/install_journal.h"
#include "footprint/installed_state.h"
#include "install/instform.h"
#include "launcher/arguments.h"
#include "launcher/exit_codes.h"
#include "launcher/uninstaller.h"
#include "tests/support/menu_harness.h"
#include "texts.h"

namespace {

using platform::Hive;
using platform::Snapshot;
using platform::memory::ProcessEnded;
using toolkit::headless::Script;

const std::string kGame = "C:\\Games\\DemoAdv";
const std::string kParking = "C:\\Temp\\uninst-1";
const std::string kHalfWritten = kGame + "\\SYSTEM.DAT";
const std::string kInstalledFiles[] = {"origin.exe", "uninst.exe", "data\\a.bin", "data\\sub\\b.bin",
                                       "SYSTEM.DAT", "save\\slot1.sav"};

// Save data of two chunks, its bytes telling their offsets apart.
const std::string& twoChunks() {
  static const std::string bytes = [] {
    std::string made(ChunkSize + 5, '\0');
    for (size_t i = 0; i < made.size(); ++i) made[i] = static_cast<char>(i * 7 + i / 251);
    return made;
  }();
  return bytes;
}

// A medium whose plan makes folders, copies a standard file, the
// uninstaller, a configured folder and save data, the first save data of
// two chunks (unless `smallSave`), so that an end can leave it half written.
struct Disc : Medium {
  explicit Disc(bool smallSave = false) {
    content.config.menuGroup = "ExampleSoft";
    content.config.gameLinkName = "Play";
    content.extraEntries = {"data"};
    content.preserveEntries = {"save"};
    pack();
    put("origin.exe", "MZ game");
    put("uninst.exe", *platform.readFile("Q:\\install.exe"));
    put("data\\a.bin", "aaaaaaaaaa");
    put("data\\sub\\b.bin", "b");
    put("SYSTEM.DAT", smallSave ? "progress" : twoChunks());
    put("save\\slot1.sav", "fresh");
    EXPECT_TRUE(platform.createDirectories(kParking));
    // As on any Windows: neither is ever empty or missing.
    EXPECT_TRUE(platform.writeFile("C:\\Users\\player\\Start Menu\\Programs\\Other.lnk", "link"));
    EXPECT_TRUE(platform.setRegistryString(
        Hive::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other", "DisplayName", "Other"));
  }
  void put(const std::string& name, const std::string& bytes) {
    const std::string path = "Q:\\" + name;
    EXPECT_TRUE(platform.createDirectories(path.substr(0, path.rfind('\\'))));
    EXPECT_TRUE(platform.writeFile(path, bytes));
  }
  int closeMenu() {
    return run([](Script& script, AppContext&) { script.click("mform", "closebtn"); });
  }
};

// From the menu through the destination dialog.
int install(Disc& disc) {
  return disc.run([](Script& script, AppContext&) {
    script.click("mform", "instbtn");
    script.on("instform", [](toolkit::Form& form) { dynamic_cast<Tinstform&>(form).dirpath->setText("C:\\Games"); });
    script.click("instform", "Button2");
    script.click("mform", "closebtn");
  });
}

// The calls of a run from its start, ended after `calls` of them when given;
// true when the run was ended.
template <class Run>
bool runEndingAfter(platform::MemoryPlatform& platform, std::optional<long> calls, Run run) {
  platform.startAnotherProcess();
  platform.recordProcessCalls();
  if (calls) platform.endProcessAfter(*calls);
  try {
    run();
  } catch (const ProcessEnded&) {
    return true;
  }
  return false;
}

long indexOf(const std::vector<std::string>& calls, const std::string& start) {
  for (size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].starts_with(start)) return static_cast<long>(i);
  }
  return -1;
}

// Fault: a copy ended part-way stranding half a game, or a half-written
// save taken for the player's by the next installation; a game registered
// before its files are on the disk, or the next start undoing a registered
// game; the journal written after the first folder, or the system left
// free to sleep during the copy.
TEST(Interruption, AnInstallationEndedAfterAnyCallLeavesNothingOrTheWholeRegisteredGame) {
  Disc clean;
  const Snapshot before = clean.platform.snapshot();
  ASSERT_FALSE(runEndingAfter(clean.platform, std::nullopt, [&] { EXPECT_EQ(install(clean), kExitDone); }));
  const Snapshot whole = clean.platform.snapshot();
  const std::vector<std::string> calls = clean.platform.processCalls();
  const long firstFolder = indexOf(calls, "createDirectory");
  ASSERT_GT(firstFolder, 0);
  EXPECT_LT(indexOf(calls, "flushRegistry"), firstFolder);
  EXPECT_LT(indexOf(calls, "keepSystemAwake on"), firstFolder);
  EXPECT_FALSE(clean.platform.keptAwake());

  bool halfWrittenSeen = false;
  long firstWhole = -1;
  for (long end = 0; end < static_cast<long>(calls.size()); ++end) {
    SCOPED_TRACE("ended after call " + std::to_string(end) + (end ? ": " + calls[end - 1] : ""));
    Disc disc;
    ASSERT_TRUE(runEndingAfter(disc.platform, end, [&] { install(disc); }));
    const auto saved = disc.platform.readFile(kHalfWritten);
    halfWrittenSeen |= saved && !saved->empty() && saved->size() < twoChunks().size();
    // The record follows the files only once each of them is on the disk.
    if (disc.platform.exists(kGame + "\\uninst-record.txt")) {
      for (const std::string& file : kInstalledFiles) EXPECT_TRUE(disc.platform.durable(kGame + "\\" + file)) << file;
    }
    ASSERT_FALSE(runEndingAfter(disc.platform, std::nullopt, [&] { EXPECT_EQ(disc.closeMenu(), 0); }));
    const Snapshot after = disc.platform.snapshot();
    if (after == whole) {
      if (firstWhole < 0) firstWhole = end;
      continue;
    }
    EXPECT_LT(firstWhole, 0) << "a committed installation undone";
    EXPECT_EQ(platform::describeDifference(before, after), "");
  }
  EXPECT_TRUE(halfWrittenSeen);
  // Only the last few calls come after the commit.
  EXPECT_GT(firstWhole, static_cast<long>(calls.size()) - 8);
}

// Who removes the game: the disc (install.exe /S /UNINSTALL, the plan from
// the medium) or the installed uninst.exe /S (the plan from the record).
enum class Remover { Disc, DiscFree };

int uninstall(Disc& disc, Remover remover, bool all) {
  if (remover == Remover::Disc || !disc.platform.exists(kGame + "\\uninst.exe")) {
    disc.platform.setCurrentDirectory("Q:\\");
    std::vector<std::string> arguments{"/S", "/UNINSTALL"};
    if (all) arguments.push_back("/ALL");
    return runInstallerWithArguments(disc.platform, arguments);
  }
  disc.platform.setCurrentDirectory(kParking);
  UninstallerStart start{kGame + "\\uninst.exe", kGame + "\\uninst.exe", kParking, {}};
  start.line.silent = true;
  start.line.deleteAll = all;
  return runUninstaller(disc.platform, start);
}

// The installed game of the table, with a save the game wrote.
void installGame(Disc& disc) {
  disc.pack();
  ASSERT_EQ(runInstallerWithArguments(disc.platform, std::vector<std::string>{"/S", "/D=C:\\Games"}), kExitDone);
  ASSERT_TRUE(disc.platform.writeFile(kGame + "\\save\\slot2.sav", "played"));
}

// The machine without what the uninstaller's copy leaves in its temp folder
// until its waiting program has ended.
Snapshot withoutParking(Snapshot snapshot) {
  std::erase_if(snapshot.files, [](const auto& file) { return file.first.starts_with(kParking + "\\"); });
  return snapshot;
}

// Fault: an uninstallation ended part-way leaving files no uninstaller can
// find (the registration gone first, or origin.exe gone while the game
// counts as installed only through it), or the record gone while the game
// stays registered, so that keeping the save data without the disc would be
// refused and only delete-all offered.
TEST(Interruption, AnUninstallationEndedAfterAnyCallLeavesTheGameRegisteredOrRemoved) {
  for (Remover remover : {Remover::Disc, Remover::DiscFree}) {
    for (bool all : {false, true}) {
      SCOPED_TRACE(std::string(remover == Remover::Disc ? "install.exe /S /UNINSTALL" : "uninst.exe /S") +
                   (all ? " /ALL" : ""));
      Disc clean(true);
      installGame(clean);
      ASSERT_FALSE(runEndingAfter(clean.platform, std::nullopt,
                                  [&] { ASSERT_EQ(uninstall(clean, remover, all), kExitDone); }));
      const Snapshot removed = withoutParking(clean.platform.snapshot());
      ASSERT_EQ(clean.platform.exists(kGame + "\\save\\slot2.sav"), !all);
      const long calls = static_cast<long>(clean.platform.processCalls().size());
      const std::vector<std::string> names = clean.platform.processCalls();
      long registeredEnds = 0;
      for (long end = 0; end < calls; ++end) {
        SCOPED_TRACE("ended after call " + std::to_string(end) + (end ? ": " + names[end - 1] : ""));
        Disc disc(true);
        installGame(disc);
        ASSERT_TRUE(runEndingAfter(disc.platform, end, [&] { uninstall(disc, remover, all); }));
        disc.platform.startAnotherProcess();
        AppContext ctx(disc.platform);
        ctx.config.registryKey = "DemoAdv";
        if (detectInstalledGame(ctx)) {
          ++registeredEnds;
          EXPECT_TRUE(disc.platform.exists(kGame + "\\uninst-record.txt") ||
                      removalStage(disc.platform, "DemoAdv") == RemovalStage::Folders);
          // Another uninstallation finishes it.
          ASSERT_FALSE(runEndingAfter(disc.platform, std::nullopt,
                                      [&] { EXPECT_EQ(uninstall(disc, remover, all), kExitDone); }));
        }
        EXPECT_EQ(platform::describeDifference(removed, withoutParking(disc.platform.snapshot())), "");
      }
      EXPECT_GT(registeredEnds, calls / 2);
    }
  }
}

// Ends an installation right after the first chunk of its two-chunk save
// data reached the disk: the journal stands, the save half written.
void interruptMidSave(Disc& disc) {
  static const long end = [] {
    Disc clean;
    runEndingAfter(clean.platform, std::nullopt, [&] { install(clean); });
    return indexOf(clean.platform.processCalls(), "write C:\\GAMES\\DEMOADV\\SYSTEM.DAT") + 1;
  }();
  ASSERT_GT(end, 0);
  ASSERT_TRUE(runEndingAfter(disc.platform, end, [&] { install(disc); }));
  ASSERT_EQ(disc.platform.readFile(kHalfWritten).value_or("").size(), ChunkSize);
  disc.platform.startAnotherProcess();
}

bool journalStands(Disc& disc) {
  return disc.platform.registryString(Hive::CurrentUser, "software\\DemoAdv", kInstallJournalValue).has_value();
}

// Fault: a start that shows the menu, installs, uninstalls or answers a
// script before an interrupted installation is rolled back (or not at all),
// or that takes its half-written save for the player's; a rollback that
// stops at a file it cannot remove and forgets the rest; a journal from the
// per-user registry, which any program of the player's may write, deleting
// outside the game's folder or through a link.
TEST(Interruption, EveryStartFinishesAnInterruptedInstallationFirst) {
  const std::string notes = "C:\\Users\\player\\notes.txt";
  const std::string unfinished = unfinishedRollbackText(kGame);
  auto menu = [](Disc& disc) { return disc.closeMenu(); };
  auto silently = [](std::vector<std::string> arguments) {
    return [arguments](Disc& disc) { return runInstallerWithArguments(disc.platform, arguments); };
  };
  auto uninstaller = [](bool silent) {
    return [silent](Disc& disc) {
      disc.platform.setCurrentDirectory(kParking);
      UninstallerStart start{kGame + "\\uninst.exe", kGame + "\\uninst.exe", kParking, {}};
      start.line.silent = silent;
      return runUninstaller(disc.platform, start);
    };
  };
  auto inUse = [](Disc& disc) {
    interruptMidSave(disc);
    ASSERT_TRUE(disc.platform.makeReadOnly(kGame + "\\origin.exe"));
  };
  auto hostile = [](InstallJournal journal) {
    return [journal](Disc& disc) {
      ASSERT_TRUE(disc.platform.setRegistryString(Hive::CurrentUser, "software\\DemoAdv", kInstallJournalValue,
                                                  formatInstallJournal(journal)));
    };
  };
  auto withNotes = [&](Disc& disc) { ASSERT_TRUE(disc.platform.writeFile(notes, "mine")); };
  struct Case {
    const char* what;
    std::function<void(Disc&)> machine;  // before the run
    std::function<void(Disc&)> run;      // what the run left
    std::function<int(Disc&)> start;
    int code;
    enum { Undone, Installed, Kept } outcome;
    std::string message;  // the first message box, if any
  };
  const Case cases[] = {
      {"the menu", {}, interruptMidSave, menu, 0, Case::Undone, ""},
      {"install.exe /S, which then installs", {}, interruptMidSave, silently({"/S", "/D=C:\\Games"}), kExitDone,
       Case::Installed, ""},
      {"install.exe /S /UNINSTALL", {}, interruptMidSave, silently({"/S", "/UNINSTALL"}), kExitInstalledState,
       Case::Undone, ""},
      {"uninst.exe", {}, interruptMidSave, uninstaller(false), kExitInstalledState, Case::Undone, texts::kNotInstalled},
      {"uninst.exe /S", {}, interruptMidSave, uninstaller(true), kExitInstalledState, Case::Undone, ""},
      {"the menu, a file it cannot remove", {}, inUse, menu, 0, Case::Kept, unfinished},
      {"install.exe /S, a file it cannot remove", {}, inUse, silently({"/S", "/D=C:\\Games"}), kExitWriteFailed,
       Case::Kept, ""},
      {"not the game's folder", withNotes, hostile({"C:\\Users\\player", 0, {}, {"notes.txt"}}), menu, 0,
       Case::Undone, ""},
      {"a name that climbs out", withNotes, hostile({kGame, 0, {}, {"..\\..\\Users\\player\\notes.txt"}}), menu, 0,
       Case::Undone, ""},
      {"the game's folder a link",
       [&](Disc& disc) {
         withNotes(disc);
         ASSERT_TRUE(disc.platform.createDirectories("C:\\Games"));
         ASSERT_TRUE(disc.platform.addJunction(kGame, "C:\\Users\\player"));
       },
       hostile({kGame, 0, {}, {"notes.txt"}}), menu, 0, Case::Undone, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Disc disc;
    if (c.machine) c.machine(disc);
    const Snapshot before = disc.platform.snapshot();
    c.run(disc);
    const size_t shownBefore = disc.platform.messageBoxes().size();
    EXPECT_EQ(c.start(disc), c.code);
    const auto& boxes = disc.platform.messageBoxes();
    EXPECT_EQ(boxes.size() > shownBefore ? boxes[shownBefore].text : "", c.message);
    EXPECT_EQ(journalStands(disc), c.outcome == Case::Kept);
    const size_t saved = disc.platform.readFile(kHalfWritten).value_or("").size();
    if (c.outcome == Case::Undone) {
      EXPECT_EQ(platform::describeDifference(before, disc.platform.snapshot()), "");
    } else {
      // Whole, or gone with all else that could be removed.
      EXPECT_EQ(saved, c.outcome == Case::Installed ? twoChunks().size() : 0u);
    }
  }
}

}  // namespace
