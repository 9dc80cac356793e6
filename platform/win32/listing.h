#pragma once
// A folder's listing through FindFirstFileW, with its errors told apart.

#include <functional>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace platform::win32 {

// The names matching `pattern` ("<folder>\*.*"), those without a Shift-JIS
// form counted instead. nullopt when there is no such folder; a listing
// marked failed when an error other than "no more names" breaks it off.
// `folderAttributes` tells, when nothing matched at all, whether the folder
// exists (an empty drive root has not even "." and "..").
std::optional<FolderListing> listMatches(const std::wstring& pattern,
                                         const std::function<uint32_t()>& folderAttributes);

}  // namespace platform::win32
