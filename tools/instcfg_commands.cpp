#include "tools/instcfg_commands.h"

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>

#include "config/config_block.h"
#include "config/digest_list.h"
#include "config/game_folder_names.h"
#include "config/image_check.h"
#include "core/cp932.h"
#include "core/sjis.h"
#include "tools/config_json.h"
#include "tools/disc_files.h"
#include "tools/file_io.h"
#include "tools/image_analysis.h"
#include "tools/instcfg_error.h"

namespace {

template <class Command>
int reportingErrors(std::ostream& err, Command&& command) {
  try {
    return command();
  } catch (const std::exception& e) {
    err << "instcfg: " << e.what() << "\n";
    return 1;
  }
}

Json readConfigJson(const std::filesystem::path& path) { return parseConfigJson(readFileText(path), displayPath(path)); }

// The image cut to its sections' end, refusing what pack must not touch.
std::vector<uint8_t> genericImage(const std::filesystem::path& path, bool replace, std::ostream& out) {
  std::vector<uint8_t> bytes = readFileBytes(path);
  MemoryByteSource source(bytes);
  ImageInfo image = inspectImage(source);
  std::string name = displayPath(path);
  if (!image.isImage()) throw InstcfgError(name + " is not a PE image: " + describeImageStatus(image.status));
  if (image.certificateTable) {
    throw InstcfgError(name + " is signed (it carries a certificate table); pack the unsigned image, then sign "
                       "the packed file (see --sign-ready)");
  }
  if (image.fileSize < image.imageEnd) {
    throw InstcfgError(name + " is cut short: its sections end at " + formatOffset(image.imageEnd) +
                       " but the file at " + formatOffset(image.fileSize));
  }
  if (image.fileSize > image.imageEnd) {
    uint64_t extra = image.fileSize - image.imageEnd;
    if (!replace) {
      throw InstcfgError(name + " already carries " + std::to_string(extra) + " bytes behind its image (a block?); " +
                         "use --replace to cut them off and pack anew");
    }
    out << "cut off " << extra << " bytes behind the image at " << formatOffset(image.imageEnd) << "\n";
    bytes.resize(static_cast<size_t>(image.imageEnd));
  }
  return bytes;
}

std::unique_ptr<Sha256Provider> openSha256() {
  auto sha256 = Sha256Provider::open();
  if (!sha256) throw InstcfgError("this system offers no SHA-256");
  return sha256;
}

// The block of the disc's install.exe, read whole.
ConfigBlockContent discBlock(const std::filesystem::path& disc) {
  const std::filesystem::path exe = disc / "install.exe";
  ImageAnalysis a = analyseImage(readFileBytes(exe));
  if (!a.loadsWhole()) throw InstcfgError(displayPath(exe) + " would not load a whole block (see instcfg check)");
  return a.reading.content;
}

void writeDigestList(const std::filesystem::path& disc, std::ostream& out) {
  auto sha256 = openSha256();
  std::string text;
  const std::vector<DiscFile> files = discFiles(disc, discBlock(disc));
  for (const DiscFile& file : files) text += digestListLine(fileDigest(*sha256, file.path), file.name);
  const std::filesystem::path list = disc / kDigestListFile;
  writeFileAtomically(list, std::vector<uint8_t>(text.begin(), text.end()));
  out << "wrote " << displayPath(list) << ": the digests of " << files.size() << " files\n";
}

// Prints what the image check finds; true when install.exe would load the
// block whole and pack would accept what it holds.
bool reportImage(const std::filesystem::path& exe, std::ostream& out) {
  ImageAnalysis a = analyseImage(readFileBytes(exe));
  out << displayPath(exe) << "\n";
  for (const auto& fact : a.facts) out << "  " << fact << "\n";
  for (const auto& warning : a.warnings) out << "  warning: " << warning << "\n";
  for (const auto& error : a.errors) out << "  error: " << error << "\n";
  for (const auto& error : a.contentErrors) out << "  error: " << error << "\n";
  if (!a.loadsWhole()) {
    out << "FAILED: install.exe would not load a whole block from this file\n";
  } else if (!a.contentErrors.empty()) {
    out << "FAILED: the block holds what pack refuses\n";
  } else {
    out << "OK: install.exe would load this block whole\n";
  }
  return a.loadsWhole() && a.contentErrors.empty();
}

// Prints what install.sha256 gets wrong about the disc; true when it lists
// exactly the files an installation copies, with their digests, or there is
// none.
bool reportDigestList(const std::filesystem::path& disc, std::ostream& out) {
  const std::filesystem::path list = disc / kDigestListFile;
  out << displayPath(list) << "\n";
  if (!std::filesystem::exists(list)) {
    out << "OK: none; install.exe copies the files without checking them\n";
    return true;
  }
  AsciiCaseFolding folding;
  const DigestListReading reading = parseDigestList(readFileText(list), folding);
  if (!reading.list) {
    out << "  error: line " << reading.badLine << ": " << reading.reason << "\n";
    out << "FAILED: install.exe would stop before it copies anything\n";
    return false;
  }
  auto sha256 = openSha256();
  size_t findings = 0;
  // The disc's files by the list's key: a listed name is looked for on the
  // disc only when no installation copies it.
  std::map<std::string, DiscFile> planned;
  for (const DiscFile& file : discFiles(disc, discBlock(disc))) {
    std::string name = file.name;
    std::replace(name.begin(), name.end(), '/', '\\');
    const std::string sjis = utf8ToCp932(name).value_or("");
    planned.emplace(folding.caseFoldKey(sjis), file);
    if (!reading.list->find(folding, sjis)) {
      out << "  error: not in the list: " << file.name << "\n";
      ++findings;
    }
  }
  for (const ListedDigest& entry : reading.list->entries) {
    std::string name = cp932ToUtf8(entry.name).value_or("");
    std::replace(name.begin(), name.end(), '\\', '/');
    auto copied = planned.find(folding.caseFoldKey(entry.name));
    auto found = copied != planned.end() ? std::optional<DiscFile>(copied->second) : findOnDisc(disc, name);
    if (!found || !std::filesystem::is_regular_file(found->path)) {
      out << "  error: listed but not on the disc: " << name << "\n";
      ++findings;
    } else if (fileDigest(*sha256, found->path) != entry.digest) {
      out << "  error: differs from its digest: " << name << "\n";
      ++findings;
    }
  }
  out << "  " << reading.list->entries.size() << " files listed\n";
  if (findings > 0) {
    out << "FAILED: install.exe would stop at the first of these\n";
    return false;
  }
  out << "OK: every file an installation copies is listed and matches\n";
  return true;
}

}  // namespace

