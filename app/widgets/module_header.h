// The row every module window opens with: the module's title, which a click refreshes, and
// the status light of its exchanges.
#pragma once

#include <QObject>

class QHBoxLayout;
class QLabel;
class QWidget;

namespace tamsel::widgets {

class TStatusLight;

struct TModuleHeader {
    QHBoxLayout* row = nullptr;
    QLabel* title = nullptr;
    TStatusLight* light = nullptr;
};

/// The title (control @p titleId, bold, @p titlePixels high or the font's own size when 0)
/// and the light (control @p lightId) of @p window, which watches the title's clicks.
TModuleHeader makeModuleHeader(QWidget* window, int titleId, int lightId, int titlePixels = 0);

} // namespace tamsel::widgets
