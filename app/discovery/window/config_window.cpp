#include "config_window.h"

#include "config_codes.h"
#include "config_texts.h"
#include "module_list_view.h"
#include "request_catalogue.h"

#include <contract/records.h>
#include <contract/request_codes.h>
#include <contract/window_records.h>
#include <prompter.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace tamsel::discovery {

namespace req = contract::req;

namespace {

// The idle handler's pace: often enough that a found module shows at once, seldom enough
// that a window left open costs nothing.
constexpr int kIdleMs = 15;

QString idName(int id) {
    return QString::number(id);
}

QStringList itemsOf(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) {
        out << box->itemText(i);
    }
    return out;
}

// A list the driver does not know reads "default", so that a sweep still has one entry.
TWorkingList listOf(const QComboBox* box) {
    TWorkingList list;
    list.names = itemsOf(box);
    if (list.names.isEmpty()) {
        list.names << QStringLiteral("default");
    }
    list.current = std::max(0, box->currentIndex());
    list.remembered = list.current;
    return list;
}

} // namespace

QString TWorkingList::currentName() const {
    return names.value(current);
}

TDial_DES::TDial_DES(contract::TRequestSink& app, shell::TPrompter& prompter, QWidget* parent)
    : QWidget(parent), m_app(app), m_prompter(prompter),
      m_catalogue(std::make_unique<TRequestCatalogue>(app)), m_table(*m_catalogue),
      m_results(m_table, *m_catalogue), m_menus(m_table, *m_catalogue),
      m_askInput(&widgets::TInputDialog::ask),
      m_chooseMenu([](QMenu& menu, const QPoint& at) { return menu.exec(at); }) {
    setObjectName(QStringLiteral("TDial_DES"));
    setWindowTitle(QString::fromLatin1(kCaption));
    buildControls();
    m_worker = std::make_unique<TScanWorker>(m_app, *this, m_scan);

    loadConfiguration();
    fillDropDowns();
    fillSearchControls();
    rebuildWorkingLists();
    trace("Port : " + m_ports.currentName().toStdString() + " ");
    trace("Target : " + m_targets.currentName().toStdString() + " ");
    trace("Protocole : " + m_protocols.currentName().toStdString() + " ");
    trace("Baud : " + m_bauds.currentName().toStdString() + " ");
    m_gaugeCaption = lastConfigurationText();
    m_lastConfiguration->setText(m_gaugeCaption);
    m_labels = labelList(m_table);
    for (const LabelItem& item : m_labels) {
        m_labelBox->addItem(QString::fromStdString(item.label), item.address);
    }
    refreshList();
    setDisplay(m_table.liveCount() > 0 ? display::kConfigured : display::kUnconfigured);
    showGauge();

    m_idle = new QTimer(this);
    m_idle->setInterval(kIdleMs);
    connect(m_idle, &QTimer::timeout, this, &TDial_DES::idle);
    m_idle->start();
}

TDial_DES::~TDial_DES() {
    m_idle->stop();
    // The worker is let go and joined before the records it fills go.
    m_worker.reset();
}

