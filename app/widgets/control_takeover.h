/**
 * @file control_takeover.h
 * A module window lays its form out with plain statics and edits, then lets the
 * instrument widgets take their places: same parent, same place in the layout (or the
 * same geometry), same control number, same tool tip. The placeholder goes away.
 */
#pragma once

#include <QWidget>

class QLabel;

namespace tamsel::widgets {

class TStatusLight;

/// Puts @p control in the place of @p placeholder and deletes the placeholder. Returns
/// @p control; a null placeholder leaves @p control where it is.
QWidget* takeOverControl(QWidget* placeholder, QWidget* control);

template <class Control> Control* takeOver(QWidget* placeholder, Control* control) {
    takeOverControl(placeholder, control);
    return control;
}

/// A status light in the place of a static whose text is the light's template
/// ("4 4600").
TStatusLight* takeOverLight(QLabel* placeholder, bool alwaysVisible = false);

} // namespace tamsel::widgets
