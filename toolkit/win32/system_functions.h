#pragma once
// Functions taken at run time (platform/win32/system_functions.h), under
// the toolkit's names.

#include "platform/win32/system_functions.h"

namespace toolkit::win32 {

using platform::win32::loadedFunction;
using platform::win32::systemFunction;

}  // namespace toolkit::win32
