#include "parameters_window.h"

#include <arrow_buttons.h>
#include <module_header.h>
#include <status_light.h>
#include <widget_ids.h>

#include <contract/error_data.h>
#include <contract/request_codes.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstdio>

namespace tamsel::windows::parameters {

namespace {

namespace req = contract::req;

// The shell's update order, broadcast to its module windows.
constexpr int kCommandUpdate = 0x2006;
constexpr int kHeaderPixels = 20;
constexpr int kReadLength = 20;
constexpr const char* kUpdateText = "Param : IDV_UPDATE";
constexpr std::array<const char*, 4> kIndicatorLabels = {"End Sensors", "Reverse Inputs",
                                                         "Automatic Outputs", "Start Sequence"};

QColor colourValue(FieldColour colour) {
    switch (colour) {
    case FieldColour::Red:
        return {255, 0, 0};
    case FieldColour::Magenta:
        return {255, 0, 255};
    case FieldColour::Cyan:
        return {0, 255, 255};
    default:
        return {};
    }
}

Edited editedBy(Field field) {
    switch (field) {
    case kStart:
        return Edited::StartSpeed;
    case kMax:
        return Edited::MaxSpeed;
    default:
        return Edited::Time;
    }
}

} // namespace

TParametersWindow::TParametersWindow(const TWindowSetup& setup, TShowBox showBox, QWidget* parent)
    : TModuleWindowBase(setup, kDialogId, kHelpContext, parent), m_showBox(std::move(showBox)) {
    setWindowTitle(QStringLiteral("Parameters"));
    m_request.kind = contract::kKindParameters;
    m_request.data = &m_block;
    m_request.dialogId = kDialogId;
    if (setup.app != nullptr) {
        m_polls = std::make_unique<TPollSubscription>(
            *setup.app, handle(), std::vector<contract::TagPollEntry>{}, contract::kPollOnce);
    }
    m_appSink = setup.app;
    build();
    watchPolls(m_polls.get());
    refresh(false);
}

TParametersWindow::~TParametersWindow() {
    watchPolls(nullptr);
    // The entries go before the records do.
    m_polls.reset();
}

void TParametersWindow::build() {
    auto* layout = new QVBoxLayout(this);
    const widgets::TModuleHeader header =
        widgets::makeModuleHeader(this, ids::kHeader, ids::kLight, kHeaderPixels);
    m_header = header.title;
    m_light = header.light;
    layout->addLayout(header.row);

    auto* motion = new QGroupBox(this);
    m_motionGroup = motion;
    auto* grid = new QGridLayout(motion);
    m_resolutionField = addField(ids::kResolution, ids::kResolutionArrows, 0, "Step/Full step");
    m_fields[kStart] = addField(ids::kStartSpeed, ids::kStartArrows, 1, "(Full step/s)");
    m_fields[kMax] = addField(ids::kMaxSpeed, ids::kMaxArrows, 2, "");
    m_fields[kRamp] = addField(ids::kRampTime, ids::kRampArrows, 3, "Time  (ms)");
    m_fields[kDecel] = addField(ids::kDecelTime, ids::kDecelArrows, 4, "");
    grid->addWidget(new QLabel(tr("Resolution"), motion), 0, 0);
    grid->addWidget(new QLabel(tr("Start speed"), motion), 1, 0);
    grid->addWidget(new QLabel(tr("Maximum speed"), motion), 2, 0);
    m_rampLabel = new QLabel(QStringLiteral("Ramping"), motion);
    widgets::ids::setControlId(m_rampLabel, ids::kRampLabel);
    grid->addWidget(m_rampLabel, 3, 0);
    m_dec = new QCheckBox(QStringLiteral("Dec."), motion);
    widgets::ids::setControlId(m_dec, ids::kDec);
    grid->addWidget(m_dec, 4, 0);
    m_currentField = addField(ids::kCurrent, ids::kCurrentArrows, 5, "% I nominal");
    grid->addWidget(new QLabel(tr("Current"), motion), 5, 0);
    m_amps = new QLabel(QStringLiteral("= 00.0 Amps"), motion);
    widgets::ids::setControlId(m_amps, ids::kAmps);
    grid->addWidget(m_amps, 5, 4);
    grid->addWidget(new QLabel(QStringLiteral("range:"), motion), 6, 0);
    m_standby = new QComboBox(motion);
    widgets::ids::setControlId(m_standby, ids::kStandby);
    grid->addWidget(m_standby, 6, 1, 1, 4);
    layout->addWidget(motion);

    auto* modes = new QGroupBox(tr("Specific modes"), this);
    auto* modeGrid = new QGridLayout(modes);
    for (int bit = 0; bit < 4; ++bit) {
        auto* lamp = new QLabel(modes);
        widgets::ids::setControlId(lamp, ids::kFirstLamp + bit);
        lamp->setFixedSize(14, 14);
        lamp->installEventFilter(this);
        auto* label = new QLabel(QString::fromLatin1(kIndicatorLabels[bit]), modes);
        widgets::ids::setControlId(label, ids::kFirstLabel + bit);
        label->installEventFilter(this);
        modeGrid->addWidget(lamp, bit / 2, (bit % 2) * 2);
        modeGrid->addWidget(label, bit / 2, (bit % 2) * 2 + 1);
        m_lamps[static_cast<std::size_t>(bit)] = lamp;
        m_labels[static_cast<std::size_t>(bit)] = label;
    }
    layout->addWidget(modes);

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
    m_apply = new QPushButton(QStringLiteral("Apply"), this);
    widgets::ids::setControlId(m_apply, ids::kApply);
    m_apply->setAutoDefault(false);
    m_apply->setEnabled(false);
    buttons->addWidget(m_apply);
    layout->addLayout(buttons);

    connect(m_apply, &QPushButton::clicked, this, &TParametersWindow::apply);
    connect(m_dec, &QCheckBox::clicked, this,
            [this](bool checked) { setRampMode(rampModeOfDecClick(checked)); });
    for (int f = 0; f < kCheckedFields; ++f) {
        const auto field = static_cast<Field>(f);
        connect(m_fields[field], &QLineEdit::textEdited, this, [this, field] { typed(field); });
        connect(m_fields[field], &QLineEdit::editingFinished, this, [this, field] { left(field); });
    }
    connect(m_resolutionField, &QLineEdit::editingFinished, this, [this] {
        write(m_resolutionField, resolutionLeft(read(m_resolutionField), m_resolution));
    });
    connect(m_currentField, &QLineEdit::textEdited, this, &TParametersWindow::refreshAmps);
    connect(m_currentField, &QLineEdit::editingFinished, this, [this] {
        write(m_currentField, std::clamp(read(m_currentField), 0, kPercentMax));
        refreshAmps();
    });
    paintAll();
}

QLineEdit* TParametersWindow::addField(int id, int arrowsId, int row, const QString& caption) {
    QWidget* group = m_motionGroup;
    auto* grid = static_cast<QGridLayout*>(group->layout());
    auto* field = new QLineEdit(group);
    widgets::ids::setControlId(field, id);
    field->setMaxLength(kReadLength);
    // Digits only: a number is all these fields ever hold.
    field->setValidator(new QRegularExpressionValidator(QRegularExpression(" *[0-9]{0,9}"), field));
    auto* arrows = new widgets::TArrowButtons(group);
    widgets::ids::setControlId(arrows, arrowsId);
    for (QToolButton* button : {arrows->upButton(), arrows->downButton()}) {
        button->installEventFilter(this);
    }
    connect(arrows, &widgets::TArrowButtons::stepped, this,
            [this, id](int delta) { arrow(id, delta > 0); });
    grid->addWidget(field, row, 1);
    grid->addWidget(arrows, row, 2);
    if (!caption.isEmpty()) {
        grid->addWidget(new QLabel(caption, group), row, 3);
    }
    if (id == ids::kResolution) {
        m_resolutionArrows = arrows;
    } else if (id == ids::kCurrent) {
        m_currentArrows = arrows;
    } else if (id == ids::kDecelTime) {
        m_decelArrows = arrows;
    }
    return field;
}

int TParametersWindow::lightState() const {
    return m_light->state();
}

void TParametersWindow::errorData(contract::TagErrorData& out) {
    TModuleWindowBase::errorData(out);
    std::snprintf(out.title, sizeof out.title, "%s", m_header->text().toLatin1().constData());
}

// ---- reads ------------------------------------------------------------------------------

void TParametersWindow::refresh(bool fromShell) {
    if (fromShell) {
        QByteArray text(kUpdateText);
        request(req::kDiagnostic, text.data());
    }
    if (fromShell || m_header->text().isEmpty()) {
        char title[contract::kTextSize] = {};
        if (m_appSink != nullptr) {
            m_appSink->request(req::kModuleTitle, static_cast<std::uint16_t>(address()), title);
        }
        m_header->setText(QString::fromLatin1(title));
    }
    m_request.address = address();
    m_request.typeCode = typeCode();
    m_light->setState(kLightPending);
    if (m_polls != nullptr) {
        contract::TagPollEntry entry;
        entry.kind = contract::kKindParameters;
        entry.mode = contract::kPollOnce;
        entry.request = &m_request;
        m_polls->add(entry);
    }
    m_configurePending = true;
    configure();
}

std::int32_t TParametersWindow::strategy(std::int32_t which) {
    contract::TagCatalogueQuery query;
    query.operation = contract::catop::kStrategy;
    query.value = typeCode();
    query.argument = which;
    request(req::kCatalogue, &query);
    return query.value;
}

void TParametersWindow::configure() {
    if (!m_configurePending) {
        return;
    }
    m_configurePending = false;
    m_resolution = resolutionSetup(strategy(kStrategyResolution));
    const bool resolutionArrows = m_resolution.step != ResolutionStep::Fixed;
    m_resolutionArrows->setEnabled(resolutionArrows);
    write(m_resolutionField, m_resolution.range.low);

    m_current = currentSetup(strategy(kStrategyCurrent));
    write(m_currentField, m_current.initialPercent);
    m_currentArrows->setEnabled(m_current.percentArrows);
    m_currentField->setReadOnly(!m_current.percentArrows);
    m_amps->setVisible(m_current.display != AmpsDisplay::None);
    m_standby->clear();
    for (const std::string& entry : m_current.standby) {
        m_standby->addItem(QString::fromStdString(entry));
    }
    m_standby->setCurrentIndex(m_standby->count() > 0 ? 0 : -1);
    m_standby->setEnabled(m_current.standbyEnabled);
    m_standby->setVisible(m_current.standbyVisible);
    refreshAmps();

    m_indicatorMask = strategy(kStrategyIndicators);
    m_rampKind = strategy(kStrategyRamp);
    drawIndicators();
    setRampMode(m_rampMode);
}

void TParametersWindow::pollCompleted(int first, int kind) {
    if (first != req::kPollNotification || kind != contract::kKindParameters) {
        return;
    }
    ++m_completions;
    if (m_request.status != 0) {
        m_light->setState(kLightError);
        reportFailure(contract::kFailedRead, kind, m_request.status);
        return;
    }
    // Copied while the poll thread waits, shown at the next idle pass: a read queued
    // meanwhile may already be writing the block again.
    m_arrived = m_block;
    QTimer::singleShot(0, this, &TParametersWindow::showData);
}

void TParametersWindow::showData() {
    write(m_resolutionField, m_arrived.resolution);
    write(m_fields[kStart], m_arrived.startSpeed);
    write(m_fields[kMax], m_arrived.maxSpeed);
    write(m_fields[kRamp], m_arrived.rampTime);
    write(m_fields[kDecel], m_arrived.decelTime);
    write(m_currentField, percentOfCode(m_arrived.currentCode));
    m_current.factor = m_arrived.currentFactor;
    m_indicatorBits = m_arrived.indicators;
    refreshAmps();
    setRampMode(rampModeOf(m_rampKind, m_arrived.separateDecel, m_rampMode));
    if (m_standby->count() > 0) {
        m_standby->setCurrentIndex(std::clamp(m_arrived.standbyMode, 0, m_standby->count() - 1));
    }
    drawIndicators();
    // The full computation follows the copy in the same pass: nothing can change the
    // resolution in between. A resolution changed later computes nothing by itself.
    m_ranges.reset();
    computeRanges(Edited::All, kCallFull);
    paintAll();
    // Valid once the ranges of the new values are known.
    m_light->setState(kLightValid);
}

void TParametersWindow::shellCommand(int id) {
    if (id == kCommandUpdate) {
        refresh(true);
    }
}

// ---- display ----------------------------------------------------------------------------

void TParametersWindow::setRampMode(int mode) {
    const bool changed = mode != m_rampMode;
    m_rampMode = mode;
    const TRampView view = rampView(mode);
    m_dec->setEnabled(view.decEnabled);
    m_dec->setChecked(view.decChecked);
    m_fields[kDecel]->setEnabled(view.decelFieldEnabled);
    m_decelArrows->setEnabled(view.decelFieldEnabled);
    m_rampLabel->setText(QString::fromLatin1(view.label));
    if (!view.decelFieldEnabled) {
        write(m_fields[kDecel], read(m_fields[kRamp]));
    }
    if (changed) {
        QByteArray text = QByteArray::fromStdString(rampModeText(mode));
        request(req::kDiagnostic, text.data());
    }
    paintAll();
}

void TParametersWindow::drawIndicators() {
    for (int bit = 0; bit < 4; ++bit) {
        const TIndicatorView view = indicatorView(bit, m_indicatorMask, m_indicatorBits);
        QLabel* lamp = m_lamps[static_cast<std::size_t>(bit)];
        m_labels[static_cast<std::size_t>(bit)]->setEnabled(view.supported);
        lamp->setVisible(view.supported);
        lamp->setProperty(kBitmapProperty, view.bitmap);
        lamp->setStyleSheet(view.active
                                ? QStringLiteral("background: rgb(0,200,0); border-radius: 7px;")
                                : QStringLiteral("background: rgb(90,90,90); border-radius: 7px;"));
    }
}

void TParametersWindow::refreshAmps() {
    switch (m_current.display) {
    case AmpsDisplay::External:
        m_amps->setText(QStringLiteral("EXTERNAL"));
        break;
    case AmpsDisplay::Amperes:
        m_amps->setText(QString::fromStdString(ampsText(read(m_currentField), m_current.factor)));
        break;
    default:
        break;
    }
}

// ---- edits ------------------------------------------------------------------------------

bool TParametersWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (qobject_cast<QToolButton*>(watched) != nullptr) {
            // The secondary button held, or Shift, makes an arrow click a step of 100.
            m_largeStep = (mouse->modifiers() & Qt::ShiftModifier) != 0 ||
                          (mouse->buttons() & Qt::RightButton) != 0;
        } else if (type == QEvent::MouseButtonPress && watched == m_header) {
            refresh(false);
            return true;
        } else if (type == QEvent::MouseButtonPress) {
            for (int bit = 0; bit < 4; ++bit) {
                if (watched == m_lamps[static_cast<std::size_t>(bit)] ||
                    watched == m_labels[static_cast<std::size_t>(bit)]) {
                    QByteArray number =
                        QByteArray::number(kIndicatorNumbers[static_cast<std::size_t>(bit)]);
                    request(req::kOpenSpecificMode, number.data());
                    return true;
                }
            }
        }
    }
    return TModuleWindowBase::eventFilter(watched, event);
}

