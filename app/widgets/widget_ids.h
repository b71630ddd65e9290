/**
 * @file widget_ids.h
 * The numbers of the shared dialogs and of their controls. A control carries its number
 * as its object name, so that windows, tests and the error report can find it.
 */
#pragma once

#include <QString>
#include <QWidget>

namespace tamsel::widgets::ids {

/// Buttons common to every dialog.
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;

/// Dialog 19000, the input dialog.
inline constexpr int kInputDialog = 19000;
inline constexpr int kInputEdit = 101;
inline constexpr int kInputArrows = 102;
inline constexpr int kInputChoice = 103;
inline constexpr int kInputPrompt = 104;
inline constexpr int kRadixHexa = 110;
inline constexpr int kRadixDecimal = 111;

/// Dialog 8000, the communication error report.
inline constexpr int kCommErrorDialog = 8000;
inline constexpr int kErrorFrom = 101;
inline constexpr int kLastCommand = 102;
inline constexpr int kErrorCode = 103;
inline constexpr int kDetail = 104;
inline constexpr int kModuleReport = 105;

/// Gives @p widget its control number as its object name.
inline void setControlId(QWidget* widget, int id) {
    widget->setObjectName(QString::number(id));
}

} // namespace tamsel::widgets::ids
