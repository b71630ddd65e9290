#include "monitor_v17_window.h"

#include <display_digits.h>
#include <input_dialog.h>
#include <radix_text.h>
#include <static_suivi.h>
#include <status_light.h>
#include <widget_ids.h>

#include <contract/request_codes.h>
#include <contract/window_records.h>

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace tamsel::windows::monitoring {

namespace {

namespace req = contract::req;
using widgets::ids::setControlId;

constexpr int kDisplayWidth = 11;
constexpr int kDisplayHeight = 32;
constexpr int kStatusBits = 32;
constexpr const char* kPowerTemplate = "2 4500";
constexpr const char* kErrorTemplate = "2 4700";
constexpr const char* kRefreshNote = "[svm17];  fn_changed";
constexpr const char* kValueCaption = "Tamsel2 : Variable setting ";
constexpr const char* kNewLabelCaption = "New input label";
constexpr const char* kNewLabelPrompt = "new label :(no #)";
constexpr int kErrorLightOn = 1;

widgets::TKVDisplayDigits* addDisplay(QWidget* parent, int id) {
    auto* d = new widgets::TKVDisplayDigits(kDisplayWidth, parent);
    setControlId(d, id);
    d->setFixedHeight(kDisplayHeight);
    return d;
}

/// A variable display with no variable chosen shows nothing: the function view of 0.
void blank(widgets::TKVDisplayDigits* display) {
    display->setViewMode(widgets::viewmode::kFunction);
    display->setValue(0, false);
}

} // namespace

TDial_SUIVV17::TDial_SUIVV17(const TWindowSetup& setup, QWidget* parent)
    : TModuleWindowBase(setup, kV17DialogId, kV17HelpContext, parent), m_app(setup.app) {
    contract::TagDialogGeometry geometry;
    geometry.dialogId = kV17DialogId;
    geometry.window = this;
    request(req::kDialogGeometry, &geometry);
    build();
    if (geometry.dialog.isValid()) {
        resize(geometry.dialog.size());
    }
    identify();
    fillVariables();
    m_write.kind = contract::kKindVariableWrite;
    m_write.data = &m_variable;
    m_write.address = address();
    m_write.typeCode = typeCode();
    m_write.dialogId = kV17DialogId;
    startPolling();
    m_errorLight->setState(kErrorLightOn);
}

TDial_SUIVV17::~TDial_SUIVV17() {
    watchPolls(nullptr);
    // The entries go before the records do.
    m_polls.reset();
}

void TDial_SUIVV17::build() {
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    m_position = addDisplay(this, v17ids::kPosition);
    m_execute = addDisplay(this, v17ids::kExecute);
    m_execute->setViewMode(widgets::viewmode::kFunction);
    grid->addWidget(new QLabel(tr("Position"), this), 0, 0);
    grid->addWidget(m_position, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Execute"), this), 1, 0);
    grid->addWidget(m_execute, 1, 1);
    for (int i = 0; i < kVariables; ++i) {
        const auto at = static_cast<std::size_t>(i);
        m_names[at] = new QComboBox(this);
        setControlId(m_names[at], i == 0 ? v17ids::kName1 : v17ids::kName2);
        m_values[at] = addDisplay(this, i == 0 ? v17ids::kValue1 : v17ids::kValue2);
        blank(m_values[at]);
        grid->addWidget(m_names[at], 2 + i, 0);
        grid->addWidget(m_values[at], 2 + i, 1);
        connect(m_names[at], &QComboBox::activated, this,
                [this, i](int index) { nameChosen(i, index); });
        connect(m_values[at], &widgets::TKVDisplayDigits::rightClicked, this,
                [this, i](const QPoint& point) { viewMenu(i, point); });
    }
    layout->addLayout(grid);

    auto* lamps = new QGridLayout;
    m_statusWord = new widgets::TKVStaticSuivi(kStatusBits, false, this);
    setControlId(m_statusWord, v17ids::kStatusWord);
    m_inputs = new widgets::TKVStaticSuivi(kLampCount, false, this);
    setControlId(m_inputs, v17ids::kInputs);
    m_outputs = new widgets::TKVStaticSuivi(kLampCount, true, this);
    setControlId(m_outputs, v17ids::kOutputs);
    lamps->addWidget(new QLabel(tr("Status"), this), 0, 0);
    lamps->addWidget(m_statusWord, 0, 1, 1, 3);
    lamps->addWidget(new QLabel(tr("Inputs"), this), 1, 0);
    lamps->addWidget(m_inputs, 1, 1);
    lamps->addWidget(new QLabel(tr("Outputs"), this), 2, 0);
    lamps->addWidget(m_outputs, 2, 1);
    layout->addLayout(lamps);
    layout->addStretch(1);
    connect(m_outputs, &widgets::TKVStaticSuivi::lampClicked, this, [this](int bit) {
        makePending(toggleOutput(bit, static_cast<std::int32_t>(m_outputs->value())));
    });

    auto* lights = new QHBoxLayout;
    m_powerLight = new widgets::TStatusLight(QString::fromLatin1(kPowerTemplate), true, this);
    setControlId(m_powerLight, v17ids::kPowerLight);
    m_errorLight = new widgets::TStatusLight(QString::fromLatin1(kErrorTemplate), true, this);
    setControlId(m_errorLight, v17ids::kErrorLight);
    m_errorLight->installEventFilter(this);
    m_raz = new QPushButton(QStringLiteral("Raz"), this);
    setControlId(m_raz, v17ids::kRaz);
    m_raz->setCheckable(true);
    m_raz->setAutoDefault(false);
    connect(m_raz, &QPushButton::toggled, this, [this](bool on) {
        if (on) {
            makePending(clearPosition());
        }
    });
    lights->addWidget(new QLabel(tr("Power"), this));
    lights->addWidget(m_powerLight);
    lights->addWidget(new QLabel(QStringLiteral("Error :"), this));
    lights->addWidget(m_errorLight);
    lights->addStretch(1);
    lights->addWidget(m_raz);
    lights->addWidget(makeHelpButton());
    layout->addLayout(lights);
}

void TDial_SUIVV17::identify() {
    contract::TagCatalogueQuery query;
    query.operation = contract::catop::kTypeName;
    query.value = typeCode();
    request(req::kCatalogue, &query);
    char number[contract::kNameSize] = {};
    std::snprintf(number, sizeof number, "%02d=", static_cast<int>(address()));
    setWindowTitle(QString::fromLatin1(number) + QString::fromLatin1(query.textA));
}

void TDial_SUIVV17::fillVariables() {
    contract::TagList list;
    list.argument = typeCode();
    request(req::kListVariables, &list);
    // The last entry is always the one that asks for a new name.
    if (list.items.isEmpty() || list.items.last() != QLatin1String(kAddInput)) {
        list.items << QString::fromLatin1(kAddInput);
        list.values << -1;
    }
    for (QComboBox* names : m_names) {
        names->clear();
        for (int i = 0; i < list.items.size(); ++i) {
            names->addItem(list.items[i], i < list.values.size() ? list.values[i] : -1);
        }
        names->setCurrentIndex(0);
        names->setEnabled(names->count() > 0);
    }
}

void TDial_SUIVV17::startPolling() {
    m_request = {};
    m_request.kind = contract::kKindStatus;
    m_request.data = &m_status;
    m_request.address = address();
    m_request.typeCode = typeCode();
    m_request.dialogId = kV17DialogId;
    contract::TagPollEntry entry;
    entry.kind = contract::kKindStatus;
    entry.mode = contract::kPollPeriodic;
    entry.request = &m_request;
    m_polls = std::make_unique<TPollSubscription>(*m_app, handle(),
                                                  std::vector<contract::TagPollEntry>{entry});
    watchPolls(m_polls.get());
}

std::string TDial_SUIVV17::askedVariable(int which) const {
    return m_askedNames[static_cast<std::size_t>(which)];
}

void TDial_SUIVV17::pollCompleted(int first, int) {
    if (first != req::kPollNotification || !m_polls) {
        return;
    }
    // The poll thread waits for this call: the names can change without a race.
    for (int i = 0; i < kVariables; ++i) {
        auto& pending = m_pendingNames[static_cast<std::size_t>(i)];
        if (pending) {
            char* name = i == 0 ? m_status.extraName1 : m_status.extraName2;
            std::snprintf(name, contract::kNameSize, "%s", pending->c_str());
            (i == 0 ? m_status.extraValue1 : m_status.extraValue2) = 0;
            pending.reset();
        }
    }
    redraw();
}

void TDial_SUIVV17::redraw() {
    ++m_redraws;
    const bool failed = m_request.status != 0;
    m_position->setValue(m_status.position, failed);
    m_execute->setValue(m_status.execute, failed);
    const std::int32_t values[kVariables] = {m_status.extraValue1, m_status.extraValue2};
    for (int i = 0; i < kVariables; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const bool asked = m_askedNames[at] != kNoVariable;
        m_values[at]->setValue(asked ? values[i] : 0, failed && asked);
    }
    m_statusWord->setValue(static_cast<std::uint32_t>(m_status.statusWord), failed);
    m_inputs->setValue(static_cast<std::uint32_t>(m_status.inputs), failed);
    m_outputs->setValue(static_cast<std::uint32_t>(m_status.outputs), failed);
    m_powerLight->setState(powerLightState(m_status.power, failed));
    m_errorLight->setState(errorLightState(m_status.errorCode));
    if (m_writePending) {
        sendPendingWrite();
    }
}

void TDial_SUIVV17::makePending(const contract::TagVariable& write) {
    m_variable = write;
    m_writePending = true;
}

void TDial_SUIVV17::sendPendingWrite() {
    m_writePending = false;
    // Writes are sent without looking at how they went: the next polls show it.
    request(req::kWriteRequest, &m_write);
    if (m_variable.subKind == contract::kVariableResetPosition) {
        const QSignalBlocker quiet(m_raz);
        m_raz->setChecked(false);
    }
}

void TDial_SUIVV17::nameChosen(int which, int index) {
    QComboBox* names = m_names[static_cast<std::size_t>(which)];
    if (names->itemText(index) == QLatin1String(kAddInput)) {
        widgets::TagInputRequest ask;
        ask.caption = QString::fromLatin1(kNewLabelCaption);
        ask.prompt = QString::fromLatin1(kNewLabelPrompt);
        ask.kind = widgets::TInputKind::kText;
        const widgets::TagInputResult answer = widgets::TInputDialog::ask(ask, this);
        const std::optional<std::string> listed = answer.code == widgets::kInputAccepted
                                                      ? listedName(answer.text.toStdString())
                                                      : std::nullopt;
        if (!listed) {
            names->setCurrentIndex(0);
        } else {
            const QString name = QString::fromStdString(*listed);
            for (QComboBox* list : m_names) {
                if (list->findText(name) < 0) {
                    list->insertItem(list->count() - 1, name, kSettableItem);
                }
            }
            names->setCurrentIndex(names->findText(name));
        }
        index = names->currentIndex();
    }
    const auto at = static_cast<std::size_t>(which);
    m_askedNames[at] = askedName(names->itemText(index).toStdString(), index == 0);
    m_pendingNames[at] = m_askedNames[at];
    if (index == 0) {
        blank(m_values[at]);
    } else {
        m_values[at]->setViewMode(widgets::viewmode::kDecimal);
        m_values[at]->setValue(0, false);
    }
}

void TDial_SUIVV17::viewMenu(int which, const QPoint& at) {
    QComboBox* names = m_names[static_cast<std::size_t>(which)];
    const TViewMenu offered = viewMenuFor(names->currentData().toInt());
    QMenu menu(this);
    QAction* input = menu.addAction(QStringLiteral("Input Value"));
    input->setEnabled(offered.inputValue);
    QMenu* views = menu.addMenu(QStringLiteral("View as ..."));
    QAction* decimal = views->addAction(QStringLiteral("Decimal "));
    QAction* hexadecimal = views->addAction(QStringLiteral("Hexadecimal"));
    QAction* binary = views->addAction(QStringLiteral("Binary "));
    QAction* about = offered.about ? menu.addAction(QStringLiteral("About   ")) : nullptr;
    QAction* chosen = menu.exec(at);
    if (chosen == nullptr) {
        return;
    }
    const TViewItem item = chosen == input         ? TViewItem::InputValue
                           : chosen == decimal     ? TViewItem::Decimal
                           : chosen == hexadecimal ? TViewItem::Hexadecimal
                           : chosen == binary      ? TViewItem::Binary
                                                   : TViewItem::About;
    if (item == TViewItem::About && chosen != about) {
        return;
    }
    viewItemChosen(which, item);
}

void TDial_SUIVV17::viewItemChosen(int which, TViewItem item) {
    const auto at = static_cast<std::size_t>(which);
    QComboBox* names = m_names[at];
    switch (item) {
    case TViewItem::InputValue:
        if (viewMenuFor(names->currentData().toInt()).inputValue) {
            inputValue(which);
        }
        return;
    case TViewItem::About: {
        char note[contract::kTextSize] = {};
        std::snprintf(note, sizeof note, "POPUP commande n\xb0 :%d", names->currentData().toInt());
        request(req::kDiagnostic, note);
        return;
    }
    default:
        m_values[at]->setViewMode(viewModeOf(item));
        return;
    }
}

void TDial_SUIVV17::inputValue(int which) {
    const auto at = static_cast<std::size_t>(which);
    const QString name = m_names[at]->currentText();
    widgets::TagInputRequest ask;
    ask.caption = QString::fromLatin1(kValueCaption);
    ask.prompt = QStringLiteral("Input value for variable %1").arg(name);
    ask.kind = widgets::TInputKind::kText;
    ask.text = QString::number(m_values[at]->value());
    const widgets::TagInputResult answer = widgets::TInputDialog::ask(ask, this);
    if (answer.code == widgets::kInputAccepted) {
        makePending(assignVariable(name.toStdString(), answer.text.toStdString()));
    }
}

bool TDial_SUIVV17::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_errorLight && event->type() == QEvent::MouseButtonPress) {
        QComboBox* first = m_names[0];
        const QString name = QString::fromLatin1(kErrorVariable);
        if (first->findText(name) < 0) {
            first->insertItem(std::max(0, first->count() - 1), name, kSettableItem);
        }
        const int index = first->findText(name);
        first->setCurrentIndex(index);
        nameChosen(0, index);
        inputValue(0);
        return true;
    }
    return TModuleWindowBase::eventFilter(watched, event);
}

void TDial_SUIVV17::shellCommand(int id) {
    if (id != kUpdateCommand) {
        return;
    }
    std::string note = kRefreshNote;
    request(req::kDiagnostic, note.data());
    watchPolls(nullptr);
    m_polls.reset();
    identify();
    startPolling();
}

} // namespace tamsel::windows::monitoring
