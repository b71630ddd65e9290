// Acts as the person in front of the initialization window: each time its buttons come
// up, notes the message and presses the button the script names next.
#pragma once

#include "init_box.h"
#include "shell_codes.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <deque>

namespace tamsel::shell::test {

struct TShownMessage {
    QString text;
    QStringList buttons;
    int icon = 0;
    QStringList ports;
    QString currentPort;
    QString step;
};

class TInitBoxDriver final : public QObject {
  public:
    /// Captions to press, in order; a caption "COMn" first picks that port in the list.
    std::deque<QString> script;
    QList<TShownMessage> shown;
    QStringList steps;
    int lastProgress = 0;
    bool sawAnimation = false;
    QString title;
    /// A message came up whose buttons did not hold the scripted caption; the driver
    /// then quits, so that a wrong expectation fails the test instead of hanging it.
    bool unexpected = false;

    TInitBoxDriver() {
        m_timer.setInterval(15);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_timer.start();
    }

  private:
    void tick() {
        TInitBox* box = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* b = qobject_cast<TInitBox*>(w); b != nullptr && b->isVisible()) {
                box = b;
            }
        }
        if (box == nullptr) {
            return;
        }
        const auto name = [](const char* what) {
            return QStringLiteral("%1.%2").arg(dlg::kInitBox).arg(QLatin1String(what));
        };
        title = box->findChild<QLabel*>(name("title"))->text();
        const QString step = box->findChild<QLabel*>(name("step"))->text();
        if (!step.isEmpty() && (steps.isEmpty() || steps.last() != step)) {
            steps << step;
        }
        lastProgress = box->findChild<QProgressBar*>(name("progress"))->value();
        sawAnimation = sawAnimation || box->animating();
        QList<QPushButton*> visible;
        for (const char* b : {"button1", "button2", "button3"}) {
            auto* button = box->findChild<QPushButton*>(name(b));
            if (button->isVisible()) {
                visible << button;
            }
        }
        if (visible.isEmpty()) {
            m_up = false;
            return;
        }
        if (m_up) {
            return;
        }
        m_up = true;
        TShownMessage message;
        message.text = box->findChild<QLabel*>(name("message"))->text();
        message.icon = box->findChild<QLabel*>(name("icon"))->property("iconKind").toInt();
        message.step = step;
        auto* ports = box->findChild<QComboBox*>(name("ports"));
        if (ports->isVisible()) {
            for (int i = 0; i < ports->count(); ++i) {
                message.ports << ports->itemText(i);
            }
            message.currentPort = ports->currentText();
        }
        for (QPushButton* b : visible) {
            message.buttons << b->text();
        }
        shown << message;
        if (script.empty()) {
            unexpected = true;
            quit(visible);
            return;
        }
        if (script.front().startsWith(QLatin1String("COM")) && ports->isVisible()) {
            ports->setCurrentText(script.front());
            script.pop_front();
        }
        const QString caption = script.empty() ? QString() : script.front();
        for (QPushButton* b : visible) {
            if (b->text() == caption) {
                script.pop_front();
                QTimer::singleShot(0, b, &QPushButton::click);
                return;
            }
        }
        unexpected = true;
        quit(visible);
    }

    static void quit(const QList<QPushButton*>& visible) {
        QPushButton* target = visible.first();
        for (QPushButton* b : visible) {
            if (b->text() == QLatin1String("Quit Tamsel2")) {
                target = b;
            }
        }
        QTimer::singleShot(0, target, &QPushButton::click);
    }

    QTimer m_timer;
    bool m_up = false;
};

} // namespace tamsel::shell::test
