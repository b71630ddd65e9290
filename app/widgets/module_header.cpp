#include "module_header.h"

#include "status_light.h"
#include "widget_ids.h"

#include <QHBoxLayout>
#include <QLabel>

namespace tamsel::widgets {

namespace {

// The light's four states over the one picture the module windows share.
constexpr const char* kLightTemplate = "4 4600";

} // namespace

TModuleHeader makeModuleHeader(QWidget* window, int titleId, int lightId, int titlePixels) {
    TModuleHeader h;
    h.row = new QHBoxLayout;
    h.title = new QLabel(window);
    ids::setControlId(h.title, titleId);
    QFont font(QStringLiteral("Tahoma"));
    if (titlePixels > 0) {
        font.setPixelSize(titlePixels);
    }
    font.setBold(true);
    h.title->setFont(font);
    h.title->installEventFilter(window);
    h.light = new TStatusLight(QString::fromLatin1(kLightTemplate), false, window);
    ids::setControlId(h.light, lightId);
    h.row->addWidget(h.title, 1);
    h.row->addWidget(h.light);
    return h;
}

} // namespace tamsel::widgets
