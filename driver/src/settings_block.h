// The in-band settings block "/KEYWORD value .../" that may open a command text.
#pragma once

#include <cstddef>
#include <cstdint>

namespace linkor {

class TTrilo;

/// Applies the block at the start of `text` (which begins with "/") to the line.
/// `consumed` receives the length of the block, so the command goes on at
/// text + consumed. Settings read before a failing keyword stay applied.
int32_t applySettingsBlock(TTrilo& line, const char* text, size_t& consumed);

} // namespace linkor
