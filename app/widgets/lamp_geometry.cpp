#include "lamp_geometry.h"

namespace tamsel::widgets {

int lampCellWidth(int rowWidth, int bits) {
    return bits > 0 ? rowWidth / bits : 0;
}

int bitUnderCursor(int x, int rowWidth, int bits) {
    const int cell = lampCellWidth(rowWidth, bits);
    if (cell <= 0 || x < 0 || x >= rowWidth) {
        return -1;
    }
    const int bit = (rowWidth - 1 - x) / cell;
    return bit < bits ? bit : -1;
}

QRect lampCell(int bit, int rowWidth, int rowHeight, int bits) {
    const int cell = lampCellWidth(rowWidth, bits);
    return {rowWidth - (bit + 1) * cell, 0, cell, rowHeight};
}

} // namespace tamsel::widgets