void TParametersWindow::arrow(int fieldId, bool up) {
    const bool large = m_largeStep || (QApplication::keyboardModifiers() & Qt::ShiftModifier) != 0;
    m_largeStep = false;
    if (fieldId == ids::kResolution) {
        m_resolutionField->setFocus();
        write(m_resolutionField, stepResolution(read(m_resolutionField), up, m_resolution));
        return;
    }
    if (fieldId == ids::kCurrent) {
        m_currentField->setFocus();
        write(m_currentField, stepPercent(read(m_currentField), up));
        refreshAmps();
        return;
    }
    static constexpr std::pair<int, Field> kArrowFields[] = {{ids::kStartSpeed, kStart},
                                                             {ids::kMaxSpeed, kMax},
                                                             {ids::kRampTime, kRamp},
                                                             {ids::kDecelTime, kDecel}};
    static constexpr int kCodes[] = {kCallArrowStart, kCallArrowMax, kCallArrowRamp,
                                     kCallArrowDecel};
    for (const auto& [id, field] : kArrowFields) {
        if (id != fieldId) {
            continue;
        }
        QLineEdit* edit = fieldOf(field);
        edit->setFocus();
        write(edit, stepChecked(read(edit), up, large, field));
        if (field == kRamp && !m_fields[kDecel]->isEnabled()) {
            write(m_fields[kDecel], read(edit));
        }
        computeRanges(editedBy(field), kCodes[field]);
        paintAll();
        return;
    }
}

