// Dialog 2000, "Tamsel2 initialization control window": shows the start-up sequence that
// the application runs inside request 0x9005, and hands the user's answers back with
// request 0x9006.
#pragma once

#include <contract/request_sink.h>

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tamsel::shell {

class TPrompter;
using contract::TRequestSink;

/// What the application posts to the initialization window with one display code.
struct TInitDisplay {
    int code = 0;
    /// Step number (40711).
    int number = 0;
    /// Title (40704), digit text (40722) or port name (40726).
    QString text;
    /// Port list (40727).
    QStringList list;
    /// Index of the current port in the list (40727), -1 when none.
    int current = -1;
    /// Where 40728 copies the chosen port.
    QString* out = nullptr;
};

class TInitBox final : public QDialog {
    Q_OBJECT
  public:
    TInitBox(TRequestSink& app, TPrompter& prompter, QWidget* parent = nullptr);

    /// Carries out one display code.
    void display(const TInitDisplay& what);

    /// Whether the spinning mark runs (it starts with the first step text).
    bool animating() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void showMessage(int stringId, const QString& text, int icon, int first, int second, int third);
    void answer(std::int32_t code);
    void hideAnswers();
    void setIcon(int icon);

    TRequestSink& m_app;
    TPrompter& m_prompter;
    QLabel* m_title = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_step = nullptr;
    QLabel* m_icon = nullptr;
    QLabel* m_message = nullptr;
    QLabel* m_animation = nullptr;
    QComboBox* m_ports = nullptr;
    QPushButton* m_buttons[3] = {};
    QTimer* m_animationTimer = nullptr;
    int m_animationFrame = 0;
    bool m_started = false;
    bool m_finished = false;
    QString m_chosenPort;
};

} // namespace tamsel::shell
