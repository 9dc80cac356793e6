#include "tools/config_json.h"

#include <cstdint>
#include <cstdio>
#include <set>

#include "core/cp932.h"
#include "core/sjis.h"
#include "tools/content_rules.h"
#include "tools/instcfg_error.h"

namespace {

constexpr const char* kButtonKeys[5] = {"run", "install", "close", "extra1", "extra2"};

[[noreturn]] void fail(const std::string& field, const std::string& reason) {
  throw InstcfgError(field + ": " + reason);
}

std::string typeName(const Json& value) {
  if (value.is_number_integer()) return "an integer";
  if (value.is_number()) return "a number with a fraction";
  return std::string("a") + (value.is_object() || value.is_array() ? "n " : " ") + value.type_name();
}

// The first character of UTF-8 text that code page 932 lacks, as U+XXXX.
std::string firstUnrepresentable(const std::string& utf8) {
  for (size_t i = 0; i < utf8.size();) {
    auto lead = static_cast<unsigned char>(utf8[i]);
    size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::string character = utf8.substr(i, length);
    if (!utf8ToCp932(character)) {
      uint32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
      for (size_t k = 1; k < character.size(); ++k) code = code << 6 | (static_cast<unsigned char>(character[k]) & 0x3F);
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(code));
      return buffer;
    }
    i += length;
  }
  return "a character";
}

// One JSON object of the schema: fields are taken by name, and finish()
// refuses any the schema does not know.
class ObjectReader {
 public:
  ObjectReader(const Json& json, std::string path) : json_(json), path_(std::move(path)) {
    if (!json_.is_object()) fail(path_.empty() ? "configuration" : path_, "must be an object, got " + typeName(json_));
  }

  std::string path(const std::string& name) const { return path_.empty() ? name : path_ + "." + name; }

  const Json& field(const std::string& name) {
    auto found = json_.find(name);
    if (found == json_.end()) fail(path(name), "missing field");
    seen_.insert(name);
    return *found;
  }

  std::string text(const std::string& name) { return textValue(field(name), path(name)); }

  int64_t integer(const std::string& name, int64_t low, int64_t high) {
    const Json& value = field(name);
    if (!value.is_number_integer()) fail(path(name), "must be an integer, got " + typeName(value));
    int64_t number = value.is_number_unsigned() && value.get<uint64_t>() > INT64_MAX ? INT64_MAX : value.get<int64_t>();
    if (number < low || number > high) {
      fail(path(name), "must be between " + std::to_string(low) + " and " + std::to_string(high) + ", got " +
                           value.dump());
    }
    return number;
  }

  int16_t geometry(const std::string& name) { return static_cast<int16_t>(integer(name, INT16_MIN, INT16_MAX)); }

  // An object or null; null gives nullptr.
  const Json* optionalObject(const std::string& name) {
    const Json& value = field(name);
    if (value.is_null()) return nullptr;
    if (!value.is_object()) fail(path(name), "must be an object or null, got " + typeName(value));
    return &value;
  }

  void finish() const {
    for (const auto& item : json_.items()) {
      if (!seen_.count(item.key())) fail(path(item.key()), "unknown field");
    }
  }

  static std::string textValue(const Json& value, const std::string& path) {
    if (!value.is_string()) fail(path, "must be a string, got " + typeName(value));
    const std::string& utf8 = value.get_ref<const std::string&>();
    if (utf8.find('\0') != std::string::npos) fail(path, "contains a NUL character");
    auto sjis = utf8ToCp932(utf8);
    if (!sjis) fail(path, "holds " + firstUnrepresentable(utf8) + ", which code page 932 cannot represent");
    if (sjis->size() > kConfigTextLimit) {
      fail(path, "is " + std::to_string(sjis->size()) + " bytes long in code page 932; at most " +
                     std::to_string(kConfigTextLimit) + " fit");
    }
    return *sjis;
  }

 private:
  const Json& json_;
  std::string path_;
  std::set<std::string> seen_;
};

