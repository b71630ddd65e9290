// Windows-1252 at the Qt boundary: the texts of files, the driver and the catalogue are
// 8-bit, Qt's are Unicode. Latin-1 plus the 32 code points of 0x80-0x9F is exact both ways.
#pragma once

#include <QByteArray>
#include <QString>

namespace tamsel::shell {

QString fromCp1252(const QByteArray& bytes);
QString fromCp1252(const char* text);
/// Characters that Windows-1252 cannot hold become "?".
QByteArray toCp1252(const QString& text);
/// Copies @p text into @p buffer of @p size bytes, cut to fit, always NUL-terminated.
void copyCp1252(const QString& text, char* buffer, int size);

} // namespace tamsel::shell
