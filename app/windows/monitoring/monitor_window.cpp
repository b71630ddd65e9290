#include "monitor_window.h"

#include "motor_animation.h"

#include <digital.h>
#include <widget_ids.h>

#include <contract/error_data.h>
#include <contract/request_codes.h>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

namespace tamsel::windows::monitoring {

namespace {

namespace req = contract::req;
using widgets::ids::setControlId;

constexpr int kPositionCells = 11;
constexpr int kSmallCells = 3;
constexpr int kCellWidth = 18;
constexpr int kCellHeight = 30;
/// The timer number of the error spinner.
constexpr int kSpinnerTimerId = 13107;

widgets::TDigital* addDigits(QWidget* parent, int id, int cells, const char* format) {
    auto* d = new widgets::TDigital(cells, QString::fromLatin1(format), parent);
    setControlId(d, id);
    d->setFixedSize(cells * kCellWidth, kCellHeight);
    return d;
}

} // namespace

TDial_SUIV::TDial_SUIV(const TWindowSetup& setup, QWidget* parent)
    : TModuleWindowBase(setup, kDialogId, kHelpContext, parent), m_app(setup.app) {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QGridLayout;
    m_position = addDigits(this, ids::kPosition, kPositionCells, "%11ld");
    m_power = addDigits(this, ids::kPower, kSmallCells, "");
    m_function = addDigits(this, ids::kFunction, kSmallCells, "%3d");
    m_stage = addDigits(this, ids::kStage, kSmallCells, "%3d");
    m_animation = new TMotorAnimation(this);
    setControlId(m_animation, ids::kAnimation);
    m_animation->hide();
    top->addWidget(new QLabel(tr("Position"), this), 0, 0);
    top->addWidget(m_position, 0, 1, 1, 3);
    top->addWidget(m_animation, 0, 4, 3, 1);
    top->setColumnStretch(5, 1);
    top->addWidget(new QLabel(tr("Power"), this), 1, 0);
    top->addWidget(m_power, 1, 1);
    top->addWidget(new QLabel(tr("Function / step"), this), 2, 0);
    top->addWidget(m_function, 2, 1);
    top->addWidget(m_stage, 2, 2);
    layout->addLayout(top);

    auto addLamps = [&](const QString& caption, int firstId,
                        std::array<widgets::TDigital*, kLampCount>& lamps) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(caption, this));
        for (int i = 0; i < kLampCount; ++i) {
            lamps[static_cast<std::size_t>(i)] = addDigits(this, firstId + i, 1, "%01d");
            row->addWidget(lamps[static_cast<std::size_t>(i)]);
        }
        row->addStretch(1);
        layout->addLayout(row);
    };
    addLamps(tr("Inputs 1-8"), ids::kFirstInput, m_inputs);
    addLamps(tr("Outputs 1-8"), ids::kFirstOutput, m_outputs);
    layout->addStretch(1);
    layout->addWidget(makeHelpButton(), 0, Qt::AlignRight);

    m_spinner = new QTimer(this);
    m_spinner->setObjectName(QString::number(kSpinnerTimerId));
    m_spinner->setInterval(kSpinnerPeriodMs);
    connect(m_spinner, &QTimer::timeout, this, &TDial_SUIV::spin);

    identify();
    startPolling();
}

TDial_SUIV::~TDial_SUIV() {
    watchPolls(nullptr);
    // The entries go before the records do.
    m_polls.reset();
}

void TDial_SUIV::identify() {
    char caption[contract::kNameSize] = {};
    std::snprintf(caption, sizeof caption, "@%02d", static_cast<int>(address()));
    setWindowTitle(QString::fromLatin1(caption));
    char note[contract::kTextSize] = {};
    std::snprintf(note, sizeof note, "[suivi,whoIam]-->typeofcarte := %0X",
                  static_cast<unsigned>(typeCode()));
    request(req::kDiagnostic, note);
}

void TDial_SUIV::startPolling() {
    m_request = {};
    m_request.kind = contract::kKindStatus;
    m_request.data = &m_status;
    m_request.address = address();
    m_request.typeCode = typeCode();
    m_request.dialogId = kDialogId;
    contract::TagPollEntry entry;
    entry.kind = contract::kKindStatus;
    entry.mode = contract::kPollPeriodic;
    entry.request = &m_request;
    m_polls = std::make_unique<TPollSubscription>(*m_app, handle(),
                                                  std::vector<contract::TagPollEntry>{entry});
    // A window refreshed while minimised stays paused.
    watchPolls(m_polls.get());
}

void TDial_SUIV::pollCompleted(int first, int) {
    if (first != req::kPollNotification || !m_polls) {
        return;
    }
    redraw();
}

void TDial_SUIV::redraw() {
    ++m_redraws;
    const bool failed = m_request.status != 0;
    const TErrorStep step = followRead(m_errorMode, failed);
    if (step == TErrorStep::Enter) {
        m_spinner->start();
        spin();
    } else if (step == TErrorStep::Leave) {
        m_spinner->stop();
    }
    const TPanelValues next = panelValues(m_status, failed, m_shown.position);
    TPanelChanges c = changesBetween(m_shown, next);
    // The spinner holds the position display while in error; leaving it shows the position.
    c.position = !failed && (c.position || step == TErrorStep::Leave);
    if (c.position) {
        m_position->setNumber(next.position);
    }
    if (c.function) {
        m_function->setNumberOrBlank(next.function);
    }
    if (c.stage) {
        m_stage->setNumberOrBlank(next.stage);
    }
    if (c.power) {
        m_power->setText(QString::fromStdString(powerText(next.power != 0 ? 1 : 0)));
    }
    if (c.moving) {
        m_animation->setVisible(next.moving != 0);
    }
    if (next.moving != 0) {
        m_frame = nextFrame(m_frame, m_shown.position, next.position);
        m_animation->setFrame(m_frame);
    }
    for (int lamp = 1; lamp <= kLampCount; ++lamp) {
        const auto at = static_cast<std::size_t>(lamp - 1);
        if (c.inputs) {
            m_inputs[at]->setCharacter(0, lampCharacter(next.inputs, lamp));
        }
        if (c.outputs) {
            m_outputs[at]->setCharacter(0, lampCharacter(next.outputs, lamp));
        }
    }
    m_lastChanges = c;
    m_shown = next;
}

void TDial_SUIV::spin() {
    m_position->stepErrorSpinner();
}

void TDial_SUIV::shellCommand(int id) {
    if (id != kUpdateCommand) {
        return;
    }
    watchPolls(nullptr);
    m_polls.reset();
    identify();
    startPolling();
}

} // namespace tamsel::windows::monitoring
