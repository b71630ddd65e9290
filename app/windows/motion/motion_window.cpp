#include "motion_window.h"

#include <arrow_buttons.h>
#include <module_header.h>
#include <numeric_field.h>
#include <status_light.h>
#include <widget_ids.h>

#include <contract/error_data.h>
#include <contract/request_codes.h>

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

namespace tamsel::windows::motion {

namespace {

namespace req = contract::req;
using widgets::ids::setControlId;

constexpr const char* kCaption = "Motion - Direct Mode";
constexpr const char* kStartCaption = "&Start";
constexpr const char* kStopCaption = "&Stop";
constexpr const char* kDistanceTrace = "kill focus  on dr";
/// The shell's order to query the module again.
constexpr int kUpdateCommand = 0x2006;
constexpr int kFirstFunctionShown = 1;
constexpr int kOutputWidth = 34;

constexpr std::array<int, kImmediates.size()> kImmediateIds = {
    ids::kReset,   ids::kQuickStop, ids::kDecelStop,
    ids::kPowerOn, ids::kPowerOff,  ids::kClearPosition};

std::string textOf(const QLineEdit* edit) {
    return edit->text().toStdString();
}

QString styleOf(TOutputState state) {
    const std::uint32_t rgb = outputColour(state);
    return QStringLiteral("background-color: #%1; border: 1px solid gray;")
        .arg(rgb, 6, 16, QLatin1Char('0'));
}

std::size_t slotOf(TImmediate which) {
    for (std::size_t i = 0; i < kImmediates.size(); ++i) {
        if (kImmediates[i] == which) {
            return i;
        }
    }
    return 0;
}

} // namespace

TDial_MOT::TDial_MOT(const TWindowSetup& setup, QWidget* parent)
    : TModuleWindowBase(setup, kDialogId, kHelpContext, parent), m_app(setup.app),
      m_commands(*setup.app, static_cast<std::uint16_t>(kDialogId), setup.address) {
    setWindowTitle(QString::fromLatin1(kCaption));
    m_outputs.fill(TOutputState::Off);
    build();

    // The four arrows act on both ends; the fields start from zero and the first function.
    m_distance->setValue(0);
    m_position->setValue(0);
    m_speed->setText(QStringLiteral("0"));
    m_function->setText(QString::fromStdString(functionText(kFirstFunctionShown)));
    applyMode(TMotionMode::None);
    m_apply->hide();
    for (QPushButton* b : m_immediate) {
        b->setEnabled(false);
    }

    char title[contract::kTextSize] = {};
    m_app->request(req::kModuleTitle, static_cast<std::uint16_t>(address()), title);
    m_header->setText(QString::fromLatin1(title));
    m_refreshRequested = true;
    scheduleIdle();
}

TDial_MOT::~TDial_MOT() {
    watchPolls(nullptr);
    // The entries go before the records do.
    m_polls.reset();
}

// ---- building ---------------------------------------------------------------------------

QPushButton* TDial_MOT::addCommandButton(int id, TImmediate which) {
    auto* button = new QPushButton(QString::fromLatin1(captionOf(which)), this);
    setControlId(button, id);
    button->setCheckable(true);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this,
            [this, button, which] { immediateClicked(button, which); });
    m_immediate[slotOf(which)] = button;
    return button;
}

