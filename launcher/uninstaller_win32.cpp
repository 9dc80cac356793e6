#include "launcher/uninstaller_win32.h"

#include <windows.h>
#include <ntsecapi.h>

#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "footprint/game_files.h"
#include "launcher/arguments.h"
#include "launcher/command_line.h"
#include "launcher/exit_codes.h"
#include "launcher/program_arguments_win32.h"
#include "launcher/run_log.h"
#include "launcher/uninstaller.h"
#include "platform/win32/access_lists.h"
#include "platform/win32/handles.h"
#include "platform/win32/held_folders.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace {

using platform::win32::FolderAccess;
using platform::win32::FolderSecurity;
using platform::win32::runsElevated;
using platform::win32::toSjis;
using platform::win32::UniqueFileHandle;
using platform::win32::UniqueKernelHandle;

// The switch the copy is started with; only the waiting uninst.exe gives it:
// "/_RELAY=<pipe handle>,<waiting process id>,<waiting uninst.exe's path>".
constexpr wchar_t kRelaySwitch[] = L"/_RELAY=";

struct Relay {
  HANDLE pipe = nullptr;  // inherited: where the exit code goes
  DWORD waitingProcess = 0;
  std::wstring waitingImage;
};

bool isRelaySwitch(const std::wstring& argument) { return argument.rfind(kRelaySwitch, 0) == 0; }

std::optional<Relay> relayOf(const std::vector<std::wstring>& list) {
  for (const std::wstring& argument : list) {
    if (!isRelaySwitch(argument)) continue;
    const std::wstring value = argument.substr(wcslen(kRelaySwitch));
    const size_t first = value.find(L','), second = value.find(L',', first + 1);
    if (first == std::wstring::npos || second == std::wstring::npos) return std::nullopt;
    Relay relay;
    relay.pipe = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(wcstoull(value.c_str(), nullptr, 10)));
    relay.waitingProcess = static_cast<DWORD>(wcstoul(value.c_str() + first + 1, nullptr, 10));
    relay.waitingImage = value.substr(second + 1);
    return relay;
  }
  return std::nullopt;
}

std::wstring folderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

// An argument as CommandLineToArgvW reads it back.
std::wstring quoted(const std::wstring& argument) {
  std::wstring text = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    text.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    text += c;
  }
  text.append(2 * backslashes, L'\\');
  return text + L"\"";
}

// A name no other program can foretell: 128 bits of the system's random
// source, in hexadecimal.
std::optional<std::wstring> unforeseeableName() {
  unsigned char random[16];
  if (!RtlGenRandom(random, sizeof random)) return std::nullopt;
  std::wstring name = L"uninst-";
  for (unsigned char byte : random) {
    name += L"0123456789abcdef"[byte >> 4];
    name += L"0123456789abcdef"[byte & 15];
  }
  return name;
}

// A new folder of the user's temp folder whose path has a Shift-JIS form
// (the copy reads its own file by it); nullopt when there is none. Its name
// cannot be foretold, so no other program can make it first, or a link by
// that name; its access list is its own (platform/win32/access_lists.h):
// when elevated, SYSTEM and Administrators full control and the player read
// and execute, so that no unelevated program of the player can put a DLL or
// another program there; otherwise the player alone.
std::optional<std::wstring> makeParkingFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  if (!GetTempPathW(MAX_PATH + 1, temp)) return std::nullopt;
  std::wstring base = temp;
  if (!toSjis(base)) {
    // The 8.3 form of a folder named outside code page 932 is ASCII.
    wchar_t shortForm[MAX_PATH + 1] = {};
    if (!GetShortPathNameW(temp, shortForm, MAX_PATH + 1) || !toSjis(shortForm)) return std::nullopt;
    base = shortForm;
  }
  if (!base.empty() && base.back() != L'\\') base += L'\\';
  FolderSecurity security(runsElevated() ? FolderAccess::ElevatedRelay : FolderAccess::PlayerOnly);
  if (!security.attributes()) return std::nullopt;
  for (unsigned attempt = 0; attempt < 4; ++attempt) {
    const auto name = unforeseeableName();
    if (!name) return std::nullopt;
    const std::wstring folder = base + *name;
    if (CreateDirectoryW(folder.c_str(), security.attributes())) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return std::nullopt;
  }
  return std::nullopt;
}