void TParametersWindow::typed(Field field) {
    if (field == kRamp && !m_fields[kDecel]->isEnabled()) {
        write(m_fields[kDecel], read(m_fields[kRamp]));
    }
    paint(field);
    if (read(fieldOf(field)) != 0) {
        static constexpr int kCodes[] = {kCallTypedStart, kCallTypedMax, kCallTypedTime,
                                         kCallTypedTime};
        computeRanges(editedBy(field), kCodes[field]);
        switch (field) {
        case kStart:
            paint(kMax);
            paint(kRamp);
            break;
        case kMax:
            paint(kStart);
            paint(kRamp);
            break;
        default:
            paint(kStart);
            paint(kMax);
            break;
        }
    }
    renewApply();
}

void TParametersWindow::left(Field field) {
    QLineEdit* edit = fieldOf(field);
    if (!edit->isEnabled()) {
        return;
    }
    write(edit, clampToHard(read(edit), field));
    if (field == kRamp && !m_fields[kDecel]->isEnabled()) {
        write(m_fields[kDecel], read(edit));
    }
    paintAll();
}

void TParametersWindow::computeRanges(Edited edited, int callCode) {
    TRangeInputs in;
    in.resolution = read(m_resolutionField);
    in.startSpeed = read(m_fields[kStart]);
    in.maxSpeed = read(m_fields[kMax]);
    in.rampTime = read(m_fields[kRamp]);
    in.decelTime = read(m_fields[kDecel]);
    if (m_ranges.compute(edited, in, m_resolution.rule) && m_showBox) {
        m_showBox(QString::fromStdString(divisionByZeroText(edited, callCode)),
                  QString::fromLatin1(kDivisionByZeroCaption));
    }
}

