// Starting, waiting for and ending programs.
#include "automation/driver.h"

namespace e2e {

namespace {

std::wstring quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

struct Started {
  HANDLE process;
  DWORD id;
};

// The driver's unelevated rights as a primary token; null when the driver
// runs unelevated already (then its own rights are those).
HANDLE unelevatedToken() {
  HANDLE own = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own)) throw DriverError("cannot read the driver's rights");
  TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
  TOKEN_LINKED_TOKEN linked{};
  DWORD size = 0;
  const bool split = GetTokenInformation(own, TokenElevationType, &type, sizeof type, &size) &&
                     type == TokenElevationTypeFull &&
                     GetTokenInformation(own, TokenLinkedToken, &linked, sizeof linked, &size);
  CloseHandle(own);
  if (!split) return nullptr;
  HANDLE primary = nullptr;
  const bool duplicated =
      DuplicateTokenEx(linked.LinkedToken, TOKEN_ALL_ACCESS, nullptr, SecurityImpersonation, TokenPrimary, &primary);
  CloseHandle(linked.LinkedToken);
  if (!duplicated) throw DriverError("cannot make the unelevated rights");
  return primary;
}

Started startProcess(const wchar_t* application, std::wstring commandLine, const wchar_t* currentDirectory,
                     Rights rights) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  HANDLE token = rights == Rights::Unelevated ? unelevatedToken() : nullptr;
  const bool started = token ? CreateProcessAsUserW(token, application, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                                    nullptr, currentDirectory, &startup, &info)
                             : CreateProcessW(application, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                              currentDirectory, &startup, &info);
  const DWORD error = GetLastError();
  if (token) CloseHandle(token);
  if (!started) throw DriverError("cannot start " + narrow(commandLine) + " (error " + std::to_string(error) + ")");
  CloseHandle(info.hThread);
  return {info.hProcess, info.dwProcessId};
}

std::optional<DWORD> waitFor(HANDLE process, Duration timeout) {
  if (WaitForSingleObject(process, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  return code;
}

}  // namespace

Process Process::start(const std::filesystem::path& program, const std::wstring& arguments,
                       const std::filesystem::path& currentDirectory, Rights rights) {
  std::wstring commandLine = quoted(program.wstring());
  if (!arguments.empty()) commandLine += L" " + arguments;
  Started started = startProcess(program.c_str(), commandLine, currentDirectory.c_str(), rights);
  return Process(started.process, started.id);
}

Process::Process(Process&& other) noexcept : handle_(other.handle_), id_(other.id_) { other.handle_ = nullptr; }

Process::~Process() {
  if (!handle_) return;
  kill();
  CloseHandle(handle_);
}

bool Process::running() const { return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Process::waitForExit(Duration timeout) { return waitFor(handle_, timeout); }

DWORD Process::exitCode(Duration timeout) {
  auto code = waitForExit(timeout);
  if (!code) throw DriverError("process " + std::to_string(id_) + " did not end in time");
  return *code;
}

void Process::kill() {
  if (!running()) return;
  TerminateProcess(handle_, 1);
  WaitForSingleObject(handle_, static_cast<DWORD>(kTimeout.count()));
}

DWORD runNative(const std::string& script, Duration timeout) {
  if (script.find('"') != std::string::npos) throw DriverError("runNative: use single quotes in " + script);
  // Wine starts a Linux program but hands back no handle that tells when it
  // ends, so the shell writes the exit status to a file once it is done.
  TempFolder work("native");
  const std::string status = unixPath(work / "status");
  const std::string wrapped = script + "; echo $? > '" + status + ".part' && mv '" + status + ".part' '" + status + "'";
  const std::wstring commandLine = L"/bin/sh -c \"" + widen(wrapped) + L"\"";
  // Wine, busy, has once answered the start of a Linux program with an
  // internal error (1359); a second try started it.
  for (int attempt = 1;; ++attempt) {
    try {
      CloseHandle(startProcess(nullptr, commandLine, nullptr, Rights::Driver).process);
      break;
    } catch (const DriverError&) {
      if (attempt == 3) throw;
      Sleep(200);
    }
  }
  if (!waitUntil([&] { return std::filesystem::exists(work / "status"); }, timeout)) {
    throw DriverError("native program did not end in time: " + script);
  }
  return static_cast<DWORD>(std::stoul(readFile(work / "status")));
}

std::string runNativeOutput(const std::string& script, Duration timeout) {
  TempFolder work("native-output");
  const DWORD status = runNative("(" + script + ") > '" + unixPath(work / "output") + "'", timeout);
  std::string output = readFile(work / "output");
  if (status != 0) throw DriverError("native program ended with " + std::to_string(status) + ": " + script + "\n" + output);
  return output;
}

}  // namespace e2e