// The whole of a file read through `file`; nullopt on a read error.
std::optional<std::string> contentOf(HANDLE file) {
  std::string bytes;
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
    if (got == 0) return bytes;
    bytes.append(buffer, got);
  }
}

// The copy at `copy`, opened so that nobody can write, replace or rename it
// while it is held (reading alone is shared), and checked to hold this
// program's bytes. The open itself fails while another program holds the
// file with the right to write or delete, so what was compared is what
// will run. Invalid when that cannot be made sure of.
UniqueFileHandle heldCopy(const std::wstring& copy, const std::wstring& modulePath) {
  UniqueFileHandle held(
      CreateFileW(copy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  UniqueFileHandle own(CreateFileW(modulePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!held || !own) return {};
  const auto copied = contentOf(held.get());
  const auto original = contentOf(own.get());
  if (!copied || !original || *copied != *original) return {};
  return held;
}

// /LOG= with its file made absolute: the copy works in another folder.
std::wstring withAbsoluteLog(const std::wstring& argument) {
  if (argument.size() < 5 || (argument[0] != L'/' && argument[0] != L'-') ||
      CompareStringOrdinal(argument.c_str() + 1, 4, L"LOG=", 4, TRUE) != CSTR_EQUAL) {
    return argument;
  }
  const std::wstring file = argument.substr(5);
  std::wstring full(GetFullPathNameW(file.c_str(), 0, nullptr, nullptr), L'\0');
  if (full.empty()) return argument;
  full.resize(GetFullPathNameW(file.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
  return argument.substr(0, 5) + full;
}

// The waiting side: starts the copy in the temp folder and ends with the
// code it reports. nullopt when the copy could not be made or started; the
// program then works from where it stands.
std::optional<int> relayToCopy(const std::wstring& modulePath, const std::vector<std::wstring>& list) {
  auto folder = makeParkingFolder();
  if (!folder) return std::nullopt;
  const std::wstring copy = *folder + L"\\" + platform::win32::toWide(kUninstallerProgram);
  UniqueFileHandle held;
  if (CopyFileW(modulePath.c_str(), copy.c_str(), TRUE)) held = heldCopy(copy, modulePath);
  if (!held) {
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder->c_str());
    return std::nullopt;
  }
  // Started from the Start menu, the working folder is the game folder,
  // which a process's current directory would keep from being removed.
  SetCurrentDirectoryW(folder->c_str());

  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return std::nullopt;
  UniqueKernelHandle reader(readEnd), writer(writeEnd);
  SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);

  std::wstring commandLine = quoted(copy);
  for (const std::wstring& argument : list) commandLine += L" " + quoted(withAbsoluteLog(argument));
  commandLine += L" " + quoted(kRelaySwitch + std::to_wstring(reinterpret_cast<uintptr_t>(writer.get())) + L"," +
                               std::to_wstring(GetCurrentProcessId()) + L"," + modulePath);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, folder->c_str(), &startup,
                      &started)) {
    held.reset();
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder->c_str());
    return std::nullopt;
  }
  UniqueKernelHandle process(started.hProcess), thread(started.hThread);
  held.reset();    // what runs is mapped: the file can change no more
  writer.reset();  // the copy holds the only write end: its end breaks the pipe

  int code = 0;
  DWORD got = 0;
  if (ReadFile(reader.get(), &code, sizeof code, &got, nullptr) && got == sizeof code) return code;
  // Ended without a word (killed, or crashed): its own exit code.
  DWORD exitCode = 0;
  WaitForSingleObject(process.get(), INFINITE);
  GetExitCodeProcess(process.get(), &exitCode);
  return static_cast<int>(exitCode);
}

