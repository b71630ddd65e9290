#include "specific_modes_window.h"

#include <arrow_buttons.h>
#include <module_header.h>
#include <status_light.h>
#include <widget_ids.h>

#include <contract/error_data.h>
#include <contract/request_codes.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace tamsel::windows::specific_modes {

namespace {

namespace req = contract::req;

// The shell raises the window with this order: refresh, with the title again.
constexpr int kCommandRefresh = 0x2001;
constexpr int kHeaderPixels = 20;
constexpr int kOutputWidth = 34;

bool isModeKind(int kind) {
    return kind >= contract::kKindPowerOnFunction && kind <= contract::kKindAutoOutput;
}

std::int32_t numberIn(const QLineEdit* field) {
    int value = 0;
    return std::sscanf(field->text().toLatin1().constData(), "%d", &value) == 1 ? value : 0;
}

QString outputStyle(const QLabel* output) {
    if (!output->isEnabled()) {
        return QStringLiteral("QLabel { border: 1px solid gray; }");
    }
    const TRgb c = outputColour(output->text().toStdString());
    return QStringLiteral("QLabel { background: rgb(%1,%2,%3); border: 1px solid gray; }")
        .arg(c.red)
        .arg(c.green)
        .arg(c.blue);
}

} // namespace

TSpecificModesWindow::TSpecificModesWindow(const TWindowSetup& setup, QWidget* parent)
    : TModuleWindowBase(setup, kDialogId, kHelpContext, parent), m_appSink(setup.app) {
    setWindowTitle(QStringLiteral("Specific modes"));
    m_request.kind = contract::kKindSpecificGroup;
    m_request.data = &m_record;
    m_request.dialogId = kDialogId;
    if (setup.app != nullptr) {
        m_polls = std::make_unique<TPollSubscription>(
            *setup.app, handle(), std::vector<contract::TagPollEntry>{}, contract::kPollOnce);
    }
    build();
    watchPolls(m_polls.get());
    refresh(true);
}

TSpecificModesWindow::~TSpecificModesWindow() {
    watchPolls(nullptr);
    // The entries go before the records do.
    m_polls.reset();
}

