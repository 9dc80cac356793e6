#include "footprint/install_record.h"

#include <unordered_set>

#include "config/name_rules.h"
#include "core/cp932.h"
#include "core/sjis.h"
#include "footprint/file_reading.h"
#include "footprint/planning.h"
#include "footprint/safe_removal.h"

namespace {

constexpr char kVersionLine[] = "install record 2";
// Written by earlier builds: the same, without digests.
constexpr char kFirstVersionLine[] = "install record 1";
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char kFolderKind[] = "folder";
constexpr char kFileKind[] = "file";
// Far beyond any real record (100,000 files of 300 bytes); a bigger file is
// not one of ours.
constexpr size_t kLargestRecord = 64 << 20;

}  // namespace

std::optional<std::string> formatInstallRecord(const InstallRecord& record) {
  std::string text = std::string(kByteOrderMark) + kVersionLine + "\r\n";
  auto add = [&](const char* kind, const std::string& name, const Sha256Digest* digest) {
    auto utf8 = cp932ToUtf8(name);
    if (!utf8) return false;
    text.append(kind).append("\t").append(*utf8);
    if (digest) text.append("\t").append(digestHex(*digest));
    text.append("\r\n");
    return true;
  };
  for (const std::string& folder : record.folders) {
    if (!add(kFolderKind, folder, nullptr)) return std::nullopt;
  }
  for (const std::string& file : record.files) {
    auto digest = record.digests.find(file);
    if (!add(kFileKind, file, digest == record.digests.end() ? nullptr : &digest->second)) return std::nullopt;
  }
  return text;
}

std::optional<InstallRecord> parseInstallRecord(const std::string& text) {
  std::string_view rest = text;
  if (rest.starts_with(kByteOrderMark)) rest.remove_prefix(3);
  InstallRecord record;
  bool versioned = false, withDigests = false;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (!versioned) {
      withDigests = line == kVersionLine;
      if (!withDigests && line != kFirstVersionLine) return std::nullopt;
      versioned = true;
      continue;
    }
    if (line.empty() && rest.empty()) break;
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return std::nullopt;
    const std::string_view kind = line.substr(0, tab);
    std::string_view field = line.substr(tab + 1);
    std::optional<Sha256Digest> digest;
    if (const size_t second = field.find('\t'); second != std::string_view::npos) {
      // Only a file of a record that keeps digests has one.
      digest = digestFromHex(field.substr(second + 1));
      if (!withDigests || kind != kFileKind || !digest) return std::nullopt;
      field = field.substr(0, second);
    }
    auto name = utf8ToCp932(field);
    // Never anything outside the game folder, nor a name the usual path
    // rules would turn into another.
    if (!name || placedNameProblem(*name)) return std::nullopt;
    if (kind == kFolderKind) {
      record.folders.push_back(std::move(*name));
    } else if (kind == kFileKind) {
      if (digest) record.digests[*name] = *digest;
      record.files.push_back(std::move(*name));
    } else {
      return std::nullopt;
    }
  }
  if (!versioned) return std::nullopt;
  return record;
}

bool writeInstallRecord(AppContext& ctx, platform::FileError* error) {
  auto failed = [error](platform::FileError cause) {
    if (error) *error = cause;
    return false;
  };
  const std::string& installPath = ctx.config.InstallPath;
  const auto& plan = ctx.plan.CopyPlan->items();
  InstallRecord record;
  std::unordered_set<std::string> seen;
  const auto& digests = ctx.copy.CopiedDigests;
  for (int i = 0; i < ctx.copy.AlwaysCopiedCount && i < static_cast<int>(plan.size()); ++i) {
    // A name planned twice (a standard file named again as an entry) once.
    if (!seen.insert(plan[i]).second) continue;
    record.files.push_back(plan[i]);
    if (static_cast<size_t>(i) < digests.size() && digests[i]) record.digests[plan[i]] = *digests[i];
  }
  // The plan's folders, as recordPlanFolders names them, parents first.
  const std::string inside = installPath + '\\';
  for (const std::string& folder : ctx.plan.CreatedDirs->items()) {
    if (folder.starts_with(inside)) record.folders.push_back(folder.substr(inside.size()));
  }
  auto text = formatInstallRecord(record);
  if (!text) return failed(platform::FileError::Other);

  platform::Platform& platform = ctx.platform;
  const std::string temporary = joinPath(installPath, kInstallRecordTemporaryFile);
  // Written into what the installation made, never through a link.
  auto stream = platform.openDestinationFile(installPath, kInstallRecordTemporaryFile, false, error);
  if (!stream) return false;
  const bool written = stream->write(text->data(), text->size()) == text->size() && stream->commit();
  // A stream that falls short or cannot be put on the disk met a full disk.
  platform::FileError cause = platform::FileError::DiskFull;
  if (!stream->close() || !written ||
      !platform.moveFile(temporary, joinPath(installPath, kInstallRecordFile), &cause)) {
    removeFile(platform, temporary);
    return failed(cause);
  }
  return true;
}

std::optional<InstallRecord> readInstallRecord(platform::Platform& platform, const std::string& installPath) {
  auto text = readWholeFile(platform, joinPath(installPath, kInstallRecordFile), kLargestRecord);
  if (!text) return std::nullopt;
  return parseInstallRecord(*text);
}

void removeInstallRecord(platform::RemovalEntry& installFolder) {
  removeFileBelow(installFolder, kInstallRecordFile);
  removeFileBelow(installFolder, kInstallRecordTemporaryFile);
}