void TDial_MOT::build() {
    auto* layout = new QVBoxLayout(this);
    const widgets::TModuleHeader header =
        widgets::makeModuleHeader(this, ids::kHeader, ids::kLight);
    m_header = header.title;
    m_light = header.light;
    layout->addLayout(header.row);

    auto* commands = new QGridLayout;
    for (std::size_t i = 0; i < kImmediates.size(); ++i) {
        QPushButton* b = addCommandButton(kImmediateIds[i], kImmediates[i]);
        commands->addWidget(b, static_cast<int>(i / 3), static_cast<int>(i % 3));
    }
    layout->addLayout(commands);

    auto* motionBox = new QGroupBox(tr("Motion"), this);
    auto* grid = new QGridLayout(motionBox);
    m_defined = new QCheckBox(QStringLiteral("de&Fined"), motionBox);
    setControlId(m_defined, ids::kDefined);
    m_continuous = new QCheckBox(QStringLiteral("&Continuous"), motionBox);
    setControlId(m_continuous, ids::kContinuous);
    connect(m_defined, &QCheckBox::clicked, this, [this] { modeClicked(TMotionMode::Defined); });
    connect(m_continuous, &QCheckBox::clicked, this,
            [this] { modeClicked(TMotionMode::Continuous); });
    grid->addWidget(m_defined, 0, 0);
    grid->addWidget(m_continuous, 0, 1);

    auto addField = [&](QWidget* field, int fieldId, widgets::TArrowButtons*& arrows, int arrowsId,
                        const QString& caption, int row) {
        setControlId(field, fieldId);
        arrows = new widgets::TArrowButtons(motionBox);
        setControlId(arrows, arrowsId);
        auto* label = new QLabel(caption, motionBox);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(arrows, row, 2);
        connect(arrows, &widgets::TArrowButtons::stepped, this,
                [this, arrowsId](int delta) { arrowStepped(arrowsId, delta); });
    };
    m_distance = new widgets::TNumericField(motionBox);
    addField(m_distance, ids::kDistance, m_distanceArrows, ids::kDistanceArrows,
             QStringLiteral("&Distance"), 1);
    m_position = new widgets::TNumericField(motionBox);
    addField(m_position, ids::kPosition, m_positionArrows, ids::kPositionArrows,
             QStringLiteral("&Position"), 2);
    m_home = new QCheckBox(QStringLiteral("&Home"), motionBox);
    setControlId(m_home, ids::kHome);
    grid->addWidget(m_home, 2, 3);
    m_speed = new QLineEdit(motionBox);
    addField(m_speed, ids::kSpeed, m_speedArrows, ids::kSpeedArrows, QStringLiteral("Ma&x speed"),
             3);
    m_apply = new QPushButton(QStringLiteral("&Motion Apply"), motionBox);
    setControlId(m_apply, ids::kApply);
    m_apply->setAutoDefault(false);
    grid->addWidget(m_apply, 4, 1);
    layout->addWidget(motionBox);

    auto* outputsBox = new QGroupBox(tr("Outputs S8 ... S1"), this);
    auto* outputs = new QHBoxLayout(outputsBox);
    for (int i = 0; i < kOutputCount; ++i) {
        auto* label = new QLabel(outputsBox);
        setControlId(label, ids::kFirstOutput + i);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(kOutputWidth);
        label->installEventFilter(this);
        m_outputLabels[static_cast<std::size_t>(i)] = label;
        outputs->addWidget(label);
        showOutput(i);
    }
    m_outputsApply = new QPushButton(QStringLiteral("&Outputs Apply"), outputsBox);
    setControlId(m_outputsApply, ids::kOutputsApply);
    m_outputsApply->setAutoDefault(false);
    outputs->addWidget(m_outputsApply);
    layout->addWidget(outputsBox);

    auto* functionRow = new QHBoxLayout;
    m_function = new widgets::TNumericField(this);
    setControlId(m_function, ids::kFunction);
    m_function->setRange(kFirstFunction, kLastFunction);
    m_functionArrows = new widgets::TArrowButtons(this);
    setControlId(m_functionArrows, ids::kFunctionArrows);
    connect(m_functionArrows, &widgets::TArrowButtons::stepped, this,
            [this](int delta) { arrowStepped(ids::kFunctionArrows, delta); });
    m_start = new QPushButton(QString::fromLatin1(kStartCaption), this);
    setControlId(m_start, ids::kStart);
    m_start->setAutoDefault(false);
    functionRow->addWidget(new QLabel(tr("Function"), this));
    functionRow->addWidget(m_function);
    functionRow->addWidget(m_functionArrows);
    functionRow->addWidget(m_start);
    functionRow->addStretch(1);
    functionRow->addWidget(makeHelpButton());
    layout->addLayout(functionRow);

    connect(m_apply, &QPushButton::clicked, this, &TDial_MOT::motionApplyClicked);
    connect(m_start, &QPushButton::clicked, this, &TDial_MOT::startClicked);
    connect(m_outputsApply, &QPushButton::clicked, this, &TDial_MOT::outputsApplyClicked);
    connect(m_home, &QCheckBox::clicked, this, &TDial_MOT::homeToggled);
    connect(m_distance, &QLineEdit::editingFinished, this, &TDial_MOT::distanceLeft);
    connect(m_position, &QLineEdit::editingFinished, this, &TDial_MOT::positionLeft);
    connect(m_function, &QLineEdit::editingFinished, this, &TDial_MOT::functionLeft);
    for (QLineEdit* edit :
         {static_cast<QLineEdit*>(m_distance), static_cast<QLineEdit*>(m_position), m_speed}) {
        connect(edit, &QLineEdit::returnPressed, this, [this] { m_apply->setFocus(); });
    }
    connect(m_function, &QLineEdit::returnPressed, this, [this] { m_start->setFocus(); });
}

