// Times installations by the real install.exe under Wine against `cp -r` of
// the same files, once with the toolkit's own 1 ms timer (a waitable timer
// ticked by its message loop) and once with a build of install.exe whose
// toolkit leaves every timer to SetTimer, which the window system clamps to
// 10 ms. The copy moves one chunk per timer tick and finishes at most one
// file per tick, so a large file cannot go faster than ChunkSize x ticks per
// second and small files no faster than one per tick. The tick rate of both
// mechanisms is measured in the same run rather than assumed.
//
// The copy hashes every file from the chunks it reads (SHA-256 by
// bcrypt.dll) for the install record, and checks it against the medium's
// install.sha256 when there is one: each medium is installed with and
// without that list, and by a build of install.exe that computes no digest
// at all (install_nodigests), so that both costs show in the same run; the
// rate of bcrypt's SHA-256 alone is measured too.
//
// Media: (a) one 512 MiB file, (b) 2,000 small files in nested folders; both
// pseudo-random and fully written (not sparse), so that neither program can
// take a short cut over holes or zero pages. The installation is timed from
// the click on OK of the confirmation that "インストール開始" asks, to the
// completion box "インストール完了しました"; `cp -r` runs natively and times
// itself. Before each timed step the disk is synced, so that neither pays for
// the other's write-back.
//
// Each timing is taken kRepeats times, each into a fresh folder, the two
// timers and cp taking turns; the table gives the median (other programs on
// the machine make single runs noisy). Prints a table; exits non-zero only
// when a step could not run.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "core/sha256.h"
#include "forms/layouts.h"
#include "tests/bench/tick_probe.h"
#include "tests/e2e/build_paths.h"
#include "tools/config_json.h"

using namespace e2e;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::chrono::milliseconds kProbeLength{4000};
constexpr int kRepeats = 3;
constexpr std::chrono::minutes kLongWait{10};
// How often the end of the installation is looked for: the resolution of
// its time, and light enough not to take time from the copy.
constexpr std::chrono::milliseconds kFinishPoll{5};
constexpr char kRegistryKey[] = "DiscmenuBench";
constexpr char kMenuGroup[] = "DiscmenuBench";
constexpr char kGameFolder[] = "Bench";
constexpr char kDataFolder[] = "data";
constexpr double kMiB = 1024.0 * 1024.0;

// The builds of install.exe compared, and whether the medium carries its
// install.sha256 for them; `timer` is the tick probe of their mechanism.
struct Mechanism {
  const char* name;
  std::filesystem::path image;
  size_t timer;
  bool digestList;
};
const Mechanism kMechanisms[] = {
    {"waitable timer", installerImage(), 0, false},
    {"with install.sha256", installerImage(), 0, true},
    {"no digests", windowsPath(INSTALL_NODIGESTS_EXE), 0, false},
    {"SetTimer", windowsPath(INSTALL_SETTIMER_EXE), 1, false},
};
constexpr size_t kNew = 0;
constexpr size_t kChecked = 1;
constexpr size_t kUnhashed = 2;
constexpr size_t kOld = 3;
// The share of the time that the digests may cost.
constexpr double kDigestGoal = 0.10;

// Fills `bytes` from a deterministic pseudo-random sequence.
void fillRandom(std::mt19937_64& random, std::string& bytes) {
  for (size_t i = 0; i < bytes.size(); i += 8) {
    const uint64_t word = random();
    std::memcpy(bytes.data() + i, &word, std::min<size_t>(8, bytes.size() - i));
  }
}

// What a medium holds under its data folder, as the installation plans it,
// and the speed the copy with the toolkit's timer is to reach: MiB/s for the
// large file, files/s for the small ones.
struct Payload {
  std::string name;
  double goal = 0;
  bool goalInFiles = false;
  int files = 0;
  uint64_t bytes = 0;
  // Ticks the copy needs: a file takes one per full chunk and one for the
  // short (possibly empty) read that ends it.
  int ticks = 0;

