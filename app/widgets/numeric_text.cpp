#include "numeric_text.h"

#include <algorithm>
#include <limits>

namespace tamsel::widgets {

namespace {

int digitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

bool isDigitOf(QChar c, int radix) {
    const int value = digitValue(c);
    return value >= 0 && value < radix;
}

bool isScanBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

} // namespace

bool isNumericChar(QChar c, int radix) {
    return isDigitOf(c, radix) || c == u'+' || c == u'-' || c == u' ';
}

bool isNumericText(const QString& text, int radix) {
    return std::all_of(text.begin(), text.end(),
                       [radix](QChar c) { return isNumericChar(c, radix); });
}

std::optional<std::int32_t> readNumber(const QString& text, int radix) {
    const QString read = text.left(kNumericReadLimit);
    qsizetype at = 0;
    while (at < read.size() && isScanBlank(read[at])) {
        ++at;
    }
    bool negative = false;
    if (at < read.size() && (read[at] == u'+' || read[at] == u'-')) {
        negative = read[at] == u'-';
        ++at;
    }
    // "%x" takes the "0x" of C as part of the number.
    if (radix == kHexaRadix && at + 2 < read.size() && read[at] == u'0' &&
        (read[at + 1] == u'x' || read[at + 1] == u'X') && isDigitOf(read[at + 2], radix)) {
        at += 2;
    }
    constexpr std::int64_t kBeyond = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 2;
    std::int64_t magnitude = 0;
    bool any = false;
    while (at < read.size() && isDigitOf(read[at], radix)) {
        magnitude = std::min(magnitude * radix + digitValue(read[at]), kBeyond);
        any = true;
        ++at;
    }
    if (!any) {
        return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return clampToRange(value, std::numeric_limits<std::int32_t>::min(),
                        std::numeric_limits<std::int32_t>::max());
}

QString writeNumber(std::int32_t value, int radix) {
    if (radix == kHexaRadix) {
        return QString::asprintf("%X", static_cast<unsigned>(value));
    }
    return QString::asprintf("%d", value);
}

std::int32_t clampToRange(std::int64_t value, std::int32_t minimum, std::int32_t maximum) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(value, minimum, std::max(minimum, maximum)));
}

std::int32_t stepInRange(std::int32_t value, std::int32_t delta, std::int32_t minimum,
                         std::int32_t maximum) {
    return clampToRange(std::int64_t{value} + delta, minimum, maximum);
}

} // namespace tamsel::widgets
