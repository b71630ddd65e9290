#include "init_box.h"

#include "app_request.h"
#include "prompter.h"
#include "shell_codes.h"
#include "shell_strings.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace tamsel::shell {

namespace {

constexpr int kProgressRange = 120;
constexpr int kProgressStep = 10;
constexpr int kAnimationMs = 150;
constexpr int kPortTextLimit = 20;
// The mark that turns while the start-up works, so that a slow step never looks frozen.
constexpr const char* kFrames[] = {"|", "/", "-", "\\"};

/// A start-up message followed by what the application found out, when it says more.
QString withDetail(int stringId, const QString& detail) {
    const QString text = tableString(stringId);
    return detail.isEmpty() ? text : text + QStringLiteral("\n\n") + detail;
}

QString controlName(const char* what) {
    return QStringLiteral("%1.%2").arg(dlg::kInitBox).arg(QLatin1String(what));
}

} // namespace

TInitBox::TInitBox(TRequestSink& app, TPrompter& prompter, QWidget* parent)
    : QDialog(parent), m_app(app), m_prompter(prompter) {
    setObjectName(QStringLiteral("TInitBox"));
    setWindowTitle(QStringLiteral("Tamsel2 initialization in progress ..."));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    m_title = new QLabel(this);
    m_title->setObjectName(controlName("title"));
    m_title->setAlignment(Qt::AlignCenter);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(controlName("progress"));
    m_progress->setRange(0, kProgressRange);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_step = new QLabel(this);
    m_step->setObjectName(controlName("step"));
    m_icon = new QLabel(this);
    m_icon->setObjectName(controlName("icon"));
    m_icon->setProperty("iconKind", static_cast<int>(TBoxIcon::None));
    m_icon->setFixedSize(40, 40);
    m_message = new QLabel(this);
    m_message->setObjectName(controlName("message"));
    m_message->setWordWrap(false);
    m_message->setTextFormat(Qt::PlainText);
    m_animation = new QLabel(this);
    m_animation->setObjectName(controlName("animation"));
    m_animation->setFixedWidth(24);
    m_animation->setAlignment(Qt::AlignCenter);
    m_ports = new QComboBox(this);
    m_ports->setObjectName(controlName("ports"));
    m_ports->hide();

    auto* top = new QVBoxLayout(this);
    top->addWidget(m_title);
    auto* stepRow = new QHBoxLayout;
    stepRow->addWidget(m_animation);
    stepRow->addWidget(m_step, 1);
    top->addLayout(stepRow);
    top->addWidget(m_progress);
    auto* messageRow = new QHBoxLayout;
    messageRow->addWidget(m_icon, 0, Qt::AlignTop);
    messageRow->addWidget(m_message, 1);
    top->addLayout(messageRow);
    top->addWidget(m_ports);
    auto* buttonRow = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        m_buttons[i] = new QPushButton(this);
        m_buttons[i]->setObjectName(controlName(i == 0   ? "button1"
                                                : i == 1 ? "button2"
                                                         : "button3"));
        m_buttons[i]->setAutoDefault(false);
        m_buttons[i]->hide();
        buttonRow->addWidget(m_buttons[i]);
        const std::int32_t code = (i + 1) * answer::kFirst;
        connect(m_buttons[i], &QPushButton::clicked, this, [this, code, i] {
            if (i == 0 && m_ports->isVisible()) {
                m_chosenPort = m_ports->currentText().left(kPortTextLimit);
            }
            answer(code);
        });
    }
    top->addLayout(buttonRow);

    m_animationTimer = new QTimer(this);
    m_animationTimer->setInterval(kAnimationMs);
    connect(m_animationTimer, &QTimer::timeout, this, [this] {
        m_animationFrame = (m_animationFrame + 1) % 4;
        m_animation->setText(QString::fromLatin1(kFrames[m_animationFrame]));
    });
    setMinimumWidth(420);
}

bool TInitBox::animating() const {
    return m_animationTimer->isActive();
}

void TInitBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_started) {
        return;
    }
    m_started = true;
    // The sequence runs inside the request, so it must begin once the window is up and
    // its own event loop turns.
    QTimer::singleShot(0, this, [this] { m_app.request(req::kStartup, dlg::kInitBox, this); });
}