void TDial_DES::buildControls() {
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* scan = new QGroupBox(QStringLiteral("Scan Control"), this);
    scan->setObjectName(idName(ctl::kScanControl));
    auto* scanLayout = new QVBoxLayout(scan);
    m_modes = new QButtonGroup(this);
    const auto radio = [&](int id, const char* text) {
        auto* button = new QRadioButton(QString::fromLatin1(text), scan);
        button->setObjectName(idName(id));
        m_modes->addButton(button, id);
        scanLayout->addWidget(button);
        return button;
    };
    m_automatic = radio(ctl::kAutomatic, "Automatic");
    m_checking = radio(ctl::kChecking, "Checking");
    m_search = radio(ctl::kSearch, "Search ");
    m_fullDebug = radio(ctl::kFullDebug, "Full Debug");
    connect(m_modes, &QButtonGroup::idClicked, this, [this](int) { modeChosen(); });
    top->addWidget(scan);

    auto* middle = new QGridLayout;
    const auto combo = [this](int id) {
        auto* box = new QComboBox(this);
        box->setObjectName(idName(id));
        return box;
    };
    middle->addWidget(new QLabel(QStringLiteral("Port:"), this), 0, 0);
    m_port = combo(ctl::kPort);
    middle->addWidget(m_port, 0, 1);
    m_searchTarget = combo(ctl::kSearchTarget);
    middle->addWidget(m_searchTarget, 1, 0, 1, 2);
    m_withBaud = new QCheckBox(QStringLiteral("with baudrate :"), this);
    m_withBaud->setObjectName(idName(ctl::kSearchWithBaud));
    middle->addWidget(m_withBaud, 2, 0);
    m_searchBaud = combo(ctl::kSearchBaud);
    middle->addWidget(m_searchBaud, 2, 1);
    m_onlyXon = new QCheckBox(QStringLiteral("Only XON_XOFF"), this);
    m_onlyXon->setObjectName(idName(ctl::kSearchOnlyXon));
    middle->addWidget(m_onlyXon, 3, 0, 1, 2);
    m_target = combo(ctl::kTarget);
    m_protocol = combo(ctl::kProtocol);
    m_baud = combo(ctl::kBaud);
    auto* debug = new QGroupBox(QStringLiteral("Full Debug"), this);
    auto* debugLayout = new QHBoxLayout(debug);
    debugLayout->addWidget(m_target);
    debugLayout->addWidget(m_protocol);
    debugLayout->addWidget(m_baud);
    middle->addWidget(debug, 4, 0, 1, 2);
    top->addLayout(middle, 1);

    auto* buttons = new QVBoxLayout;
    const auto push = [&](int id, const char* text) {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        button->setObjectName(idName(id));
        buttons->addWidget(button);
        return button;
    };
    m_start = push(ctl::kStart, "&Start Scanning");
    m_accept = push(ctl::kAccept, "Accept");
    m_help = push(ctl::kHelp, "&Help");
    buttons->addStretch();
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel(QStringLiteral("Found :"), this));
    m_count = new QLabel(this);
    m_count->setObjectName(idName(ctl::kCount));
    countRow->addWidget(m_count);
    buttons->addLayout(countRow);
    m_labelBox = combo(ctl::kLabels);
    buttons->addWidget(m_labelBox);
    top->addLayout(buttons);
    layout->addLayout(top);

    m_lastConfiguration = new QLabel(this);
    m_lastConfiguration->setObjectName(idName(ctl::kLastConfiguration));
    layout->addWidget(m_lastConfiguration);
    auto* gaugeRow = new QHBoxLayout;
    m_gauge = new QProgressBar(this);
    m_gauge->setObjectName(QString::fromLatin1(kGaugeName));
    m_gauge->setTextVisible(true);
    m_gauge->setAlignment(Qt::AlignCenter);
    gaugeRow->addWidget(m_gauge, 1);
    m_gaugeText = new QLabel(this);
    m_gaugeText->setObjectName(idName(ctl::kGaugeText));
    gaugeRow->addWidget(m_gaugeText);
    m_remaining = new QLabel(this);
    m_remaining->setObjectName(QString::fromLatin1(kRemainingName));
    gaugeRow->addWidget(m_remaining);
    layout->addLayout(gaugeRow);

    layout->addWidget(new QLabel(QStringLiteral("Found module(s):"), this));
    m_list = new TModuleListView(this);
    layout->addWidget(m_list, 1);
    m_message = new QLabel(this);
    m_message->setObjectName(idName(ctl::kMessage));
    m_message->setFrameShape(QFrame::StyledPanel);
    m_message->setMinimumHeight(m_message->fontMetrics().height() + 8);
    layout->addWidget(m_message);

    connect(m_start, &QPushButton::clicked, this, &TDial_DES::startOrStop);
    connect(m_accept, &QPushButton::clicked, this, &TDial_DES::accept);
    connect(m_help, &QPushButton::clicked, this, [this] { help(help_context::kWindow); });
    connect(m_list, &TModuleListView::rightClicked, this, &TDial_DES::rowRightClick);
    connect(m_searchTarget, &QComboBox::currentIndexChanged, this,
            [this](int) { applySearchTarget(); });
    connect(m_withBaud, &QCheckBox::toggled, m_searchBaud, &QWidget::setEnabled);
    connect(m_target, &QComboBox::activated, this, [this](int) {
        fillList(m_protocol, req::kListProtocolsAll, m_target->currentText());
        fillList(m_baud, req::kListBaudsAll, m_target->currentText(), m_protocol->currentText());
        m_baud->setEnabled(true);
    });
    connect(m_protocol, &QComboBox::activated, this, [this](int) {
        fillList(m_baud, req::kListBaudsAll, m_target->currentText(), m_protocol->currentText());
        m_baud->setEnabled(true);
    });
}

