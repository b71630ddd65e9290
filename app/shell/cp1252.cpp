#include "cp1252.h"

#include <common/cp1252.h>

#include <algorithm>
#include <cstring>

namespace tamsel::shell {

QString fromCp1252(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        // Every character of the code page lies in the basic plane: one QChar each.
        out.append(
            QChar(static_cast<char16_t>(common::cp1252Character(static_cast<unsigned char>(c)))));
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
        const auto byte = common::cp1252Byte(c.unicode());
        out.append(byte ? static_cast<char>(*byte) : '?');
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
