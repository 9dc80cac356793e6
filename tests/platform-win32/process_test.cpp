// Programs started by the backend see the command line and current
// directory they were given, whichever way they were started (directly, or
// through the desktop's shell for an elevated caller, as under Wine). The probe program reports both and signals an
// event; the test waits on that event and then on the probe's exit (its
// current directory stays in use until then), never on the clock.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/sjis.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "tests/platform/contract.h"
#include "tests/support/sjis_text.h"

namespace {

using platform::win32::toWide;
using platform::win32::UniqueFileHandle;
using platform::win32::UniqueKernelHandle;

// Long enough for Wine to start a process on a busy machine.
constexpr DWORD kStartLimitMs = 60000;

std::wstring besideThisProgram(const wchar_t* name) {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
  return path.substr(0, path.rfind(L'\\') + 1) + name;
}

struct ProbeReport {
  std::wstring commandLine, directory, rights;
};

// Reads the probe's report and waits until the probe has ended.
ProbeReport finishProbe(const std::string& folder) {
  UniqueFileHandle file(CreateFileW(toWide(joinPath(folder, "probe-report.txt")).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return {L"(no report)", L"", L""};
  std::wstring text(4096, L'\0');
  DWORD read = 0;
  ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
  text.resize(read / sizeof(wchar_t));
  const size_t first = text.find(L'\n'), second = text.find(L'\n', first + 1), third = text.find(L'\n', second + 1);
  if (third == std::wstring::npos) return {L"(bad report)", L"", L""};
  UniqueKernelHandle probe(OpenProcess(SYNCHRONIZE, FALSE, std::stoul(text.substr(0, first))));
  if (probe) WaitForSingleObject(probe.get(), kStartLimitMs);  // no handle: it has ended already
  return {text.substr(first + 1, second - first - 1), text.substr(second + 1, third - second - 1),
          text.substr(third + 1)};
}

class Win32Process : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string root = environment->root();
    programFolder = joinPath(root, sjis("ソフト"));
    workFolder = joinPath(root, sjis("作業表"));
    probe = joinPath(programFolder, "probe.exe");
    ASSERT_TRUE(system.createDirectory(programFolder));
    ASSERT_TRUE(system.createDirectory(workFolder));
    ASSERT_TRUE(CopyFileW(besideThisProgram(L"process_probe.exe").c_str(), toWide(probe).c_str(), TRUE));
    // Runs of the tests on one machine take turns (one Wine prefix each).
    done.reset(CreateEventW(nullptr, TRUE, FALSE, L"discmenu-process-probe"));
    ASSERT_TRUE(done);
  }

  std::unique_ptr<ContractEnvironment> environment = makeContractEnvironment();
  platform::Platform& system = environment->platform();
  std::string programFolder, workFolder, probe;
  UniqueKernelHandle done;
};

TEST_F(Win32Process, StartsWithCommandLineAndCurrentDirectory) {
  const std::string commandLine = "\"" + probe + "\" /l " + sjis("ソ");
  ASSERT_TRUE(system.createProcess(probe, commandLine, platform::kCreateNewConsole, workFolder));
  ASSERT_EQ(WaitForSingleObject(done.get(), kStartLimitMs), WAIT_OBJECT_0);
  const ProbeReport report = finishProbe(workFolder);
  EXPECT_EQ(report.commandLine, toWide(commandLine));
  EXPECT_EQ(report.directory, toWide(workFolder));
}

TEST_F(Win32Process, ShellOpenRunsAProgramInTheCurrentDirectory) {
  ASSERT_TRUE(system.setCurrentDirectory(workFolder));
  ASSERT_TRUE(system.shellOpen(probe));
  ASSERT_EQ(WaitForSingleObject(done.get(), kStartLimitMs), WAIT_OBJECT_0);
  const ProbeReport report = finishProbe(workFolder);
  EXPECT_NE(report.commandLine.find(toWide(probe)), std::wstring::npos);
  EXPECT_EQ(report.directory, toWide(workFolder));
}

// Fault: an elevated menu whose desktop shell does not answer (Explorer not
// running, hung, a COM step failing) starting the game or opening an extra
// item with its own elevated rights. Under Wine every program runs elevated
// above a linked unelevated token, as an administrator's under UAC does;
// the shell's route is left out here, then the token's too.
TEST_F(Win32Process, WithoutTheShellAProgramStartsWithThePlayersRightsOrNotAtAll) {
  platform::Win32Platform withoutShell(platform::Win32Platform::UnelevatedStarts{false, true});
  const std::string commandLine = "\"" + probe + "\" /l";
  ASSERT_TRUE(withoutShell.createProcess(probe, commandLine, platform::kCreateNewConsole, workFolder));
  ASSERT_EQ(WaitForSingleObject(done.get(), kStartLimitMs), WAIT_OBJECT_0);
  const ProbeReport report = finishProbe(workFolder);
  EXPECT_EQ(report.commandLine, toWide(commandLine));
  EXPECT_EQ(report.directory, toWide(workFolder));
  EXPECT_EQ(report.rights, L"limited");

  ResetEvent(done.get());
  ASSERT_TRUE(withoutShell.setCurrentDirectory(workFolder));
  ASSERT_TRUE(withoutShell.shellOpen(probe));
  ASSERT_EQ(WaitForSingleObject(done.get(), kStartLimitMs), WAIT_OBJECT_0);
  EXPECT_EQ(finishProbe(workFolder).rights, L"limited");

  platform::Win32Platform noWay(platform::Win32Platform::UnelevatedStarts{false, false});
  for (bool opened : {false, true}) {
    platform::StartFailure failure = platform::StartFailure::None;
    EXPECT_FALSE(opened ? noWay.shellOpen(probe, &failure)
                        : noWay.createProcess(probe, commandLine, platform::kCreateNewConsole, workFolder, &failure));
    EXPECT_EQ(failure, platform::StartFailure::OnlyElevated);
  }
}

}  // namespace
