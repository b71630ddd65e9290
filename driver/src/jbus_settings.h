// The in-band settings block "/KEYWORD value .../" of a JBUS line.
#pragma once

#include <cstddef>
#include <cstdint>

namespace linkor::jbus {

class TJbus;

/// Applies the block at the start of `text` (which begins with "/") to the line.
/// `consumed` receives the length of the block, so the command goes on at
/// text + consumed. Settings read before a failing keyword stay applied.
int32_t applySettingsBlock(TJbus& line, const char* text, size_t& consumed);

} // namespace linkor::jbus
