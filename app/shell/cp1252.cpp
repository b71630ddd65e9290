#include "cp1252.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tamsel::shell {

namespace {

// 0x80-0x9F; 0 marks the five bytes that Windows-1252 leaves undefined, kept as the
// matching C1 control so that a byte always survives a round trip.
constexpr std::array<char16_t, 32> kHigh{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

QString fromCp1252(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0) {
            out.append(QChar(kHigh[b - 0x80]));
        } else {
            out.append(QChar(b));
        }
    }
    return out;
}

QString fromCp1252(const char* text) {
    return text == nullptr ? QString() : fromCp1252(QByteArray(text));
}

QByteArray toCp1252(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x100) {
            out.append(static_cast<char>(u));
            continue;
        }
        char mapped = '?';
        for (std::size_t i = 0; i < kHigh.size(); ++i) {
            if (kHigh[i] == u) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        out.append(mapped);
    }
    return out;
}

void copyCp1252(const QString& text, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return;
    }
    const QByteArray bytes = toCp1252(text);
    const auto n = std::min<qsizetype>(bytes.size(), size - 1);
    std::memcpy(buffer, bytes.constData(), static_cast<std::size_t>(n));
    buffer[n] = '\0';
}

} // namespace tamsel::shell
