/**
 * @file status_light.h
 * TStatusLight: a light with a few numbered states, each shown by its own picture. The
 * template text "count firstBitmap" (for example "4 4600") gives the number of states and
 * the picture of state 0; state n shows picture firstBitmap + n.
 */
#pragma once

#include <QString>
#include <QWidget>

namespace tamsel::widgets {

/// What a light's template text says.
struct TLightTemplate {
    int count = 1;
    int firstBitmap = 0;
};
/// Reads "count firstBitmap"; a text that does not hold both numbers gives one state.
TLightTemplate parseLightTemplate(const QString& text);

class TStatusLight final : public QWidget {
    Q_OBJECT
  public:
    /// An always-visible light shows state 0 too; the others hide in state 0.
    explicit TStatusLight(const QString& templateText, bool alwaysVisible = false,
                          QWidget* parent = nullptr);

    /// Shows state @p state; a state above the number of states (or below 0) is state 0.
    /// Setting the state the light already has does nothing.
    void setState(int state);
    int state() const { return m_state; }
    /// The picture the current state shows.
    int bitmapId() const { return m_template.firstBitmap + m_state; }
    int stateCount() const { return m_template.count; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TLightTemplate m_template;
    bool m_alwaysVisible;
    int m_state = 0;
};

} // namespace tamsel::widgets
