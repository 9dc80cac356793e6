// Starting, waiting for and ending programs.
#include "tests/e2e/driver/driver.h"

namespace e2e {

namespace {

std::wstring quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

struct Started {
  HANDLE process;
  DWORD id;
};

Started startProcess(const wchar_t* application, std::wstring commandLine, const wchar_t* currentDirectory) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(application, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, currentDirectory,
                      &startup, &info)) {
    throw DriverError("cannot start " + narrow(commandLine) + " (error " + std::to_string(GetLastError()) + ")");
  }
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
                       const std::filesystem::path& currentDirectory) {
  std::wstring commandLine = quoted(program.wstring());
  if (!arguments.empty()) commandLine += L" " + arguments;
  Started started = startProcess(program.c_str(), commandLine, currentDirectory.c_str());
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

DWORD runNative(const std::wstring& commandLine, Duration timeout) {
  // No application name: Wine then looks the program up as a Linux one.
  Started started = startProcess(nullptr, commandLine, nullptr);
  auto code = waitFor(started.process, timeout);
  if (!code) TerminateProcess(started.process, 1);
  CloseHandle(started.process);
  if (!code) throw DriverError("native program did not end in time: " + narrow(commandLine));
  return *code;
}

}  // namespace e2e