void TDial_DES::loadConfiguration() {
    std::int32_t count = 0;
    request(req::kModuleRecordCount, &count);
    for (std::int32_t i = 0; i < count; ++i) {
        char text[contract::kTextSize] = {};
        request(req::kModuleRecord, text, static_cast<std::uint16_t>(i));
        if (!m_table.loadRecord(text)) {
            trace(std::string("module record refused : ") + text);
        }
    }
}

void TDial_DES::fillDropDowns() {
    fillList(m_port, req::kListPorts);
    fillList(m_target, req::kListTargets);
    fillList(m_protocol, req::kListProtocols, m_target->currentText());
    fillList(m_baud, req::kListBauds, m_target->currentText(), m_protocol->currentText());
}

void TDial_DES::fillSearchControls() {
    for (int i = 0; i < static_cast<int>(kSearchTargets.size()); ++i) {
        m_searchTarget->addItem(QString::fromLatin1(kSearchTargets[static_cast<std::size_t>(i)]),
                                i + 1);
    }
    m_searchTarget->setCurrentIndex(0);
    applySearchTarget();
}

void TDial_DES::applySearchTarget() {
    const int value = m_searchTarget->currentData().toInt();
    m_onlyXon->setChecked(true);
    m_onlyXon->setEnabled(value == kSearchDvrxMicroTrilo || value == kSearchTrilo);
    m_searchBaud->clear();
    for (const char* baud : searchBauds(value)) {
        m_searchBaud->addItem(QString::fromLatin1(baud));
    }
    m_searchBaud->setCurrentIndex(0);
    m_searchBaud->setEnabled(m_withBaud->isChecked());
}

void TDial_DES::modeChosen() {
    const bool search = m_search->isChecked();
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_searchTarget, m_withBaud, m_searchBaud, m_onlyXon}) {
        w->setVisible(search);
    }
}

void TDial_DES::rebuildWorkingLists() {
    m_ports = listOf(m_port);
    m_targets = listOf(m_target);
    m_protocols = listOf(m_protocol);
    m_bauds = listOf(m_baud);
}

void TDial_DES::takeShownLineLists() {
    for (auto [list, box] : {std::pair{&m_protocols, m_protocol}, std::pair{&m_bauds, m_baud}}) {
        const int remembered = list->remembered;
        *list = listOf(box);
        list->remembered = remembered;
    }
}

QString TDial_DES::lastConfigurationText() const {
    return QString::fromLatin1(kLastConfigurationFormat)
        .arg(m_ports.names.value(m_ports.remembered),
             m_protocols.names.value(m_protocols.remembered),
             m_bauds.names.value(m_bauds.remembered));
}

void TDial_DES::shellCommand(int) {
    // The shell's refresh and update orders change nothing the window shows: it reads the
    // project only when it opens.
}

bool TDial_DES::scanning() const {
    return m_worker->busy() || m_restPending || m_listPending;
}

// ---- the idle handler and the display states ------------------------------------------------

