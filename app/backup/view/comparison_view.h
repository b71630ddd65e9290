// A backup compared with the line as a table: one heading row a module with its state, then
// a row a setting with both values; whatever is not equal is highlighted, and the table can
// show the differences alone.
#pragma once

#include <backup/comparison.h>

#include <QColor>
#include <QWidget>

class QCheckBox;
class QLabel;
class QTableWidget;

namespace tamsel::backup {

class TComparisonView : public QWidget {
  public:
    enum Column { kModule, kSetting, kState, kBackup, kLine, kColumns };

    explicit TComparisonView(QWidget* parent = nullptr);

    /// Shows @p comparison; the view keeps its own copy of the texts.
    void showComparison(const Comparison& comparison);
    /// Rows of equal settings hidden (true) or shown.
    void setDifferencesOnly(bool only);

    QTableWidget* table() const { return m_table; }
    QCheckBox* differencesOnly() const { return m_only; }
    QLabel* summary() const { return m_summary; }

    /// The highlight of a setting row and of a module's heading row.
    static QColor colourOf(SettingState s);
    static QColor colourOf(ModuleState s);

  private:
    void applyFilter();

    QTableWidget* m_table;
    QCheckBox* m_only;
    QLabel* m_summary;
};

} // namespace tamsel::backup