std::vector<std::string> entryList(ObjectReader& in, const std::string& name) {
  const Json& list = in.field(name);
  if (!list.is_array()) fail(name, "must be an array of strings, got " + typeName(list));
  if (list.size() > kConfigListLimit) {
    fail(name, "has " + std::to_string(list.size()) + " entries; at most " + std::to_string(kConfigListLimit) +
                   " fit");
  }
  std::vector<std::string> entries;
  for (size_t i = 0; i < list.size(); ++i) {
    std::string path = name + "[" + std::to_string(i) + "]";
    entries.push_back(ObjectReader::textValue(list[i], path));
  }
  return entries;
}

void extraItem(ObjectReader& in, const std::string& name, uint8_t& flag, std::string& file, std::string& link) {
  const Json* item = in.optionalObject(name);
  flag = item ? 1 : 0;
  if (!item) return;
  ObjectReader fields(*item, name);
  file = fields.text("file");
  link = fields.text("linkName");
  fields.finish();
}

void geometry(ObjectReader& in, ButtonLayout& button) {
  button.left = in.geometry("left");
  button.top = in.geometry("top");
  button.width = in.geometry("width");
  button.height = in.geometry("height");
}

// Text for display: valid code page 932 as UTF-8, any byte that is not as
// \xNN. Steps over characters with IsLeadByte.
std::optional<std::string> readableText(const std::string& sjis, std::string& shown) {
  if (auto utf8 = cp932ToUtf8(sjis)) {
    shown = *utf8;
    return std::nullopt;
  }
  shown.clear();
  for (size_t i = 0; i < sjis.size();) {
    size_t length = IsLeadByte(sjis[i]) && i + 1 < sjis.size() ? 2 : 1;
    if (auto utf8 = cp932ToUtf8(sjis.substr(i, length))) {
      shown += *utf8;
    } else {
      for (size_t k = 0; k < length; ++k) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\x%02X", static_cast<unsigned char>(sjis[i + k]));
        shown += buffer;
      }
    }
    i += length;
  }
  return "is not valid code page 932 text; bytes shown as \\xNN";
}

Json geometryJson(const ButtonLayout& b) {
  Json json = Json::object();
  json["left"] = b.left;
  json["top"] = b.top;
  json["width"] = b.width;
  json["height"] = b.height;
  return json;
}

}  // namespace

Json parseConfigJson(const std::string& text, const std::string& name) {
  try {
    return Json::parse(text);
  } catch (const Json::exception& e) {
    // A parse error, or out_of_range for a number beyond every type (1e999).
    throw InstcfgError(name + ": malformed JSON: " + e.what());
  }
}

ConfigBlockContent configFromJson(const Json& json) {
  ConfigBlockContent content;
  InstallerConfig& c = content.config;
  ObjectReader in(json, "");
  c.title = in.text("title");
  c.rootSelector = static_cast<uint8_t>(in.integer("rootSelector", 0, 255));
  c.parentFolder = in.text("parentFolder");
  c.gameFolder = in.text("gameFolder");
  c.registryKey = in.text("registryKey");
  content.extraEntries = entryList(in, "extraEntries");
  content.preserveEntries = entryList(in, "preserveEntries");
  c.menuGroup = in.text("menuGroup");
  c.gameLinkName = in.text("gameLinkName");
  c.uninstallLinkName = in.text("uninstallLinkName");
  extraItem(in, "extra1", c.extra1Flag, c.extra1File, c.extra1LinkName);
  extraItem(in, "extra2", c.extra2Flag, c.extra2File, c.extra2LinkName);
  c.clientWidth = in.geometry("clientWidth");
  c.clientHeight = in.geometry("clientHeight");
  c.imageLeft = in.geometry("imageLeft");
  c.imageTop = in.geometry("imageTop");

  const Json& buttonsJson = in.field("buttons");
  ObjectReader buttons(buttonsJson, "buttons");
  for (int i = kRunButtonIndex; i <= kCloseButtonIndex; ++i) {
    ObjectReader button(buttons.field(kButtonKeys[i]), buttons.path(kButtonKeys[i]));
    geometry(button, c.buttons[i]);
    button.finish();
  }
  for (int i = kExtra1ButtonIndex; i <= kExtra2ButtonIndex; ++i) {
    const Json* extra = buttons.optionalObject(kButtonKeys[i]);
    if (!extra) continue;
    ObjectReader button(*extra, buttons.path(kButtonKeys[i]));
    c.buttons[i].visible = 1;
    geometry(button, c.buttons[i]);
    c.buttons[i].caption = button.text("caption");
    c.buttons[i].command = button.text("command");
    button.finish();
  }
  buttons.finish();
  in.finish();
  // The first finding, as for the format's own faults; check lists them all.
  auto problems = contentProblems(content);
  if (!problems.empty()) throw InstcfgError(problems.front());
  return content;
}