void TSpecificModesWindow::build() {
    auto* layout = new QVBoxLayout(this);
    const widgets::TModuleHeader header =
        widgets::makeModuleHeader(this, ids::kHeader, ids::kLight, kHeaderPixels);
    m_header = header.title;
    m_light = header.light;
    layout->addLayout(header.row);

    auto box = [this](int id, const char* text) {
        auto* b = new QCheckBox(QString::fromUtf8(text), this);
        widgets::ids::setControlId(b, id);
        return b;
    };
    auto edit = [this](int id) {
        auto* e = new QLineEdit(this);
        widgets::ids::setControlId(e, id);
        return e;
    };
    auto arrows = [this](int id) {
        auto* a = new widgets::TArrowButtons(this);
        widgets::ids::setControlId(a, id);
        for (QToolButton* button : {a->upButton(), a->downButton()}) {
            button->installEventFilter(this);
        }
        connect(a, &widgets::TArrowButtons::stepped, this,
                [this, id](int delta) { step(id, delta > 0); });
        return a;
    };

    auto* modes = new QGridLayout;
    m_powerOn = box(ids::kPowerOn, "&Power On Function ");
    m_function = edit(ids::kFunction);
    m_functionArrows = arrows(ids::kFunctionArrows);
    modes->addWidget(m_powerOn, 0, 0);
    modes->addWidget(m_function, 0, 1);
    modes->addWidget(m_functionArrows, 0, 2);
    m_endSensors = box(ids::kEndSensors, "&Detection of end sensors");
    modes->addWidget(m_endSensors, 1, 0, 1, 3);
    m_reverse = box(ids::kReverse, "&Reverse Inputs");
    modes->addWidget(m_reverse, 2, 0, 1, 3);
    m_slidingBox = box(ids::kSlidingBox, "&Sliding Distance (steps)");
    m_sliding = edit(ids::kSliding);
    m_sliding->setValidator(
        new QRegularExpressionValidator(QRegularExpression(" *[0-9]{0,3}"), m_sliding));
    m_slidingArrows = arrows(ids::kSlidingArrows);
    modes->addWidget(m_slidingBox, 3, 0);
    modes->addWidget(m_sliding, 3, 1);
    modes->addWidget(m_slidingArrows, 3, 2);
    m_autoOutput = box(ids::kAutoOutput, "Automatic &Output:");
    modes->addWidget(m_autoOutput, 4, 0, 1, 3);
    layout->addLayout(modes);

    auto* group = new QGroupBox(this);
    auto* grid = new QGridLayout(group);
    auto radio = [group](int id, const char* text) {
        auto* r = new QRadioButton(QString::fromLatin1(text), group);
        widgets::ids::setControlId(r, id);
        return r;
    };
    auto* position = new QGroupBox(QStringLiteral("Position"), group);
    auto* positionRow = new QVBoxLayout(position);
    m_absolute = radio(ids::kAbsolute, "Absolute");
    m_relative = radio(ids::kRelative, "Relative");
    positionRow->addWidget(m_absolute);
    positionRow->addWidget(m_relative);
    auto* transition = new QGroupBox(QStringLiteral("Transition"), group);
    auto* transitionRow = new QVBoxLayout(transition);
    m_increase = radio(ids::kIncrease, "Increase");
    m_decrease = radio(ids::kDecrease, "Decrease");
    m_all = radio(ids::kAll, "All");
    for (QRadioButton* r : {m_increase, m_decrease, m_all}) {
        transitionRow->addWidget(r);
    }
    auto* positionGroup = new QButtonGroup(this);
    positionGroup->addButton(m_absolute);
    positionGroup->addButton(m_relative);
    auto* transitionGroup = new QButtonGroup(this);
    for (QRadioButton* r : {m_increase, m_decrease, m_all}) {
        transitionGroup->addButton(r);
    }
    auto* mode = new QGroupBox(QStringLiteral("Mode"), group);
    auto* modeRow = new QVBoxLayout(mode);
    m_onEach = new QCheckBox(QStringLiteral("On each"), mode);
    widgets::ids::setControlId(m_onEach, ids::kOnEach);
    m_stored = new QCheckBox(QStringLiteral("Stored"), mode);
    widgets::ids::setControlId(m_stored, ids::kStored);
    modeRow->addWidget(m_onEach);
    modeRow->addWidget(m_stored);
    grid->addWidget(position, 0, 0);
    grid->addWidget(transition, 0, 1);
    grid->addWidget(mode, 0, 2);

    auto* outputs = new QHBoxLayout;
    for (int n = kOutputs; n >= 1; --n) {
        auto* column = new QVBoxLayout;
        auto* name = new QLabel(QStringLiteral("S%1").arg(n), group);
        name->setAlignment(Qt::AlignCenter);
        auto* output = new QLabel(group);
        widgets::ids::setControlId(output, ids::kOutputS8 + (kOutputs - n));
        output->setAlignment(Qt::AlignCenter);
        output->setFixedWidth(kOutputWidth);
        output->installEventFilter(this);
        column->addWidget(name);
        column->addWidget(output);
        outputs->addLayout(column);
        m_outputs[static_cast<std::size_t>(n - 1)] = output;
    }
    grid->addLayout(outputs, 1, 0, 1, 3);
    auto* positions = new QHBoxLayout;
    auto positionEdit = [group](int id) {
        auto* e = new QLineEdit(group);
        widgets::ids::setControlId(e, id);
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(" *-?[0-9]{0,9}"), e));
        return e;
    };
    m_setPosition = positionEdit(ids::kSetPosition);
    m_setArrows = arrows(ids::kSetArrows);
    m_setArrows->setParent(group);
    m_resetPosition = positionEdit(ids::kResetPosition);
    m_resetArrows = arrows(ids::kResetArrows);
    m_resetArrows->setParent(group);
    positions->addWidget(new QLabel(QStringLiteral("Set"), group));
    positions->addWidget(m_setPosition);
    positions->addWidget(m_setArrows);
    positions->addWidget(new QLabel(QStringLiteral("Reset"), group));
    positions->addWidget(m_resetPosition);
    positions->addWidget(m_resetArrows);
    grid->addLayout(positions, 2, 0, 1, 3);
    layout->addWidget(group);

    auto* buttons = new QHBoxLayout;
    for (const auto& [id, text] :
         {std::pair{ids::kRestore, "Restore"}, std::pair{ids::kSetDefault, "Set Default"}}) {
        auto* unused = new QPushButton(QString::fromLatin1(text), this);
        widgets::ids::setControlId(unused, id);
        unused->setEnabled(false);
        unused->hide();
        buttons->addWidget(unused);
    }
    buttons->addWidget(makeHelpButton());
    buttons->addStretch(1);
    m_apply = new QPushButton(QStringLiteral("&Apply"), this);
    widgets::ids::setControlId(m_apply, ids::kApply);
    m_apply->setAutoDefault(false);
    m_apply->setEnabled(false);
    buttons->addWidget(m_apply);
    layout->addLayout(buttons);

    connect(m_apply, &QPushButton::clicked, this, &TSpecificModesWindow::apply);
    connect(m_powerOn, &QCheckBox::clicked, this,
            [this](bool checked) { showFunction(checked, kFunctionOnCheck); });
    connect(m_slidingBox, &QCheckBox::clicked, this,
            [this] { showSliding(true, kSlidingOnCheck); });
    connect(m_autoOutput, &QCheckBox::clicked, this,
            [this](bool checked) { showAutoOutput(checked, kSwitchedOnSettings, 0, 0); });
}