// ---- idle processing --------------------------------------------------------------------

void TDial_MOT::scheduleIdle() {
    if (m_idleQueued) {
        return;
    }
    m_idleQueued = true;
    // Exchanges never run inside the poll thread's notification: the idle pass does them.
    QTimer::singleShot(0, this, [this] {
        m_idleQueued = false;
        idle();
    });
}

void TDial_MOT::idle() {
    if (m_refreshRequested) {
        m_refreshRequested = false;
        refresh();
    }
    if (m_enableRequested) {
        m_enableRequested = false;
        enableControls();
    }
    if (m_errorReset) {
        m_errorReset = false;
        disableAfterError();
    }
    if (m_statusArrived) {
        m_statusArrived = false;
        applyStatus();
    }
}

std::int32_t TDial_MOT::strategy(std::int32_t which) {
    contract::TagCatalogueQuery query;
    query.operation = contract::catop::kStrategy;
    query.value = typeCode();
    query.argument = which;
    request(req::kCatalogue, &query);
    return query.value;
}

void TDial_MOT::refresh() {
    m_request.kind = contract::kKindStatus;
    m_request.data = &m_status;
    m_request.address = address();
    m_request.typeCode = typeCode();
    m_request.dialogId = kDialogId;
    m_outputMode = strategy(kStrategyOutputMode);
    m_speedMode = strategy(kStrategySpeedMode);
    if (m_speedMode == kSpeedModeLimited) {
        std::string reply;
        if (m_commands.send(coded::kSpeedLimit, " ", &reply) == 0) {
            m_speedLimit = numberIn(reply).value_or(0);
        }
    }
    enableControls();
    if (!m_polls) {
        startPolling();
    }
}

void TDial_MOT::startPolling() {
    m_errorReset = false;
    m_light->setState(kLightPending);
    contract::TagPollEntry entry;
    entry.kind = contract::kKindStatus;
    entry.mode = contract::kPollPeriodic;
    entry.request = &m_request;
    m_polls = std::make_unique<TPollSubscription>(*m_app, handle(),
                                                  std::vector<contract::TagPollEntry>{entry});
    watchPolls(m_polls.get());
}

void TDial_MOT::enableControls() {
    for (QPushButton* b : m_immediate) {
        b->setEnabled(true);
    }
    m_defined->setEnabled(true);
    m_continuous->setEnabled(true);
    m_speed->setText(QString::fromStdString(initialSpeedText(m_speedMode, m_speedLimit)));
    applyMode(TMotionMode::Defined);
    for (int i = 0; i < kOutputCount; ++i) {
        m_outputs[static_cast<std::size_t>(i)] = TOutputState::Off;
        m_outputLabels[static_cast<std::size_t>(i)]->setEnabled(true);
        showOutput(i);
    }
    m_outputsApply->setEnabled(true);
    m_start->setEnabled(true);
    m_function->setEnabled(true);
    m_functionArrows->setEnabled(true);
    m_watch = {};
}

void TDial_MOT::disableAfterError() {
    for (QPushButton* b : m_immediate) {
        b->setEnabled(false);
    }
    for (QCheckBox* box : {m_defined, m_continuous}) {
        box->setChecked(false);
        box->setEnabled(false);
    }
    applyMode(TMotionMode::None);
    for (int i = 0; i < kOutputCount; ++i) {
        m_outputs[static_cast<std::size_t>(i)] = TOutputState::Off;
        m_outputLabels[static_cast<std::size_t>(i)]->setEnabled(false);
        showOutput(i);
    }
    m_outputsApply->setEnabled(false);
    m_start->setEnabled(false);
    m_functionArrows->setEnabled(false);
}

