#include "platform/memory/shell_link_file.h"

#include <charconv>

namespace platform::memory {

namespace {

constexpr std::string_view kHeader = "MemoryShellLink\n";

// Each field is "<length>:<bytes>\n", so that any bytes round-trip.
void appendField(std::string& out, std::string_view field) {
  out.append(std::to_string(field.size())).append(1, ':').append(field).append(1, '\n');
}

std::optional<size_t> readNumber(std::string_view& in, char end) {
  size_t number = 0;
  auto [next, error] = std::from_chars(in.data(), in.data() + in.size(), number);
  if (error != std::errc() || next == in.data() + in.size() || *next != end) return std::nullopt;
  in.remove_prefix(static_cast<size_t>(next - in.data()) + 1);
  return number;
}

std::optional<std::string> readField(std::string_view& in) {
  auto length = readNumber(in, ':');
  if (!length || in.size() < *length + 1 || in[*length] != '\n') return std::nullopt;
  std::string field(in.substr(0, *length));
  in.remove_prefix(*length + 1);
  return field;
}

}  // namespace

std::string encodeShellLink(const ShellLink& link) {
  std::string out(kHeader);
  appendField(out, link.target);
  appendField(out, link.arguments);
  appendField(out, link.workingDirectory);
  out.append(std::to_string(link.showCommand)).append(1, '\n');
  return out;
}

std::optional<ShellLink> decodeShellLink(std::string_view bytes) {
  if (!bytes.starts_with(kHeader)) return std::nullopt;
  bytes.remove_prefix(kHeader.size());
  ShellLink link;
  for (std::string* field : {&link.target, &link.arguments, &link.workingDirectory}) {
    auto read = readField(bytes);
    if (!read) return std::nullopt;
    *field = std::move(*read);
  }
  auto show = readNumber(bytes, '\n');
  if (!show || !bytes.empty()) return std::nullopt;
  link.showCommand = static_cast<int>(*show);
  return link;
}

}  // namespace platform::memory
