#include "platform/memory/snapshot.h"

#include <cstdio>

#include "core/cp932.h"
#include "platform/platform.h"

namespace platform {

namespace {

constexpr size_t kPreviewBytes = 48;

// Shift-JIS as UTF-8 when it converts and holds no control bytes, escaped
// bytes otherwise.
std::string readable(const std::string& bytes) {
  bool plain = true;
  for (unsigned char c : bytes) plain = plain && c >= 0x20 && c != 0x7F;
  if (plain) {
    if (auto utf8 = cp932ToUtf8(bytes)) return *utf8;
  }
  std::string escaped;
  for (unsigned char c : bytes) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    escaped += c >= 0x20 && c < 0x7F && c != '\\' ? std::string(1, static_cast<char>(c)) : std::string(hex);
  }
  return escaped;
}

std::string quoted(const std::string& bytes) {
  if (bytes.size() <= kPreviewBytes) return '"' + readable(bytes) + '"';
  return '"' + readable(bytes.substr(0, kPreviewBytes)) + "\"...";
}

std::string describe(const Snapshot::Entry& entry) {
  char attributes[16];
  std::snprintf(attributes, sizeof attributes, "0x%X", entry.attributes);
  if (entry.attributes & kAttributeReparsePoint) return "junction -> " + readable(entry.junctionTarget);
  if (entry.attributes & kAttributeDirectory) return "folder";
  return "file " + std::string(attributes) + ", " + std::to_string(entry.content.size()) + " bytes " +
         quoted(entry.content);
}

// Calls onlyBefore, onlyAfter and inBoth for the keys of two sorted maps.
template <class Map, class OnlyBefore, class OnlyAfter, class InBoth>
void compareMaps(const Map& before, const Map& after, OnlyBefore onlyBefore, OnlyAfter onlyAfter, InBoth inBoth) {
  auto b = before.begin();
  auto a = after.begin();
  while (b != before.end() || a != after.end()) {
    if (a == after.end() || (b != before.end() && b->first < a->first)) {
      onlyBefore(*b++);
    } else if (b == before.end() || a->first < b->first) {
      onlyAfter(*a++);
    } else {
      inBoth(*b++, *a++);
    }
  }
}

}  // namespace

std::string describeDifference(const Snapshot& before, const Snapshot& after) {
  std::string out;
  auto line = [&](char sign, const std::string& text) { out.append(1, sign).append(1, ' ').append(text).append(1, '\n'); };
  compareMaps(
      before.files, after.files, [&](const auto& e) { line('-', readable(e.first) + " (" + describe(e.second) + ")"); },
      [&](const auto& e) { line('+', readable(e.first) + " (" + describe(e.second) + ")"); },
      [&](const auto& b, const auto& a) {
        if (b.second != a.second) line('~', readable(b.first) + ": " + describe(b.second) + " -> " + describe(a.second));
      });
  compareMaps(
      before.registry, after.registry, [&](const auto& k) { line('-', "key " + readable(k.first)); },
      [&](const auto& k) { line('+', "key " + readable(k.first)); },
      [&](const auto& b, const auto& a) {
        std::string key = readable(b.first);
        compareMaps(
            b.second, a.second,
            [&](const auto& v) { line('-', key + " [" + readable(v.first) + "] = " + quoted(v.second)); },
            [&](const auto& v) { line('+', key + " [" + readable(v.first) + "] = " + quoted(v.second)); },
            [&](const auto& vb, const auto& va) {
              if (vb.second != va.second)
                line('~', key + " [" + readable(vb.first) + "]: " + quoted(vb.second) + " -> " + quoted(va.second));
            });
      });
  return out;
}

std::ostream& operator<<(std::ostream& out, const Snapshot& snapshot) {
  for (const auto& [path, entry] : snapshot.files) out << readable(path) << " (" << describe(entry) << ")\n";
  for (const auto& [key, values] : snapshot.registry) {
    out << "key " << readable(key) << '\n';
    for (const auto& [name, data] : values) out << "  [" << readable(name) << "] = " << quoted(data) << '\n';
  }
  return out;
}

}  // namespace platform
