// What went to the modules of a virtual line, in order: the witness of a window's commands.
#pragma once

#include <kvsim/virtual_line.h>

#include <QByteArray>

namespace support {

inline QByteArray sentToModules(const kvsim::VirtualLine& line) {
    QByteArray bytes;
    for (const kvsim::LogEntry& e : line.log()) {
        if (e.direction == kvsim::Direction::ToModules) {
            bytes.append(static_cast<char>(e.byte));
        }
    }
    return bytes;
}

} // namespace support
