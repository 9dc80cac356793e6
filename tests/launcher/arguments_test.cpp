// The switches for scripts: how the command line is read, and what the
// unattended runs do and end with.
#include <gtest/gtest.h>

#include "core/cp932.h"
#include "launcher/arguments.h"
#include "launcher/exit_codes.h"
#include "tests/support/menu_harness.h"
#include "texts.h"

namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SwitchesAreReadOrRefused) {
  struct Case {
    Args arguments;
    bool asUninstaller;
    bool accepted;
    CommandLine expected{};
  };
  auto line = [](bool silent, bool uninstall, bool all, std::optional<std::string> folder = std::nullopt,
                 std::optional<std::string> log = std::nullopt) {
    CommandLine l;
    l.silent = silent, l.uninstall = uninstall, l.deleteAll = all, l.destination = folder, l.logFile = log;
    return l;
  };
  auto checking = [&](bool verify, bool repair, bool silent) {
    CommandLine l = line(silent, verify, false, std::nullopt, verify ? std::optional<std::string>("v.log") : std::nullopt);
    l.verify = verify, l.repair = repair;
    return l;
  };
  const Case cases[] = {
      {{"/S"}, false, true, line(true, false, false)},
      {{"-s", "/d=C:\\Games Dir", "/Log=x.log"}, false, true, line(true, false, false, "C:\\Games Dir", "x.log")},
      {{"/S", "/UNINSTALL", "/ALL"}, false, true, line(true, true, true)},
      {{"/LOG=run.log"}, false, true, line(false, false, false, std::nullopt, "run.log")},
      {{"/S", "/ALL"}, true, true, line(true, true, true)},
      {{}, true, true, line(false, true, false)},
      {{"/X"}, false, false},
      {{"S"}, false, false},
      {{"/S", "/S"}, false, false},
      {{"/S", "/D="}, false, false},
      {{"/S", "/D"}, false, false},
      {{"/S=1"}, false, false},
      {{"/D=C:\\Games"}, false, false},
      {{"/UNINSTALL"}, false, false},
      {{"/S", "/ALL"}, false, false},
      {{"/S", "/UNINSTALL", "/D=C:\\Games"}, false, false},
      {{"/S", "/D=C:\\Games"}, true, false},
      {{"/ALL"}, true, false},
      {{"/verify", "/LOG=v.log"}, true, true, checking(true, false, false)},
      {{"/S", "/REPAIR"}, false, true, checking(false, true, true)},
      {{"/REPAIR"}, true, false},
      {{"/VERIFY", "/REPAIR"}, false, false},
      {{"/S", "/UNINSTALL", "/VERIFY"}, false, false},
      {{"/S", "/VERIFY", "/ALL"}, true, false},
      {{"/REPAIR", "/D=C:\\Games"}, false, false},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const auto& a : c.arguments) shown += a + " ";
    SCOPED_TRACE(shown + (c.asUninstaller ? "(uninst.exe)" : "(install.exe)"));
    const ParsedCommandLine parsed = parseCommandLine(c.arguments, c.asUninstaller);
    EXPECT_EQ(!parsed.error, c.accepted) << parsed.error.value_or("");
    if (!c.accepted) continue;
    EXPECT_EQ(parsed.line.silent, c.expected.silent);
    EXPECT_EQ(parsed.line.uninstall, c.expected.uninstall);
    EXPECT_EQ(parsed.line.deleteAll, c.expected.deleteAll);
    EXPECT_EQ(parsed.line.destination, c.expected.destination);
    EXPECT_EQ(parsed.line.logFile, c.expected.logFile);
    EXPECT_EQ(parsed.line.verify, c.expected.verify);
    EXPECT_EQ(parsed.line.repair, c.expected.repair);
  }
  // /? wins over whatever else stands there.
  EXPECT_TRUE(parseCommandLine({"/?", "/X"}, false).line.usage);
  EXPECT_FALSE(parseCommandLine({"/?", "/X"}, false).error);
}