void TDial_DES::idle() {
    if (m_worker->busy() && m_worker->finished()) {
        finishScan();
    }
    if (m_worker->busy()) {
        showGauge();
    }
    showNextFound();
    if (m_restPending && !m_worker->busy() && !m_listPending) {
        m_restPending = false;
        startScan(ScanMode::AutomaticRest);
    }
    if (m_localize.running()) {
        localizeStep();
    }
    if (m_displayPending) {
        m_displayPending = false;
        applyDisplay(m_display);
    }
    // An open window with nothing to do does not keep waking the program; what gives it
    // work again (a scan, a localize, a display state) wakes the handler.
    if (!m_worker->busy() && !m_listPending && !m_restPending && !m_localize.running() &&
        !m_displayPending) {
        m_idle->stop();
    }
}

void TDial_DES::finishScan() {
    const GaugeState ending = m_worker->gauge();
    const ScanEnd end = m_worker->collect();
    showGauge();
    // The sweep hid its gauge at its end; a stop leaves it where the scan was.
    m_gauge->setVisible(ending.shown || !m_gaugeCaption.isEmpty());
    if (m_mode == ScanMode::Search) {
        if (end == ScanEnd::Answered) {
            const ProbeTry last = m_worker->lastTry();
            selectByText(m_target, last.target);
            fillList(m_protocol, req::kListProtocolsAll, m_target->currentText());
            selectByText(m_protocol, last.protocol);
            fillList(m_baud, req::kListBaudsAll, m_target->currentText(),
                     m_protocol->currentText());
            selectByText(m_baud, last.baud);
        } else if (end == ScanEnd::Silent) {
            shell::TBox b;
            b.title = QString::fromLatin1(kNoModuleTitle);
            b.text = QString::fromLatin1(kNoModuleText);
            ask(b);
        }
    }
    setDisplay(m_mode == ScanMode::FullDebug ? display::kDebugDone : display::kScanDone);
}

void TDial_DES::showNextFound() {
    if (!m_listPending) {
        return;
    }
    if (const auto outcome = m_results.showNext(m_mode, m_scan)) {
        apply(*outcome);
        refreshList();
        showCount();
        return;
    }
    if (!m_worker->busy()) {
        m_listPending = false;
    }
}

void TDial_DES::setDisplay(int32_t state) {
    m_display = state;
    m_displayPending = true;
    wakeIdle();
}

void TDial_DES::wakeIdle() {
    if (m_idle != nullptr && !m_idle->isActive()) {
        m_idle->start();
    }
}

void TDial_DES::applyDisplay(int32_t state) {
    const auto enableModes = [this](bool checking) {
        m_automatic->setEnabled(true);
        m_search->setEnabled(true);
        m_fullDebug->setEnabled(true);
        m_checking->setEnabled(checking);
    };
    switch (state) {
    case display::kUnconfigured:
        m_automatic->setChecked(true);
        enableModes(false);
        m_accept->setEnabled(false);
        m_count->setText(QStringLiteral("!?"));
        m_prompter.beep();
        setMessage(QString::fromLatin1(kNoConfigurationLine), true);
        m_start->setFocus();
        break;
    case display::kConfigured:
        m_checking->setChecked(true);
        enableModes(true);
        m_accept->setEnabled(true);
        showCount();
        m_start->setFocus();
        break;
    case display::kScanning:
        for (QAbstractButton* b : m_modes->buttons()) {
            b->setEnabled(false);
        }
        m_accept->setEnabled(false);
        m_start->setText(QStringLiteral("&Stop Scanning"));
        m_port->setEnabled(false);
        m_count->setText(QStringLiteral("!?"));
        setMessage({});
        break;
    case display::kScanDone:
        enableModes(true);
        m_accept->setEnabled(true);
        m_start->setText(QStringLiteral("&Scanning"));
        m_port->setEnabled(true);
        showCount();
        break;
    case display::kDebugDone:
        m_fullDebug->setChecked(true);
        enableModes(false);
        m_accept->setEnabled(false);
        m_start->setText(QStringLiteral("&Scanning"));
        m_port->setEnabled(true);
        showCount();
        break;
    case display::kRescan:
        startOrStop();
        break;
    default:
        break;
    }
    modeChosen();
}

