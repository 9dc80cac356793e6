#pragma once
// The content of a shell link file of the in-memory Windows: a small text
// that holds the link's fields, so that the link is an ordinary file there.

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace platform::memory {

std::string encodeShellLink(const ShellLink& link);
// nullopt when the bytes are not such a text.
std::optional<ShellLink> decodeShellLink(std::string_view bytes);

}  // namespace platform::memory