  void count(uint64_t size) {
    ++files;
    bytes += size;
    ticks += static_cast<int>(size / ChunkSize) + 1;
  }
};

// "file7.bin" from ("file", 7, ".bin").
std::string numbered(const char* prefix, int number, const char* suffix = "") {
  std::string name(prefix);
  name.append(std::to_string(number)).append(suffix);
  return name;
}

Payload writeLargeFile(Medium& medium) {
  Payload payload{"(a) one 512 MiB file", 850, false};
  const std::filesystem::path path = medium.root() / kDataFolder / "movie.bin";
  std::filesystem::create_directories(path.parent_path());
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (!file) throw DriverError("cannot create " + narrow(path.wstring()));
  std::mt19937_64 random(1);
  std::string chunk(ChunkSize, '\0');
  bool written = true;
  for (int i = 0; i < 512 && written; ++i) {
    fillRandom(random, chunk);
    written = fwrite(chunk.data(), 1, chunk.size(), file) == chunk.size();
  }
  written = fclose(file) == 0 && written;
  if (!written) throw DriverError("cannot write " + narrow(path.wstring()));
  payload.count(512 * ChunkSize);
  return payload;
}

// 10 folders of 10 folders of 20 files, 1 to 16 KiB each.
Payload writeSmallFiles(Medium& medium) {
  Payload payload{"(b) 2,000 small files", 850, true};
  std::mt19937_64 random(2);
  std::uniform_int_distribution<size_t> size(1024, 16 * 1024);
  for (int outer = 0; outer < 10; ++outer) {
    for (int inner = 0; inner < 10; ++inner) {
      for (int file = 0; file < 20; ++file) {
        std::string bytes(size(random), '\0');
        fillRandom(random, bytes);
        medium.addFile(std::filesystem::path(kDataFolder) / numbered("d", outer) / numbered("e", inner) /
                           numbered("file", file, ".bin"),
                       bytes);
        payload.count(bytes.size());
      }
    }
  }
  return payload;
}

Json benchConfig() {
  Json config = sampleConfigJson();
  config["title"] = "Bench";
  config["registryKey"] = kRegistryKey;
  config["gameFolder"] = kGameFolder;
  config["extraEntries"] = Json::array({kDataFolder});
  config["preserveEntries"] = Json::array();
  config["menuGroup"] = kMenuGroup;
  config["extra1"] = nullptr;
  config["buttons"]["extra1"] = nullptr;
  return config;
}

// What an installation leaves outside its folder: the registry value and the
// Start-menu group.
void removeRegistration() {
  deleteRegistryTree(HKEY_CURRENT_USER, widen(std::string("software\\") + kRegistryKey));
  auto programs = readRegistryString(HKEY_CURRENT_USER,
                                     L"software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                     L"Programs");
  std::error_code ignored;
  if (programs) std::filesystem::remove_all(std::filesystem::path(*programs) / kMenuGroup, ignored);
}

void syncDisk() {
  if (runNative("sync", kLongWait) != 0) throw DriverError("sync failed");
}

// The visible box of the process with that caption, found without sending
// the program anything (FindWindowEx reads captions without messages).
HWND findBox(DWORD processId, const wchar_t* caption) {
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, L"#32770", caption))) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