int TSpecificModesWindow::lightState() const {
    return m_light->state();
}

void TSpecificModesWindow::errorData(contract::TagErrorData& out) {
    TModuleWindowBase::errorData(out);
    std::snprintf(out.title, sizeof out.title, "%s", m_header->text().toLatin1().constData());
}

// ---- reads ------------------------------------------------------------------------------

void TSpecificModesWindow::refresh(bool newTitle) {
    if (newTitle) {
        char title[contract::kTextSize] = {};
        if (m_appSink != nullptr) {
            m_appSink->request(req::kModuleTitle, static_cast<std::uint16_t>(address()), title);
        }
        m_header->setText(QString::fromLatin1(title));
    }
    contract::TagCatalogueQuery query;
    query.operation = contract::catop::kStrategy;
    query.value = typeCode();
    query.argument = kStrategySpecificModes;
    request(req::kCatalogue, &query);
    // The capabilities go into the record before the reads are queued: the poll thread
    // writes into it from then on.
    clearRecord(m_record, static_cast<std::uint32_t>(query.value));
    m_apply->setEnabled(false);
    m_request.address = address();
    m_request.typeCode = typeCode();
    m_request.kind = contract::kKindSpecificGroup;
    m_request.status = 0;
    m_light->setState(kLightPending);
    m_reportArmed = true;
    m_failed = false;
    m_arrived = m_record;
    showOff();
    if (m_polls != nullptr) {
        contract::TagPollEntry entry;
        entry.kind = contract::kKindSpecificGroup;
        entry.mode = contract::kPollOnce;
        entry.request = &m_request;
        m_polls->add(entry);
    }
}

void TSpecificModesWindow::shellCommand(int id) {
    if (id == kCommandRefresh) {
        refresh(true);
    }
}

void TSpecificModesWindow::pollCompleted(int first, int kind) {
    if (first != req::kPollNotification || !isModeKind(kind)) {
        return;
    }
    ++m_completions;
    if (m_request.status != 0) {
        m_failed = true;
        showUnsupported();
        m_apply->setEnabled(false);
        if (m_reportArmed) {
            m_reportArmed = false;
            m_light->setState(kLightError);
            reportFailure(contract::kFailedRead, kind, m_request.status);
        }
        return;
    }
    if (m_failed || m_record.dataValid == 0) {
        return;
    }
    // The poll thread waits while this runs: the copy is whole, the next read writes later.
    m_arrived = m_record;
    m_arrivedCompletion = m_completions;
    QTimer::singleShot(0, this, &TSpecificModesWindow::showData);
}

// ---- display ----------------------------------------------------------------------------

void TSpecificModesWindow::showOff() {
    const contract::TagSpecificMode& r = m_arrived;
    m_powerOn->setEnabled(r.powerOnSupported != 0);
    showFunction(false, 0);
    m_endSensors->setEnabled(r.endSensorsSupported != 0);
    m_endSensors->setChecked(false);
    m_reverse->setEnabled(r.reverseSupported != 0);
    m_reverse->setChecked(false);
    m_slidingBox->setEnabled(r.slidingSupported != 0);
    m_slidingBox->setChecked(false);
    m_sliding->setVisible(false);
    m_slidingArrows->setVisible(false);
    m_autoOutput->setEnabled(r.autoOutputSupported != 0);
    showAutoOutput(false, kClearedSettings, 0, 0);
}

