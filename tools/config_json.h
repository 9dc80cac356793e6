#pragma once
// The publisher's configuration as JSON, in the field names of the block:
// strict reading (every field present, no unknown ones, right types, text
// that code page 932 holds in 63 bytes, safe relative names) and writing.

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "config/config_block.h"

using Json = nlohmann::ordered_json;

// The JSON of a configuration file's text; throws InstcfgError ("NAME:
// malformed JSON: ...") for text that is not JSON, a number too large for
// any type among it.
Json parseConfigJson(const std::string& text, const std::string& name);

// The block's content; throws InstcfgError naming the field and the reason.
ConfigBlockContent configFromJson(const Json& json);

// The JSON of a block's content, fields in the order of the format. Text
// that is not valid code page 932 (a damaged block) is shown with \xNN
// escapes, and `notes` gets one line for each such field.
Json configToJson(const ConfigBlockContent& content, std::vector<std::string>& notes);

// A complete configuration to start from (the format's worked example).
Json sampleConfigJson();
