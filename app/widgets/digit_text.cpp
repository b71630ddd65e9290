#include "digit_text.h"

#include <algorithm>

namespace tamsel::widgets {

namespace {

/// Cells that the spinner lights, when the display has them.
constexpr int kSpinnerCells[] = {0, 2, 4, 6, 8, 10};

} // namespace

int glyphIndex(char c) {
    switch (c) {
    case '-':
        return glyph::kMinus;
    case ' ':
        return glyph::kBlank;
    case '*':
        return glyph::kLampOff;
    case '#':
        return glyph::kLampOn;
    case 'N':
        return glyph::kLetterN;
    case 'F':
        return glyph::kLetterF;
    default:
        break;
    }
    if (c >= 'a' && c <= 'f') {
        return glyph::kSegmentA + (c - 'a');
    }
    // The strip holds the digits from "9" down to "0".
    return glyph::kZero - (c - '0');
}

bool isDrawableGlyph(int index) {
    return index >= 0 && index < glyph::kCount;
}

std::string defaultNumberFormat(int cells) {
    return "%" + std::to_string(cells) + "ld";
}

std::optional<TNumberFormat> parseNumberFormat(std::string_view text) {
    if (text.empty() || text.front() != '%') {
        return std::nullopt;
    }
    text.remove_prefix(1);
    TNumberFormat format;
    if (!text.empty() && text.front() == '0') {
        format.zeroPad = true;
        text.remove_prefix(1);
    }
    constexpr int kWidestFormat = 64;
    while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
        format.width = format.width * 10 + (text.front() - '0');
        if (format.width > kWidestFormat) {
            return std::nullopt;
        }
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == 'l') {
        text.remove_prefix(1);
    }
    if (text != "d") {
        return std::nullopt;
    }
    return format;
}

std::string formatNumber(const TNumberFormat& format, std::int64_t value) {
    std::string digits = std::to_string(value);
    std::string sign;
    if (digits.front() == '-') {
        sign = "-";
        digits.erase(0, 1);
    }
    const int used = static_cast<int>(sign.size() + digits.size());
    const int padding = std::max(0, format.width - used);
    if (format.zeroPad) {
        return sign + std::string(static_cast<std::size_t>(padding), '0') + digits;
    }
    return std::string(static_cast<std::size_t>(padding), ' ') + sign + digits;
}

std::string blankCells(int cells) {
    return std::string(static_cast<std::size_t>(cells), ' ');
}

std::string textCells(std::string_view text, int cells) {
    std::string shown = blankCells(cells);
    const std::size_t used = std::min(shown.size(), text.size());
    std::copy_n(text.begin(), used, shown.begin());
    return shown;
}

std::string overflowCells(int cells) {
    return std::string(static_cast<std::size_t>(cells), '-');
}

std::string numberCells(const TNumberFormat& format, std::int64_t value, int cells) {
    const std::string text = formatNumber(format, value);
    if (static_cast<int>(text.size()) > cells) {
        return overflowCells(cells);
    }
    return textCells(text, cells);
}

std::string spinnerCells(int cells, int phase) {
    std::string shown = blankCells(cells);
    const char segment = static_cast<char>('a' + phase % kSpinnerPhases);
    for (const int cell : kSpinnerCells) {
        if (cell < cells) {
            shown[static_cast<std::size_t>(cell)] = segment;
        }
    }
    return shown;
}

int nextSpinnerPhase(int phase) {
    return (phase + 1) % kSpinnerPhases;
}

} // namespace tamsel::widgets