// The identity of the image the process runs; nullopt when it cannot be
// read.
std::optional<platform::FileIdentity> imageIdentityOf(HANDLE process) {
  std::wstring path(32768, L'\0');
  DWORD length = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(process, 0, path.data(), &length)) return std::nullopt;
  path.resize(length);
  UniqueFileHandle image(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                     nullptr));
  BY_HANDLE_FILE_INFORMATION information;
  if (!image || !GetFileInformationByHandle(image.get(), &information)) return std::nullopt;
  return platform::win32::identityOf(information);
}

// The pipe handed down is one the waiting process made: whoever started
// this program with another handle value, or another process id, made the
// switch up.
bool pipeOfTheWaitingProcess(const Relay& relay) {
  ULONG server = 0;
  return GetFileType(relay.pipe) == FILE_TYPE_PIPE && GetNamedPipeServerProcessId(relay.pipe, &server) &&
         server == relay.waitingProcess;
}

}  // namespace

bool isUninstallerImage(const std::wstring& modulePath) {
  const std::wstring name = modulePath.substr(modulePath.find_last_of(L"\\/") + 1);
  return CompareStringOrdinal(name.c_str(), -1, platform::win32::toWide(kUninstallerProgram).c_str(), -1, TRUE) ==
         CSTR_EQUAL;
}

int runAsUninstaller(platform::Win32Platform& platform, const std::wstring& modulePath,
                     const std::vector<std::wstring>& list) {
  auto relay = relayOf(list);
  std::vector<std::wstring> own;
  for (const std::wstring& argument : list) {
    if (!isRelaySwitch(argument)) own.push_back(argument);
  }
  // A bad command line and the usage are answered here, before any copy.
  const auto arguments = shiftJisArguments(own);
  if (!arguments) return kExitBadCommandLine;
  const ParsedCommandLine parsed = parseCommandLine(*arguments, true);
  if (parsed.error) return kExitBadCommandLine;
  if (parsed.line.usage) {
    showUsage(platform);
    return kExitDone;
  }
  // /VERIFY removes nothing: it works where it stands.
  if (!relay && !parsed.line.verify) {
    if (auto code = relayToCopy(modulePath, own)) return *code;
  }
  UninstallerStart start;
  start.line = parsed.line;
  std::unique_ptr<RunLog> log;
  if (!openRunLog(platform, parsed.line, log, start.logSink)) return kExitBadCommandLine;
  start.image = toSjis(modulePath).value_or(std::string());
  // Started directly (no copy could be made), its own image is the one to
  // spare; nobody waits, and it stays in the game folder.
  start.sparedUninstaller = toSjis(relay ? relay->waitingImage : modulePath).value_or(std::string());
  if (relay) {
    start.parking = toSjis(folderOf(modulePath)).value_or(std::string());
    // Opened now, so that the id names that program and no later one.
    auto waiting = std::make_shared<UniqueKernelHandle>(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, relay->waitingProcess));
    // The switch proves itself, or nothing at all is done: runUninstaller
    // checks the image against the game folder's uninst.exe.
    if (!*waiting || !pipeOfTheWaitingProcess(*relay)) {
      if (start.logSink) {
        start.logSink("failed: the relay switch was not given by a waiting uninstaller");
        start.logSink(exitCodeLine(kExitBadCommandLine));
      }
      return kExitBadCommandLine;
    }
    start.relayed = true;
    start.waitingImage = imageIdentityOf(waiting->get());
    HANDLE pipe = relay->pipe;
    start.reportAndAwaitEnd = [pipe, waiting](int code) {
      DWORD written = 0;
      WriteFile(pipe, &code, sizeof code, &written, nullptr);
      CloseHandle(pipe);
      if (*waiting) WaitForSingleObject(waiting->get(), 60000);
    };
  }
  return runUninstaller(platform, start);
}