void TParametersWindow::paint(Field field) {
    QLineEdit* edit = fieldOf(field);
    m_valid[field] = false;
    FieldColour colour = FieldColour::Normal;
    if (field != kDecel || edit->isEnabled()) {
        colour = colourOf(read(edit), field, m_ranges.valid(field));
    }
    m_valid[field] = colour == FieldColour::Normal;
    QPalette palette = this->palette();
    if (colour != FieldColour::Normal) {
        palette.setColor(QPalette::Base, colourValue(colour));
    }
    edit->setPalette(palette);
}

void TParametersWindow::paintAll() {
    for (int f = 0; f < kCheckedFields; ++f) {
        paint(static_cast<Field>(f));
    }
    renewApply();
}

void TParametersWindow::renewApply() {
    m_apply->setEnabled(applyEnabled(m_valid, m_fields[kDecel]->isEnabled()));
}

// ---- write ------------------------------------------------------------------------------

void TParametersWindow::apply() {
    paintAll();
    if (!m_apply->isEnabled()) {
        return;
    }
    m_block.resolution = read(m_resolutionField);
    m_block.startSpeed = read(m_fields[kStart]);
    m_block.maxSpeed = read(m_fields[kMax]);
    m_block.rampTime = read(m_fields[kRamp]);
    m_block.decelTime = read(m_fields[kDecel]);
    m_block.currentCode = codeOfPercent(read(m_currentField));
    m_block.standbyMode = std::max(0, m_standby->currentIndex());
    m_block.separateDecel = m_dec->isChecked() ? 1 : 0;
    m_request.kind = contract::kKindParameters;
    m_request.address = address();
    m_request.typeCode = typeCode();
    m_request.status = 0;
    request(req::kWriteRequest, &m_request);
    if (m_request.status != 0) {
        reportFailure(contract::kFailedWrite, contract::kKindParameters, m_request.status);
    }
}

QLineEdit* TParametersWindow::fieldOf(Field field) const {
    return m_fields[field];
}

std::int32_t TParametersWindow::read(const QLineEdit* field) const {
    int value = 0;
    const QByteArray text = field->text().left(kReadLength).toLatin1();
    return std::sscanf(text.constData(), "%d", &value) == 1 ? value : 0;
}

void TParametersWindow::write(QLineEdit* field, std::int32_t value) {
    field->setText(QString::fromStdString(fieldText(value)));
}

} // namespace tamsel::windows::parameters
