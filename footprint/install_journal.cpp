#include "footprint/install_journal.h"

#include <charconv>
#include <string_view>
#include <unordered_set>

#include "config/name_rules.h"
#include "core/sjis.h"
#include "footprint/names.h"
#include "texts.h"

using platform::Hive;

namespace {

constexpr char kVersionLine[] = "install journal 1";
constexpr char kDestinationKind[] = "destination";
constexpr char kKeysMadeKind[] = "keys made";
constexpr char kFolderKind[] = "folder";
constexpr char kFileKind[] = "file";
// As for the install record: far beyond any real plan.
constexpr size_t kLargestJournal = 64 << 20;

// The game's key and the keys above it below "software", outermost first.
std::vector<std::string> keyLevels(const std::string& registryKey) {
  std::vector<std::string> levels;
  forEachSeparator(registryKey, 0, [&](size_t at) { levels.push_back(softwareKeyPath(registryKey.substr(0, at))); });
  levels.push_back(softwareKeyPath(registryKey));
  return levels;
}

}  // namespace

std::string formatInstallJournal(const InstallJournal& journal) {
  std::string text = std::string(kVersionLine) + "\n";
  auto add = [&](const char* kind, const std::string& value) {
    text.append(kind).append("\t").append(value).append("\n");
  };
  add(kDestinationKind, journal.destination);
  add(kKeysMadeKind, std::to_string(journal.keysMade));
  for (const std::string& folder : journal.folders) add(kFolderKind, folder);
  for (const std::string& file : journal.files) add(kFileKind, file);
  return text;
}

std::optional<InstallJournal> parseInstallJournal(const std::string& text) {
  std::string_view rest = text;
  InstallJournal journal;
  bool versioned = false;
  bool keysRead = false;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!versioned) {
      if (line != kVersionLine) return std::nullopt;
      versioned = true;
      continue;
    }
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return std::nullopt;
    const std::string_view kind = line.substr(0, tab);
    const std::string value(line.substr(tab + 1));
    if (kind == kDestinationKind) {
      if (!journal.destination.empty() || value.empty()) return std::nullopt;
      journal.destination = value;
    } else if (kind == kKeysMadeKind) {
      const auto [at, error] = std::from_chars(value.data(), value.data() + value.size(), journal.keysMade);
      if (keysRead || error != std::errc() || at != value.data() + value.size() || journal.keysMade < 0) {
        return std::nullopt;
      }
      keysRead = true;
    } else if (kind == kFolderKind || kind == kFileKind) {
      // Never anything outside the destination, nor a name the usual path
      // rules would turn into another.
      if (placedNameProblem(value)) return std::nullopt;
      (kind == kFolderKind ? journal.folders : journal.files).push_back(value);
    } else {
      return std::nullopt;
    }
  }
  if (!versioned || journal.destination.empty() || !keysRead) return std::nullopt;
  return journal;
}

bool writeInstallJournal(AppContext& ctx) {
  platform::Platform& platform = ctx.platform;
  const std::string& installPath = ctx.config.InstallPath;
  InstallJournal journal{installPath, 0, {}, ctx.plan.CopyPlan->items()};
  // The plan's folders as recordPlanFolders names them, parents first. A
  // folder's files follow each other in the plan: an entry in the same
  // folder as the one before adds nothing, and a name met before byte for
  // byte is not folded again.
  std::unordered_set<std::string> seen;
  std::unordered_set<std::string> folded;
  std::string_view previousFolder;
  for (const std::string& entry : journal.files) {
    const std::string_view folder = std::string_view(entry).substr(0, lastSeparator(entry, 0).value_or(0));
    if (folder == previousFolder) continue;
    previousFolder = folder;
    forEachSeparator(entry, 0, [&](size_t at) {
      std::string folder = entry.substr(0, at);
      if (!seen.insert(folder).second || !folded.insert(platform.caseFoldKey(folder)).second) return;
      journal.folders.push_back(std::move(folder));
    });
  }
  const std::vector<std::string> levels = keyLevels(ctx.config.registryKey);
  for (const std::string& level : levels) {
    if (platform.openKey(Hive::CurrentUser, level)) continue;
    journal.keysMade = static_cast<int>(levels.size()) - static_cast<int>(&level - levels.data());
    break;
  }
  auto key = platform.createKey(Hive::CurrentUser, levels.back());
  const bool written = key && key->setString(kInstallJournalValue, formatInstallJournal(journal));
  key.reset();
  if (!written || !platform.flushRegistry(Hive::CurrentUser)) {
    removeInstallJournal(platform, ctx.config.registryKey, journal.keysMade);
    return false;
  }
  ctx.copy.journalKeysMade = journal.keysMade;
  return true;
}

StandingJournal readInstallJournal(platform::Platform& platform, const std::string& registryKey) {
  auto key = platform.openKey(Hive::CurrentUser, softwareKeyPath(registryKey));
  if (!key) return {};
  auto text = key->queryString(kInstallJournalValue, kLargestJournal);
  if (!text) return {};
  return {true, parseInstallJournal(*text)};
}

void removeInstallJournal(platform::Platform& platform, const std::string& registryKey, int keysMade) {
  const std::vector<std::string> levels = keyLevels(registryKey);
  // Opened for writing only when it stands: opening a missing key that way
  // would make it.
  if (platform.openKey(Hive::CurrentUser, levels.back())) {
    if (auto key = platform.createKey(Hive::CurrentUser, levels.back())) key->deleteValue(kInstallJournalValue);
  }
  for (int i = 0; i < keysMade && i < static_cast<int>(levels.size()); ++i) {
    platform.deleteKey(Hive::CurrentUser, levels[levels.size() - 1 - i]);
  }
}

void removeEmptyGameKeys(platform::Platform& platform, const std::string& registryKey) {
  const std::vector<std::string> levels = keyLevels(registryKey);
  for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
    auto key = platform.openKey(Hive::CurrentUser, *level);
    if (!key || key->valueCount() != 0u || key->subkeyCount() != 0u) return;
    key.reset();
    if (!platform.deleteKey(Hive::CurrentUser, *level)) return;
  }
}

std::string unfinishedRollbackText(const std::string& destination) {
  return std::string(texts::kInterruptedRollbackPending) + "\n" + destination + "\n" + texts::kRestartAfterClosing;
}