int packCommand(const PackOptions& options, std::ostream& out, std::ostream& err) {
  return reportingErrors(err, [&] {
    Json json = readConfigJson(options.config);
    ConfigBlockContent content;
    try {
      content = configFromJson(json);
    } catch (const InstcfgError& e) {
      throw InstcfgError(displayPath(options.config) + ": " + e.what());
    }
    std::vector<uint8_t> file = genericImage(options.image, options.replace, out);
    uint64_t blockOffset = file.size();
    std::vector<uint8_t> block = serializeConfigBlock(content);
    appendConfigBlock(file, block, options.signReady);
    writeFileAtomically(options.output, file);
    out << "wrote " << displayPath(options.output) << ": block of " << block.size() << " bytes at "
        << formatOffset(blockOffset) << ", file of " << file.size() << " bytes\n";
    const std::filesystem::path uninstaller = options.output.parent_path() / kUninstallerProgram;
    if (options.uninstaller && !equalsIgnoringAsciiCase(options.output.filename().string(), kUninstallerProgram)) {
      writeFileAtomically(uninstaller, file);
      out << "wrote " << displayPath(uninstaller) << ": the same image, the uninstaller that needs no disc\n";
    }
    if (options.digest) writeDigestList(options.output.parent_path().empty() ? "." : options.output.parent_path(), out);
    return 0;
  });
}

int dumpCommand(const std::filesystem::path& exe, std::ostream& out, std::ostream& err) {
  return reportingErrors(err, [&] {
    std::vector<uint8_t> bytes = readFileBytes(exe);
    ImageAnalysis a = analyseImage(bytes);
    if (!a.signature.empty()) err << a.signature << "\n";
    if (a.readSomething()) {
      std::vector<std::string> notes;
      out << configToJson(a.reading.content, notes).dump(2) << "\n";
      for (const auto& note : notes) err << "note: " << note << "\n";
    }
    for (const auto& warning : a.warnings) {
      if (warning != a.signature) err << "warning: " << warning << "\n";
    }
    for (const auto& error : a.errors) err << "error: " << error << "\n";
    if (!a.reading.complete && a.readSomething()) {
      err << "read up to offset " << formatOffset(a.reading.end) << "; fields after that are shown empty or 0\n";
    }
    return a.loadsWhole() ? 0 : 1;
  });
}

int checkCommand(const std::filesystem::path& exeOrDisc, std::ostream& out, std::ostream& err) {
  return reportingErrors(err, [&] {
    if (!std::filesystem::is_directory(exeOrDisc)) return reportImage(exeOrDisc, out) ? 0 : 1;
    // The list is judged against the block's plan, so only a sound block.
    const bool imageSound = reportImage(exeOrDisc / "install.exe", out);
    return imageSound && reportDigestList(exeOrDisc, out) ? 0 : 1;
  });
}

int digestCommand(const std::filesystem::path& disc, std::ostream& out, std::ostream& err) {
  return reportingErrors(err, [&] {
    writeDigestList(disc, out);
    return 0;
  });
}

int initCommand(std::ostream& out) {
  out << sampleConfigJson().dump(2) << "\n";
  return 0;
}