void TDial_DES::showGauge() {
    QString caption = m_gaugeCaption;
    if (m_worker->busy()) {
        const GaugeState g = m_worker->gauge();
        m_gauge->setRange(g.low, g.high);
        m_gauge->setValue(std::clamp(g.position, g.low, g.high));
        m_gauge->setVisible(g.shown || !g.caption.empty());
        caption = QString::fromStdString(g.caption);
        const ProbeTry last = m_worker->lastTry();
        m_gaugeText->setText(
            QString::fromStdString(last.target + " " + last.protocol + " " + last.baud));
        m_remaining->setText(
            g.remaining.count() < 0
                ? QString()
                : QStringLiteral("%1 s left").arg((g.remaining.count() + 999) / 1000));
    } else {
        m_remaining->clear();
    }
    // The caption's one "%02d" is the gauge's position; "%" is QProgressBar's own mark.
    caption.replace(QStringLiteral("%02d"),
                    QStringLiteral("%1").arg(m_gauge->value(), 2, 10, QLatin1Char('0')));
    caption.replace(QLatin1Char('%'), QStringLiteral("%%"));
    m_gauge->setFormat(caption);
}

void TDial_DES::showCount() {
    const int n = m_table.liveCount();
    m_count->setText(n < 1 ? QStringLiteral("!?")
                           : QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')));
}

void TDial_DES::setMessage(const QString& text, bool alert) {
    m_message->setText(text);
    m_message->setStyleSheet(alert && !text.isEmpty()
                                 ? QStringLiteral("background: #ffd24d; color: #a00000;"
                                                  " font-weight: bold;")
                                 : QString());
    if (alert && !text.isEmpty()) {
        m_prompter.beep();
    }
}

void TDial_DES::refreshList() {
    WorkingListNames names;
    for (const QString& p : m_protocols.names) {
        names.protocols.push_back(p.toStdString());
    }
    for (const QString& b : m_bauds.names) {
        names.bauds.push_back(b.toStdString());
    }
    m_list->refresh(m_table, names);
}

// ---- requests --------------------------------------------------------------------------------

void TDial_DES::request(std::uint16_t code, void* record, std::uint16_t hi) {
    m_app.request(code, hi == 0 ? kConfigDialog : hi, record);
}

void TDial_DES::trace(const std::string& text) {
    char buffer[contract::kTextSize] = {};
    text.copy(buffer, sizeof buffer - 1);
    request(req::kDiagnostic, buffer);
}

void TDial_DES::fillList(QComboBox* box, std::uint16_t code, const QString& target,
                         const QString& protocol) {
    contract::TagList list;
    list.target = target;
    list.protocol = protocol;
    request(code, &list);
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(list.items);
    if (list.selected >= 0 && list.selected < box->count()) {
        box->setCurrentIndex(list.selected);
    }
}

void TDial_DES::help(int32_t context) {
    contract::TagHelpInfo info;
    info.controlId = kHelpTopicRequest;
    info.contextId = context;
    request(req::kHelp, &info);
}

shell::TBox TDial_DES::box(const ResultBox& result) const {
    shell::TBox b;
    b.title = QString::fromStdString(result.title);
    b.text = QString::fromStdString(result.text);
    b.icon = result.icon == ResultBox::Icon::Exclamation ? shell::TBoxIcon::Exclamation
                                                         : shell::TBoxIcon::None;
    b.helpContext = result.helpContext;
    return b;
}

shell::TBoxAnswer TDial_DES::ask(shell::TBox b) {
    if (b.helpContext != 0) {
        b.showHelp = [this](int context) { help(context); };
    }
    return m_prompter.ask(this, b);
}

void TDial_DES::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (sub == nullptr) {
        return;
    }
    contract::TagDialogGeometry geometry;
    geometry.dialogId = kConfigDialog;
    geometry.window = this;
    request(req::kDialogGeometry, &geometry);
    if (geometry.client.isValid()) {
        const QPoint corner = geometry.client.center() - sub->rect().center();
        sub->move(std::max(0, corner.x()), std::max(0, corner.y()));
    }
}

} // namespace tamsel::discovery