Json configToJson(const ConfigBlockContent& content, std::vector<std::string>& notes) {
  const InstallerConfig& c = content.config;
  auto text = [&notes](const std::string& field, const std::string& sjis) {
    std::string shown;
    if (auto note = readableText(sjis, shown)) notes.push_back(field + ": " + *note);
    return Json(shown);
  };
  Json json = Json::object();
  json["title"] = text("title", c.title);
  json["rootSelector"] = c.rootSelector;
  json["parentFolder"] = text("parentFolder", c.parentFolder);
  json["gameFolder"] = text("gameFolder", c.gameFolder);
  json["registryKey"] = text("registryKey", c.registryKey);
  auto list = [&](const std::string& name, const std::vector<std::string>& entries) {
    Json array = Json::array();
    for (size_t i = 0; i < entries.size(); ++i) array.push_back(text(name + "[" + std::to_string(i) + "]", entries[i]));
    return array;
  };
  json["extraEntries"] = list("extraEntries", content.extraEntries);
  json["preserveEntries"] = list("preserveEntries", content.preserveEntries);
  json["menuGroup"] = text("menuGroup", c.menuGroup);
  json["gameLinkName"] = text("gameLinkName", c.gameLinkName);
  json["uninstallLinkName"] = text("uninstallLinkName", c.uninstallLinkName);
  auto itemJson = [&](const std::string& name, uint8_t flag, const std::string& file, const std::string& link) {
    if (flag == 0) return Json(nullptr);
    Json item = Json::object();
    item["file"] = text(name + ".file", file);
    item["linkName"] = text(name + ".linkName", link);
    return item;
  };
  json["extra1"] = itemJson("extra1", c.extra1Flag, c.extra1File, c.extra1LinkName);
  json["extra2"] = itemJson("extra2", c.extra2Flag, c.extra2File, c.extra2LinkName);
  json["clientWidth"] = c.clientWidth;
  json["clientHeight"] = c.clientHeight;
  json["imageLeft"] = c.imageLeft;
  json["imageTop"] = c.imageTop;
  Json buttons = Json::object();
  for (int i = kRunButtonIndex; i <= kCloseButtonIndex; ++i) buttons[kButtonKeys[i]] = geometryJson(c.buttons[i]);
  for (int i = kExtra1ButtonIndex; i <= kExtra2ButtonIndex; ++i) {
    const ButtonLayout& b = c.buttons[i];
    if (b.visible == 0) {
      buttons[kButtonKeys[i]] = nullptr;
      continue;
    }
    Json button = geometryJson(b);
    std::string path = std::string("buttons.") + kButtonKeys[i];
    button["caption"] = text(path + ".caption", b.caption);
    button["command"] = text(path + ".command", b.command);
    buttons[kButtonKeys[i]] = button;
  }
  json["buttons"] = buttons;
  return json;
}

Json sampleConfigJson() {
  return Json::parse(R"({
  "title": "Demo Adventure",
  "rootSelector": 1,
  "parentFolder": "ExampleSoft",
  "gameFolder": "DemoAdv",
  "registryKey": "DemoAdv",
  "extraEntries": ["manual", "readme.txt"],
  "preserveEntries": ["config.ini"],
  "menuGroup": "ExampleSoft",
  "gameLinkName": "Demo Adventure",
  "uninstallLinkName": "Uninstall Demo Adventure",
  "extra1": {"file": "readme.txt", "linkName": "Read me"},
  "extra2": null,
  "clientWidth": 320,
  "clientHeight": 240,
  "imageLeft": 0,
  "imageTop": 0,
  "buttons": {
    "run": {"left": 10, "top": 170, "width": 300, "height": 25},
    "install": {"left": 10, "top": 205, "width": 145, "height": 25},
    "close": {"left": 165, "top": 205, "width": 145, "height": 25},
    "extra1": {"left": 10, "top": 135, "width": 145, "height": 25, "caption": "Read me", "command": ""},
    "extra2": null
  }
})");
}