// Installs the medium into `destination` through the menu and the dialogs;
// the seconds from the confirmation's OK to the completion box.
double timeInstallation(const Medium& medium, const std::filesystem::path& destination) {
  removeRegistration();
  Process menu = medium.start();
  Window form = waitForWindow(menu, L"Tmform");
  form.child(controlId(mformLayout, "instbtn")).click();
  Window dialog = waitForWindow(menu, L"Tinstform");
  dialog.child(controlId(instformLayout, "dirpath")).setText(destination.wstring());
  dialog.child(controlId(instformLayout, "Button2")).click();
  MessageBoxView confirmation = waitForMessageBox(menu, L"インストール先の確認");
  syncDisk();

  const auto start = Clock::now();
  confirmation.answer(IDOK);
  const auto deadline = start + kLongWait;
  while (!findBox(menu.id(), L"確認")) {
    if (!menu.running()) throw DriverError("install.exe ended during the copy");
    if (Clock::now() > deadline) throw DriverError("the installation did not finish in time");
    Sleep(static_cast<DWORD>(kFinishPoll.count()));
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

  MessageBoxView box = waitForMessageBox(menu, L"確認");
  if (box.text != L"インストール完了しました") throw DriverError("the installation reported: " + narrow(box.text));
  box.answer(IDOK);
  Window runButton = form.child(controlId(mformLayout, "runbtn"));
  if (!waitUntil([&] { return form.visible() && runButton.enabled(); })) {
    throw DriverError("the menu did not come back installed");
  }
  form.child(controlId(mformLayout, "closebtn")).click();
  menu.exitCode();
  removeRegistration();
  return seconds;
}

// Compares the copy with the medium's data folder, contents included.
void checkCopy(const Medium& medium, const std::filesystem::path& copy, const char* by) {
  const std::string script =
      "diff -rq '" + unixPath(medium.root() / kDataFolder) + "' '" + unixPath(copy) + "' >/dev/null";
  if (runNative(script, kLongWait) != 0) throw DriverError(std::string(by) + " did not copy the medium exactly");
}

// `cp -r` of the medium's data folder, timed by the shell around cp alone.
double timeNativeCopy(const Medium& medium, const std::filesystem::path& destination) {
  syncDisk();
  TempFolder work("bench-time");
  const std::string result = unixPath(work / "nanoseconds");
  const std::string script = "t0=$(date +%s%N) && cp -r '" + unixPath(medium.root() / kDataFolder) + "' '" +
                             unixPath(destination) + "/' && t1=$(date +%s%N) && echo $((t1 - t0)) > '" + result +
                             "'";
  if (runNative(script, kLongWait) != 0) throw DriverError("cp -r failed");
  return std::stod(readFile(work / "nanoseconds")) / 1e9;
}

// Seconds of the repeated runs of one step, sorted.
struct Timings {
  std::vector<double> seconds;
  void add(double value) {
    seconds.insert(std::upper_bound(seconds.begin(), seconds.end(), value), value);
  }
  double median() const { return seconds[seconds.size() / 2]; }
};

struct Figures {
  Payload payload;
  Timings install[std::size(kMechanisms)];
  Timings copy;
};

Figures benchMedium(const char* name, Payload (*write)(Medium&)) {
  Medium medium(name);
  Figures figures;
  figures.payload = write(medium);
  for (int run = 0; run < kRepeats; ++run) {
    for (size_t m = 0; m < std::size(kMechanisms); ++m) {
      medium.pack(kMechanisms[m].image, benchConfig());
      std::filesystem::remove(medium.root() / "install.sha256");
      if (kMechanisms[m].digestList) medium.writeDigests();
      TempFolder destination("bench-install");
      figures.install[m].add(timeInstallation(medium, destination.path()));
      checkCopy(medium, destination / kGameFolder / kDataFolder, "install.exe");
    }
    TempFolder destination("bench-cp");
    figures.copy.add(timeNativeCopy(medium, destination.path()));
    checkCopy(medium, destination / kDataFolder, "cp -r");
  }
  return figures;
}

void reportTicks(const char* name, const TickRate& rate) {
  std::printf("  %-15s %5d ticks in %.2f s = %6.1f ticks/s (interval min %.2f, median %.2f, max %.2f ms)\n", name,
              rate.ticks, rate.seconds, rate.perSecond, rate.shortestMs, rate.medianMs, rate.longestMs);
}

void reportTimes(const char* name, const Payload& p, const Timings& timings) {
  const double seconds = timings.median();
  std::printf("  %-26s %7.2f s [%.2f, %.2f] %8.1f MiB/s %8.1f files/s", name, seconds, timings.seconds.front(),
              timings.seconds.back(), p.bytes / kMiB / seconds, p.files / seconds);
}

// MiB/s of bcrypt.dll's SHA-256 over 256 chunks of ChunkSize, in memory.
double measureSha256() {
  auto sha256 = Sha256Provider::open();
  if (!sha256) throw DriverError("no SHA-256 from bcrypt.dll");
  std::string chunk(ChunkSize, '\0');
  std::mt19937_64 random(3);
  fillRandom(random, chunk);
  const auto start = Clock::now();
  auto digest = sha256->start();
  for (int i = 0; i < 256; ++i) digest->add(chunk.data(), chunk.size());
  if (!digest->finish()) throw DriverError("bcrypt.dll's SHA-256 failed");
  return 256 / std::chrono::duration<double>(Clock::now() - start).count();
}

// How much longer `with` took than `without`, as a share of `without`.
double extraShare(const Timings& with, const Timings& without) { return with.median() / without.median() - 1; }

void report(const TickRate (&rates)[2], double sha256, const std::vector<Figures>& runs) {
  std::printf("tick probe: a 1 ms timer, timeBeginPeriod(1), nothing done per tick\n");
  reportTicks("waitable timer", rates[0]);
  reportTicks("SetTimer", rates[1]);
  std::printf("SHA-256 by bcrypt.dll, in memory: %.1f MiB/s (%.2f ms a chunk)\n", sha256, 1000 / sha256);
  std::printf("installations: medians of %d runs each, [fastest, slowest] in seconds\n", kRepeats);
  for (const Figures& run : runs) {
    const Payload& p = run.payload;
    std::printf("%s: %d files, %.1f MiB, %d ticks of copy\n", p.name.c_str(), p.files, p.bytes / kMiB, p.ticks);
    for (size_t m = 0; m < std::size(kMechanisms); ++m) {
      const double seconds = run.install[m].median();
      reportTimes((std::string("install.exe, ") + kMechanisms[m].name).c_str(), p, run.install[m]);
      // The tick rate the copy kept, against the bare rate of the probe.
      std::printf(" %7.1f ticks/s (%.2f ms a tick; %.0f %% of the probe's rate)\n", p.ticks / seconds,
                  1000 * seconds / p.ticks, 100 * p.ticks / seconds / rates[kMechanisms[m].timer].perSecond);
    }
    reportTimes("cp -r", p, run.copy);
    std::printf("\n");
    const double copy = run.copy.median();
    std::printf("  new/old %.2f x   install/cp %.3f (waitable timer), %.3f (SetTimer)\n",
                run.install[kOld].median() / run.install[kNew].median(), copy / run.install[kNew].median(),
                copy / run.install[kOld].median());
    const double reached = (p.goalInFiles ? p.files : p.bytes / kMiB) / run.install[kNew].median();
    const char* unit = p.goalInFiles ? "files/s" : "MiB/s";
    std::printf("  goal %.0f %s: %.1f %s, install/cp %.3f, %s\n", p.goal, unit, reached, unit,
                copy / run.install[kNew].median(), reached >= p.goal ? "reached" : "not reached");
    const double checking = extraShare(run.install[kChecked], run.install[kNew]);
    const double hashing = extraShare(run.install[kNew], run.install[kUnhashed]);
    const double both = extraShare(run.install[kChecked], run.install[kUnhashed]);
    std::printf("  digests: checking against install.sha256 %+.1f %% (against the copy without a list), the "
                "record's digests %+.1f %% (against no digests), both %+.1f %%; goal at most %.0f %%: %s\n",
                100 * checking, 100 * hashing, 100 * both, 100 * kDigestGoal,
                both <= kDigestGoal ? "reached" : "not reached");
  }
}

}  // namespace

int main() {
  try {
    const TickRate rates[] = {measureToolkitTicks(kProbeLength), measureSetTimerTicks(kProbeLength)};
    const double sha256 = measureSha256();
    std::vector<Figures> runs;
    runs.push_back(benchMedium("bench-large", writeLargeFile));
    runs.push_back(benchMedium("bench-small", writeSmallFiles));
    report(rates, sha256, runs);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "copy_bench: %s\n", error.what());
    return 1;
  }
}
