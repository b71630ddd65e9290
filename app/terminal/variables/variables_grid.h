// TGrille: the eight rows of the variables window drawn under the header, in the header's
// columns. It shows the scan list it is given and tells which row and column a right click
// fell on; what that opens is the window's business.
#pragma once

#include "variables_model.h"

#include <QWidget>

namespace tamsel::terminal::variables {

class TGrille final : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kObjectName = "TGrille";
    /// The colours of the hexadecimal and two-byte views.
    static constexpr QRgb kHexaColour = 0xFF008000;
    static constexpr QRgb kTwoBytesColour = 0xFF000080;

    explicit TGrille(const TScanList& rows, QWidget* parent = nullptr);

    /// Where a row's column is drawn, in the grid's coordinates.
    QRect cellRect(int row, TColumn column) const;
    /// The row and column under @p point; false outside the rows.
    bool cellAt(const QPoint& point, int& row, TColumn& column) const;
    int rowHeight() const;
    QSize sizeHint() const override;

  signals:
    /// A click over a row's column, at @p global on the screen; @p menu for the right button.
    void cellPressed(int row, tamsel::terminal::variables::TColumn column, const QPoint& global,
                     bool menu);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    const TScanList& m_rows;
};

} // namespace tamsel::terminal::variables
