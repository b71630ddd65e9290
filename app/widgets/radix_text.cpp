#include "radix_text.h"

namespace tamsel::widgets {

namespace {

constexpr int kNibbleBits = 4;

QString binaryText(std::int32_t value) {
    if (value < 0 || value > kBinaryViewLimit) {
        return QStringLiteral("bOverflow");
    }
    // The bits come from the three hexadecimal digits, nibble by nibble; the top two
    // bits of the first nibble are beyond the ten shown.
    const QString hex = QString::asprintf("%03X", static_cast<unsigned>(value));
    QString bits;
    for (const QChar digit : hex) {
        const int nibble = digit.isDigit() ? digit.unicode() - u'0' : digit.unicode() - u'A' + 10;
        for (int bit = kNibbleBits - 1; bit >= 0; --bit) {
            bits += ((nibble >> bit) & 1) != 0 ? u'1' : u'0';
        }
    }
    return QStringLiteral("b") + bits.right(kBinaryViewBits);
}

QString functionText(std::int32_t value) {
    if (value < 1) {
        return {};
    }
    if (value < kFunctionSplit) {
        return QString::asprintf("%d", value);
    }
    return QString::asprintf("%2d:%3d", value / kFunctionSplit, value % kFunctionSplit);
}

} // namespace

QString radixText(std::int32_t value, int mode) {
    switch (mode) {
    case viewmode::kDecimal:
        return QString::asprintf("%11d", value);
    case viewmode::kHexadecimal:
        return QString::asprintf("h%X", static_cast<unsigned>(value));
    case viewmode::kBinary:
        return binaryText(value);
    case viewmode::kFunction:
        return functionText(value);
    default:
        return QStringLiteral("   ?    ");
    }
}

int reportedViewMode(int mode) {
    return mode == viewmode::kBinary ? viewmode::kDecimal : mode;
}

QString errorText(int width, int position) {
    QString text(qMax(width, 0), u' ');
    if (position >= 0 && position < text.size()) {
        text[position] = QChar(kBullet);
    }
    return text;
}

int nextBulletPosition(int position, int width) {
    if (width <= 0) {
        return 0;
    }
    return (position + 1) % width;
}

} // namespace tamsel::widgets
