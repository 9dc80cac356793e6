#include "tools/instcfg_commands.h"

#include <ostream>

#include "config/config_block.h"
#include "config/game_folder_names.h"
#include "config/image_check.h"
#include "core/sjis.h"
#include "tools/config_json.h"
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

int checkCommand(const std::filesystem::path& exe, std::ostream& out, std::ostream& err) {
  return reportingErrors(err, [&] {
    std::vector<uint8_t> bytes = readFileBytes(exe);
    ImageAnalysis a = analyseImage(bytes);
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
    return a.loadsWhole() && a.contentErrors.empty() ? 0 : 1;
  });
}

int initCommand(std::ostream& out) {
  out << sampleConfigJson().dump(2) << "\n";
  return 0;
}