void TDial_MOT::applyStatus() {
    const TPowerButtons power = powerButtons(m_seen.power);
    QPushButton* on = m_immediate[slotOf(TImmediate::PowerOn)];
    QPushButton* off = m_immediate[slotOf(TImmediate::PowerOff)];
    // The focus on a button about to be disabled goes to its partner.
    if (!power.onEnabled && on->hasFocus()) {
        off->setFocus();
    }
    if (!power.offEnabled && off->hasFocus()) {
        on->setFocus();
    }
    on->setEnabled(power.onEnabled);
    off->setEnabled(power.offEnabled);

    m_targets.current = m_seen.position;
    const TMotionChange change = followMotion(m_watch, m_seen.moving != 0);
    if (change != TMotionChange::None) {
        const TMotionControls c = motionControls(change, m_mode);
        QPushButton* clear = m_immediate[slotOf(TImmediate::ClearPosition)];
        if (!c.clearPositionEnabled && clear->hasFocus()) {
            m_immediate[slotOf(TImmediate::QuickStop)]->setFocus();
        }
        m_apply->setEnabled(c.applyEnabled);
        m_start->setText(QString::fromLatin1(c.showsStop ? kStopCaption : kStartCaption));
        m_function->setEnabled(c.functionEnabled);
        clear->setEnabled(c.clearPositionEnabled);
        if (change == TMotionChange::Started) {
            m_home->setEnabled(false);
        } else {
            m_targets.position = m_targets.current;
            m_targets.linkPending = true;
            if (m_home->isChecked()) {
                m_home->setChecked(false);
                setTargetsEnabled(true);
            }
            showTargets();
        }
    }
    if (!m_home->isEnabled() && m_mode == TMotionMode::Defined) {
        m_home->setEnabled(true);
    }
}

// ---- motion modes and fields --------------------------------------------------------------

void TDial_MOT::setTargetsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{m_distance, m_distanceArrows, m_position,
                                                      m_positionArrows}) {
        w->setEnabled(enabled);
    }
}

void TDial_MOT::setSpeedEnabled(bool enabled) {
    m_speed->setEnabled(enabled);
    m_speedArrows->setEnabled(enabled);
}

void TDial_MOT::applyMode(TMotionMode mode) {
    m_mode = mode;
    const TModeControls c = modeControls(mode);
    m_apply->setVisible(c.applyVisible);
    m_apply->setEnabled(c.applyEnabled);
    setTargetsEnabled(c.targetsEnabled);
    m_home->setEnabled(c.targetsEnabled);
    m_home->setChecked(false);
    setSpeedEnabled(c.speedEnabled);
    m_defined->setChecked(mode == TMotionMode::Defined);
    m_continuous->setChecked(mode == TMotionMode::Continuous);
}

void TDial_MOT::modeClicked(TMotionMode mode) {
    // The pair acts as one choice: the box already set stays set.
    applyMode(mode);
}

void TDial_MOT::showTargets() {
    m_distance->setValue(m_targets.distance);
    m_position->setValue(m_targets.position);
}

void TDial_MOT::homeToggled(bool checked) {
    const bool stays = motion::homeToggled(m_targets, checked);
    m_home->setChecked(stays);
    setTargetsEnabled(!stays);
    showTargets();
    m_apply->setFocus();
}

void TDial_MOT::arrowStepped(int id, int delta) {
    const bool large = (QGuiApplication::mouseButtons() & Qt::RightButton) != 0;
    const std::int32_t step = delta * (large ? kLargeStepFactor : 1);
    switch (id) {
    case ids::kDistanceArrows:
        m_targets.distance = m_distance->value();
        m_targets.position = m_position->value();
        stepDistance(m_targets, step);
        showTargets();
        break;
    case ids::kPositionArrows:
        m_targets.distance = m_distance->value();
        m_targets.position = m_position->value();
        stepPosition(m_targets, step);
        showTargets();
        break;
    case ids::kSpeedArrows:
        m_speed->setText(
            QString::fromStdString(steppedSpeed(textOf(m_speed), step, m_speedMode, m_speedLimit)));
        break;
    case ids::kFunctionArrows:
        m_function->setText(
            QString::fromStdString(functionText(steppedFunction(m_function->value(), delta))));
        break;
    default:
        break;
    }
}