void TSpecificModesWindow::showUnsupported() {
    for (QCheckBox* b : {m_powerOn, m_endSensors, m_reverse, m_slidingBox, m_autoOutput}) {
        b->setChecked(false);
        b->setEnabled(false);
    }
    showFunction(false, 0);
    m_sliding->setVisible(false);
    m_slidingArrows->setVisible(false);
    showAutoOutput(false, kClearedSettings, 0, 0);
}

void TSpecificModesWindow::showData() {
    if (m_failed) {
        return;
    }
    ++m_showings;
    m_shownCompletion = m_arrivedCompletion;
    const contract::TagSpecificMode& r = m_arrived;
    m_light->setState(kLightValid);
    m_apply->setEnabled(true);

    m_powerOn->setEnabled(r.powerOnSupported != 0);
    showFunction(r.powerOnSupported != 0 && r.powerOnFunction != 0, r.powerOnFunction);
    m_endSensors->setEnabled(r.endSensorsSupported != 0);
    m_endSensors->setChecked(r.endSensorsSupported != 0 && r.endSensors != 0);
    m_reverse->setEnabled(r.reverseSupported != 0);
    m_reverse->setChecked(r.reverseSupported != 0 && r.reverseInputs != 0);
    m_slidingBox->setEnabled(r.slidingSupported != 0);
    if (r.slidingSupported != 0) {
        showSliding(true, r.slidingDistance);
    } else {
        m_slidingBox->setChecked(false);
        m_sliding->setVisible(false);
        m_slidingArrows->setVisible(false);
    }
    m_autoOutput->setEnabled(r.autoOutputSupported != 0);
    const bool on = r.autoOutputSupported != 0 && r.autoOutput != 0;
    if (on) {
        QByteArray trace = QByteArray::fromStdString(traceText(r));
        request(req::kTrace, trace.data());
    }
    showAutoOutput(on, static_cast<std::uint32_t>(r.autoOutputSettings), r.setPosition,
                   r.resetPosition);
}

void TSpecificModesWindow::showFunction(bool on, std::int32_t number) {
    m_powerOn->setChecked(on);
    m_function->setVisible(on);
    m_functionArrows->setVisible(on);
    if (on) {
        m_function->setText(QString::fromStdString(functionText(number)));
    }
}

void TSpecificModesWindow::showSliding(bool on, std::int32_t distance) {
    m_slidingBox->setChecked(on);
    m_sliding->setVisible(on);
    m_slidingArrows->setVisible(on);
    if (on) {
        m_sliding->setText(QString::fromStdString(slidingText(distance)));
    }
}

void TSpecificModesWindow::showAutoOutput(bool on, std::uint32_t settings, std::int32_t set,
                                          std::int32_t reset) {
    m_autoOutput->setChecked(on);
    const std::array<QWidget*, 11> group = {
        m_absolute, m_relative,    m_increase,      m_decrease,  m_all,        m_onEach,
        m_stored,   m_setPosition, m_resetPosition, m_setArrows, m_resetArrows};
    for (QWidget* w : group) {
        w->setEnabled(on);
    }
    for (QLabel* output : m_outputs) {
        output->setEnabled(on);
    }
    if (!on) {
        m_absolute->setChecked(true);
        m_increase->setChecked(true);
        m_onEach->setChecked(false);
        m_stored->setChecked(false);
        for (int i = 0; i < kOutputs; ++i) {
            setOutput(i, OutputState::Off);
        }
        m_setPosition->setText(QStringLiteral("0"));
        m_resetPosition->setText(QStringLiteral("0"));
        if (!m_autoOutput->isEnabled()) {
            // A module without automatic outputs shows the group blank.
            for (QLabel* output : m_outputs) {
                output->clear();
                output->setStyleSheet(outputStyle(output));
            }
            m_setPosition->clear();
            m_resetPosition->clear();
        }
        return;
    }
    const TAutoOutputView view = autoOutputView(settings);
    (view.absolute ? m_absolute : m_relative)->setChecked(true);
    switch (view.transition) {
    case Transition::Increase:
        m_increase->setChecked(true);
        break;
    case Transition::Decrease:
        m_decrease->setChecked(true);
        break;
    default:
        m_all->setChecked(true);
        break;
    }
    m_onEach->setChecked(view.onEach);
    m_stored->setChecked(view.stored);
    for (int i = 0; i < kOutputs; ++i) {
        setOutput(i, view.outputs[static_cast<std::size_t>(i)]);
    }
    m_setPosition->setText(QString::number(set));
    m_setPosition->end(false);
    m_resetPosition->setText(QString::number(reset));
    m_resetPosition->end(false);
}

