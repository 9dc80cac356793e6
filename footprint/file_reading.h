#pragma once
// A small file read whole through the platform: the install record, the
// medium's digest list.

#include <cstddef>
#include <optional>
#include <string>

#include "platform/platform.h"

// The file's bytes; nullopt when it cannot be opened (the cause in `error`
// when asked; FileError::None for any other failure), fails to read, or
// holds more than `limit` bytes (not one of ours).
std::optional<std::string> readWholeFile(platform::Platform& platform, const std::string& path, size_t limit,
                                         platform::FileError* error = nullptr);