// Fault: an unattended run that opens a window or a message box, starts the
// game, ends before its work is done, or tells a failure as 0.
TEST(Unattended, RunsWithoutAWindowAndEndsWithItsCode) {
  Medium medium;
  medium.content.config.menuGroup = "Maker";
  medium.content.config.gameLinkName = "Play";
  medium.pack();
  ASSERT_TRUE(medium.platform.writeFile("Q:\\origin.exe", "MZ game"));
  ASSERT_TRUE(medium.platform.writeFile("Q:\\SYSTEM.INI", "[system]"));
  auto run = [&](Args arguments) { return runInstallerWithArguments(medium.platform, arguments); };
  const std::string game = "C:\\Games\\DemoAdv";

  EXPECT_EQ(run({"/S", "/D=C:\\Games", "/LOG=C:\\install.log"}), kExitDone);
  EXPECT_EQ(medium.platform.readFile(game + "\\SYSTEM.INI"), "[system]");
  EXPECT_EQ(medium.platform.registryString(platform::Hive::CurrentUser, "software\\DemoAdv", "PATH"), game);
  const std::string log = medium.platform.readFile("C:\\install.log").value_or("");
  for (const std::string& line : Args{"title Demo Adventure", "destination C:\\Games", "created folder " + game,
                                  "copied origin.exe (7 bytes)", "copied SYSTEM.INI (8 bytes)", "exit code 0"}) {
    EXPECT_NE(log.find(line + "\r\n"), std::string::npos) << line << " in\n" << log;
  }

  EXPECT_EQ(run({"/S", "/D=C:\\Games"}), kExitInstalledState);
  EXPECT_EQ(run({"/S", "/UNINSTALL", "/ALL", "/LOG=C:\\uninstall.log"}), kExitDone);
  EXPECT_FALSE(medium.platform.exists(game));
  EXPECT_NE(medium.platform.readFile("C:\\uninstall.log")->find("removed " + game + "\\origin.exe\r\n"),
            std::string::npos);
  EXPECT_EQ(run({"/S", "/UNINSTALL"}), kExitInstalledState);
  EXPECT_EQ(run({"/S", "/D=C:\\x\\..\\Games"}), kExitRefused);
  medium.platform.setVolumeSpace('C', {4096, 4096});
  EXPECT_EQ(run({"/S", "/D=C:\\Games"}), kExitNotEnoughSpace);
  EXPECT_FALSE(medium.platform.exists(game));
  EXPECT_EQ(run({"/S", "/Q"}), kExitBadCommandLine);
  EXPECT_EQ(run({"/S", "/LOG=C:\\missing\\x.log"}), kExitBadCommandLine);

  // A block whose names break the rules: refused as the dialogs refuse it,
  // the field in brackets in the log, nothing made or removed.
  medium.content.extraEntries = {"../x"};
  medium.pack();
  auto withoutLog = [&] {
    platform::Snapshot machine = medium.platform.snapshot();
    machine.files.erase("C:\\refused.log");
    return machine;
  };
  for (bool installed : {false, true}) {
    if (installed) medium.recordInstallation(game, true);
    const auto before = withoutLog();
    EXPECT_EQ(run({"/S", installed ? "/UNINSTALL" : "/D=C:\\Games", "/LOG=C:\\refused.log"}), kExitRefused);
    const std::string refused = medium.platform.readFile("C:\\refused.log").value_or("");
    // The log is UTF-8.
    const auto text = cp932ToUtf8(installed ? texts::kBadConfigUninstall : texts::kBadConfigInstall);
    EXPECT_NE(refused.find("failed: " + text.value_or("") + " (extraEntries[0])\r\n"), std::string::npos) << refused;
    EXPECT_EQ(platform::describeDifference(before, withoutLog()), "");
  }

  EXPECT_TRUE(medium.platform.messageBoxes().empty());
  EXPECT_TRUE(medium.platform.processes().empty());
  EXPECT_EQ(run({"/?"}), kExitDone);
  ASSERT_EQ(medium.platform.messageBoxes().size(), 1u);
  EXPECT_EQ(medium.platform.messageBoxes()[0].text, texts::kUsage);
}

}  // namespace
