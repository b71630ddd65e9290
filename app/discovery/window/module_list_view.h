// Control 5555, "Found module(s):": the module table drawn row by row from the model's cells,
// eight rows high, each row filled with its state's colour; a right click on a row is told to
// the window, which opens the row's menu.
#pragma once

#include <discovery/module_list_cells.h>

#include <QTableWidget>

namespace tamsel::discovery {

class TModuleListView final : public QTableWidget {
    Q_OBJECT
  public:
    static constexpr int kVisibleRows = 8;

    explicit TModuleListView(QWidget* parent = nullptr);

    /// Redraws every row from the table, back at the top row.
    void refresh(const ModuleTable& table, const WorkingListNames& lists);

  signals:
    /// A right click on @p row (possibly beyond the rows drawn) at @p global.
    void rightClicked(int row, const QPoint& global);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace tamsel::discovery