void TInitBox::closeEvent(QCloseEvent* event) {
    if (m_finished) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

void TInitBox::reject() {
    if (m_finished) {
        QDialog::reject();
    }
}

void TInitBox::setIcon(int icon) {
    QStyle::StandardPixmap pixmap = QStyle::SP_MessageBoxInformation;
    switch (static_cast<TBoxIcon>(icon)) {
    case TBoxIcon::Exclamation:
        pixmap = QStyle::SP_MessageBoxWarning;
        break;
    case TBoxIcon::Stop:
        pixmap = QStyle::SP_MessageBoxCritical;
        break;
    default:
        break;
    }
    m_icon->setPixmap(style()->standardIcon(pixmap).pixmap(32, 32));
    m_icon->setProperty("iconKind", icon);
}

void TInitBox::showMessage(int stringId, const QString& text, int icon, int first, int second,
                           int third) {
    setIcon(icon);
    m_message->setText(text.isNull() ? tableString(stringId) : text);
    const int numbers[3] = {first, second, third};
    for (int i = 0; i < 3; ++i) {
        if (numbers[i] == button::kNone) {
            m_buttons[i]->hide();
        } else {
            m_buttons[i]->setText(tableString(str::kButtonBase + numbers[i]));
            m_buttons[i]->show();
        }
    }
    m_prompter.beep();
    adjustSize();
}

void TInitBox::hideAnswers() {
    for (auto* b : m_buttons) {
        b->hide();
    }
    m_ports->hide();
}

void TInitBox::answer(std::int32_t code) {
    hideAnswers();
    m_app.request(req::kStartupAnswer, dlg::kInitBox, &code);
}

void TInitBox::display(const TInitDisplay& what) {
    const auto stop = static_cast<int>(TBoxIcon::Stop);
    const auto exclamation = static_cast<int>(TBoxIcon::Exclamation);
    const auto information = static_cast<int>(TBoxIcon::Information);
    switch (what.code) {
    case disp::kTitle:
        m_title->setText(what.text);
        break;
    case disp::kClose:
        m_finished = true;
        m_animationTimer->stop();
        done(QDialog::Accepted);
        break;
    case disp::kStep:
        m_step->setText(tableString(str::kStepBase + what.number));
        m_progress->setValue(std::min(kProgressRange, m_progress->value() + kProgressStep));
        if (!m_animationTimer->isActive()) {
            m_animationTimer->start();
        }
        break;
    case disp::kBadProject:
        showMessage(str::kBadProject, withDetail(str::kBadProject, what.text), stop, button::kQuit,
                    0, 0);
        break;
    case disp::kDisplay:
        showMessage(str::kDisplay, {}, exclamation, button::kContinue, button::kQuit, 0);
        break;
    case disp::kFiles:
        showMessage(str::kFiles, withDetail(str::kFiles, what.text), stop, button::kQuit, 0, 0);
        break;
    case disp::kNoPort:
        showMessage(str::kNoPort, {}, stop, button::kQuit, 0, 0);
        break;
    case disp::kDriver: {
        const int digit = what.text.left(1).toInt();
        const bool goOn = digit == 4;
        showMessage(str::kNoPort + digit, {}, goOn ? information : stop,
                    goOn ? button::kContinue : button::kQuit, 0, 0);
        break;
    }
    case disp::kPortRefused:
        showMessage(str::kPortRefused, tableString(str::kPortRefused).replace("%s", what.text),
                    exclamation, button::kTryAgain, button::kQuit, button::kSelectPort);
        break;
    case disp::kPortSelection:
        m_step->setText(tableString(str::kStepSelection));
        m_ports->clear();
        m_ports->addItems(what.list);
        m_ports->setCurrentIndex(what.current);
        m_ports->show();
        showMessage(str::kPortList, {}, information, button::kSelectDone, button::kQuit, 0);
        break;
    case disp::kPortChosen:
        if (what.out != nullptr) {
            *what.out = m_chosenPort;
        }
        answer(answer::kFirst);
        break;
    default:
        break;
    }
}

} // namespace tamsel::shell