void TSpecificModesWindow::setOutput(int index, OutputState state) {
    QLabel* output = m_outputs[static_cast<std::size_t>(index)];
    output->setText(QString::fromLatin1(outputText(state)));
    output->setStyleSheet(outputStyle(output));
}

// ---- edits ------------------------------------------------------------------------------

bool TSpecificModesWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (qobject_cast<QToolButton*>(watched) != nullptr) {
            m_largeStep = (mouse->buttons() & Qt::RightButton) != 0;
        } else if (type == QEvent::MouseButtonPress && watched == m_header) {
            refresh(false);
            return true;
        } else if (type == QEvent::MouseButtonPress) {
            for (int i = 0; i < kOutputs; ++i) {
                QLabel* output = m_outputs[static_cast<std::size_t>(i)];
                if (watched == output && output->isEnabled()) {
                    setOutput(i, nextOutputState(outputStateOf(output->text().toStdString())));
                    return true;
                }
            }
        }
    }
    return TModuleWindowBase::eventFilter(watched, event);
}

void TSpecificModesWindow::step(int arrowsId, bool up) {
    const bool large = m_largeStep;
    m_largeStep = false;
    switch (arrowsId) {
    case ids::kFunctionArrows:
        m_function->setText(QString::fromStdString(
            functionText(stepFunction(functionOf(m_function->text().toStdString()), up))));
        break;
    case ids::kSlidingArrows:
        m_sliding->setText(
            QString::fromStdString(slidingText(stepSliding(numberIn(m_sliding), up))));
        break;
    case ids::kSetArrows:
        m_setPosition->setText(QString::number(stepPosition(numberIn(m_setPosition), up, large)));
        break;
    case ids::kResetArrows:
        m_resetPosition->setText(
            QString::number(stepPosition(numberIn(m_resetPosition), up, large)));
        break;
    default:
        break;
    }
}

// ---- write ------------------------------------------------------------------------------

void TSpecificModesWindow::apply() {
    TModesInput in;
    in.powerOn = m_powerOn->isChecked();
    in.function =
        std::clamp(functionOf(m_function->text().toStdString()), kFunctionMin, kFunctionMax);
    in.endSensors = m_endSensors->isChecked();
    in.reverse = m_reverse->isChecked();
    in.sliding = m_slidingBox->isChecked();
    in.distance = std::clamp(numberIn(m_sliding), kSlidingMin, kSlidingMax);
    in.autoOutput = m_autoOutput->isChecked();
    in.outputs.absolute = m_absolute->isChecked();
    in.outputs.transition = m_all->isChecked()        ? Transition::All
                            : m_increase->isChecked() ? Transition::Increase
                                                      : Transition::Decrease;
    in.outputs.onEach = m_onEach->isChecked();
    in.outputs.stored = m_stored->isChecked();
    for (int i = 0; i < kOutputs; ++i) {
        in.outputs.outputs[static_cast<std::size_t>(i)] =
            outputStateOf(m_outputs[static_cast<std::size_t>(i)]->text().toStdString());
    }
    in.setPosition = numberIn(m_setPosition);
    in.resetPosition = numberIn(m_resetPosition);
    fillRecord(in, m_record);
    m_request.kind = contract::kKindSpecificGroup;
    m_request.address = address();
    m_request.typeCode = typeCode();
    m_request.status = 0;
    request(req::kWriteRequest, &m_request);
    if (m_request.status != 0) {
        reportFailure(contract::kFailedWrite, contract::kKindSpecificGroup, m_request.status);
        return;
    }
    request(req::kSpecificParamNotice, nullptr);
}

} // namespace tamsel::windows::specific_modes
