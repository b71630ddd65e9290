// The windows the screenshot program pictures: one row per window.
#pragma once

#include <functional>
#include <span>

class QWidget;

namespace tamsel::screenshots {

struct TPicture {
    /// File name under the output directory.
    const char* file;
    /// The frame command that opens the window.
    int command;
    /// The module the window is opened on, by its address on the demo line.
    int address;
    /// Puts something worth seeing into the open window; may be empty.
    std::function<void(QWidget* window)> prepare;
};

/// Every window to picture, in the order the pictures are taken.
std::span<const TPicture> pictures();

} // namespace tamsel::screenshots
