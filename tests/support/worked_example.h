#pragma once
// The worked example of the block format ("Demo Adventure"), as content and
// as the bytes its table lists row by row.

#include <cstdint>
#include <string>
#include <vector>

#include "config/config_block.h"

inline constexpr uint32_t kWorkedExampleImageSize = 0x58000;
inline constexpr size_t kWorkedExampleBlockSize = 943;
inline constexpr size_t kWorkedExampleFileSize = 361395;

ConfigBlockContent workedExampleContent();

// A button's layout; the extra buttons pass caption, command and visible.
ButtonLayout button(int16_t left, int16_t top, int16_t width, int16_t height, std::string caption = "",
                    std::string command = "", uint8_t visible = 0);
// The 943 bytes of the block followed by the 4-byte trailer.
std::vector<uint8_t> workedExampleBytes();
