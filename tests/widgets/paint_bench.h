// A window holding one control and a small sentinel beside it, to count the control's
// repaints. An update asked of the control before the sentinel's is painted in the same
// pass as the sentinel, so once the sentinel has painted, a control that did not paint
// was not asked to.
#pragma once

#include <QEvent>
#include <QObject>
#include <QTest>
#include <QWidget>

#include <functional>
#include <memory>

namespace tamsel::widgets::test {

class TPaintCounter final : public QObject {
  public:
    explicit TPaintCounter(QWidget* watched) : m_watched(watched) {
        watched->installEventFilter(this);
    }
    int count() const { return m_count; }
    void reset() { m_count = 0; }
    bool eventFilter(QObject* object, QEvent* event) override {
        if (object == m_watched && event->type() == QEvent::Paint) {
            ++m_count;
        }
        return false;
    }

  private:
    QWidget* m_watched;
    int m_count = 0;
};

/// Generous bound for a repaint to arrive; it normally takes a few milliseconds.
inline constexpr int kPaintWaitMs = 10000;

class TPaintBench {
  public:
    /// Takes @p control, placed at the top left with @p size.
    TPaintBench(QWidget* control, QSize size)
        : m_window(std::make_unique<QWidget>()), m_sentinel(new QWidget(m_window.get())),
          m_controlPaints(control), m_sentinelPaints(m_sentinel) {
        control->setParent(m_window.get());
        control->setGeometry(QRect(QPoint(0, 0), size));
        m_sentinel->setGeometry(0, size.height() + 4, 8, 8);
        m_window->resize(qMax(size.width(), 8), size.height() + 12);
    }

    /// Shows the window and waits until its first paints are over.
    bool open() {
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get())) {
            return false;
        }
        return paintsDuring([] {}) >= 0;
    }

    /// How often the control painted while @p action ran and the window caught up; -1 when
    /// the window never caught up.
    int paintsDuring(const std::function<void()>& action) {
        m_controlPaints.reset();
        m_sentinelPaints.reset();
        action();
        m_sentinel->update();
        if (!QTest::qWaitFor([this] { return m_sentinelPaints.count() > 0; }, kPaintWaitMs)) {
            return -1;
        }
        return m_controlPaints.count();
    }

    QWidget* window() const { return m_window.get(); }

  private:
    std::unique_ptr<QWidget> m_window;
    QWidget* m_sentinel;
    TPaintCounter m_controlPaints;
    TPaintCounter m_sentinelPaints;
};

} // namespace tamsel::widgets::test
