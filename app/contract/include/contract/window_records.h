// The records of the requests that carry Qt values: the dialog geometry (0x0f00) and the
// list fillings (0x0302-0x0307, 0x2300-0x2303, 0x2312, 0x2313, 0x2320).
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <cstdint>

class QWidget;

namespace tamsel::contract {

/// Record of request 0x0f00: which dialog, for which window; the dispatcher fills the two
/// rectangles in pixels.
struct TagDialogGeometry {
    std::int32_t dialogId = 0;
    QWidget* window = nullptr;
    QRect client;
    QRect dialog;
};

/// Record of the list requests: the names a list is filled for, and the list.
struct TagList {
    /// In: the type code (0x0302); the target (0x2302, 0x2303, 0x2312, 0x2313, 0x2320).
    std::int32_t argument = 0;
    QString target;
    /// In: the protocol (0x2303, 0x2313).
    QString protocol;
    /// Out: the items, each item's attached value (-1 where none) and the item to select
    /// (-1 leaves the selection to the window).
    QStringList items;
    QList<std::int32_t> values;
    int selected = -1;
};

} // namespace tamsel::contract
