// Fuzz target: instcfg's JSON reader and the pack -> dump round trip. The
// input is a publisher's configuration file. Properties: the reader refuses
// with its own error (InstcfgError) and nothing else;
// whatever it accepts, packed behind an image, install.exe's checks load
// whole with nothing for check to report, and dump gives back JSON equal to
// the input, which reads back into the same block.

#include <cstdint>
#include <string>
#include <vector>

#include "config/config_block.h"
#include "tests/fuzz/check.h"
#include "tools/config_json.h"
#include "tools/image_analysis.h"
#include "tools/instcfg_error.h"

namespace {

void putU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The smallest image the check takes: "MZ", "PE" at 0x40, no optional
// header and one section whose raw data ends the file at 0x400.
std::vector<uint8_t> smallestImage() {
  std::vector<uint8_t> image(0x400, 0);
  image[0] = 'M';
  image[1] = 'Z';
  putU32(image, 60, 0x40);
  image[0x40] = 'P';
  image[0x41] = 'E';
  image[0x46] = 1;                    // one section
  putU32(image, 0x40 + 24 + 16, 0x200);  // SizeOfRawData
  putU32(image, 0x40 + 24 + 20, 0x200);  // PointerToRawData
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Json json;
  ConfigBlockContent content;
  try {
    json = parseConfigJson(std::string(reinterpret_cast<const char*>(data), size), "config.json");
    content = configFromJson(json);
  } catch (const InstcfgError&) {
    return 0;
  }

  // pack, with and without the padding for signing.
  for (bool signReady : {false, true}) {
    std::vector<uint8_t> file = smallestImage();
    appendConfigBlock(file, serializeConfigBlock(content), signReady);
    ImageAnalysis analysis = analyseImage(file);
    FUZZ_CHECK(analysis.loadsWhole() && analysis.warnings.empty() && analysis.contentErrors.empty());
    FUZZ_CHECK(analysis.reading.content == content);

    // dump: equal to what was packed, and packed again the same block.
    std::vector<std::string> notes;
    Json dumped = configToJson(analysis.reading.content, notes);
    FUZZ_CHECK(notes.empty());
    FUZZ_CHECK(nlohmann::json(dumped) == nlohmann::json(json));
    FUZZ_CHECK(configFromJson(Json::parse(dumped.dump())) == content);
  }
  return 0;
}
