#include "control_takeover.h"

#include "status_light.h"

#include <QLabel>
#include <QLayout>
#include <QLayoutItem>

namespace tamsel::widgets {

QWidget* takeOverControl(QWidget* placeholder, QWidget* control) {
    if (placeholder == nullptr || control == nullptr) {
        return control;
    }
    QWidget* parent = placeholder->parentWidget();
    control->setParent(parent);
    control->setObjectName(placeholder->objectName());
    control->setToolTip(placeholder->toolTip());
    control->setSizePolicy(placeholder->sizePolicy());
    control->setMinimumSize(placeholder->minimumSize());
    bool placed = false;
    if (parent != nullptr && parent->layout() != nullptr) {
        QLayoutItem* replaced = parent->layout()->replaceWidget(placeholder, control);
        placed = replaced != nullptr;
        delete replaced;
    }
    if (!placed) {
        control->setGeometry(placeholder->geometry());
    }
    const bool placeholderHidden =
        placeholder->testAttribute(Qt::WA_WState_ExplicitShowHide) && placeholder->isHidden();
    delete placeholder;
    if (placeholderHidden) {
        control->hide();
    } else if (parent != nullptr && parent->isVisible() &&
               !control->testAttribute(Qt::WA_WState_ExplicitShowHide)) {
        // A child added to a window already on screen stays hidden until shown; a
        // control that chose its own visibility (a light in state 0) keeps its choice.
        control->show();
    }
    return control;
}

TStatusLight* takeOverLight(QLabel* placeholder, bool alwaysVisible) {
    const QString templateText = placeholder != nullptr ? placeholder->text() : QString();
    return takeOver(placeholder, new TStatusLight(templateText, alwaysVisible));
}

} // namespace tamsel::widgets