void TDial_MOT::distanceLeft() {
    std::string trace = kDistanceTrace;
    request(req::kTrace, trace.data());
    distanceEdited(m_targets, m_distance->value());
    showTargets();
}

void TDial_MOT::positionLeft() {
    positionEdited(m_targets, m_position->value());
    showTargets();
}

void TDial_MOT::functionLeft() {
    m_function->setText(QString::fromStdString(functionText(m_function->value())));
}

// ---- commands -----------------------------------------------------------------------------

bool TDial_MOT::sendCommand(const TCommand& command, QAbstractButton* shownOn) {
    if (shownOn != nullptr) {
        shownOn->setChecked(true);
        shownOn->repaint();
    }
    const std::int32_t status = m_commands.send(command.index, command.argument);
    if (shownOn != nullptr) {
        shownOn->setChecked(false);
    }
    if (status != 0) {
        m_light->setState(kLightError);
        reportFailure(contract::kFailedWrite, command.index, status);
        return false;
    }
    return true;
}

void TDial_MOT::immediateClicked(QPushButton* button, TImmediate which) {
    sendCommand(TCommand{commandIndexOf(which), {}}, button);
}

void TDial_MOT::motionApplyClicked() {
    const std::optional<TCommand> command =
        motionApply(m_mode, textOf(m_position), textOf(m_speed));
    if (!command) {
        return;
    }
    if (sendCommand(*command) && m_mode == TMotionMode::Defined) {
        m_targets.linkPending = true;
    }
}

void TDial_MOT::startClicked() {
    const TStartAction action = startButton(m_start->text() != QString::fromLatin1(kStartCaption),
                                            m_speedMode, textOf(m_function));
    if (!action.command) {
        return;
    }
    if (action.switchToDefined) {
        applyMode(TMotionMode::Defined);
    }
    sendCommand(*action.command);
}

void TDial_MOT::outputsApplyClicked() {
    sendCommand(TCommand{coded::kOutputs, outputLetters(m_outputs)});
}

void TDial_MOT::outputClicked(int index) {
    auto& state = m_outputs[static_cast<std::size_t>(index)];
    state = nextOutputState(state, m_outputMode);
    showOutput(index);
}

void TDial_MOT::showOutput(int index) {
    const TOutputState state = m_outputs[static_cast<std::size_t>(index)];
    QLabel* label = m_outputLabels[static_cast<std::size_t>(index)];
    label->setText(QString::fromLatin1(outputText(state)));
    label->setStyleSheet(styleOf(state));
}

// ---- what arrives -------------------------------------------------------------------------

void TDial_MOT::pollCompleted(int first, int kind) {
    if (first != req::kPollNotification || kind != contract::kKindStatus || !m_polls) {
        return;
    }
    const std::int32_t status = m_request.status;
    if (status != 0) {
        m_light->setState(kLightError);
        watchPolls(nullptr);
        m_polls.reset();
        m_errorReset = true;
        reportFailure(contract::kFailedRead, kind, status);
        scheduleIdle();
        return;
    }
    ++m_statusCount;
    m_light->setState(kLightValid);
    m_seen = m_status;
    m_statusArrived = true;
    scheduleIdle();
}

void TDial_MOT::shellCommand(int id) {
    if (id == kUpdateCommand) {
        std::string text = "Motion : IDV_UPDATE";
        request(req::kDiagnostic, text.data());
        m_refreshRequested = true;
        scheduleIdle();
    }
}

bool TDial_MOT::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == m_header) {
            m_refreshRequested = true;
            scheduleIdle();
            return true;
        }
        for (int i = 0; i < kOutputCount; ++i) {
            QLabel* label = m_outputLabels[static_cast<std::size_t>(i)];
            if (watched == label && label->isEnabled()) {
                outputClicked(i);
                return true;
            }
        }
    }
    return TModuleWindowBase::eventFilter(watched, event);
}

} // namespace tamsel::windows::motion
