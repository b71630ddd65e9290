// The configuration window's scans: which one Start begins, what its worker is given, what
// each result does to the controls, and Accept with the close check.
#include "config_codes.h"
#include "config_texts.h"
#include "config_window.h"
#include "module_list_view.h"

#include <contract/records.h>
#include <contract/request_codes.h>
#include <prompter.h>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <array>

namespace tamsel::discovery {

namespace req = contract::req;

namespace {

NameList nameList(const TWorkingList& list, int selected) {
    NameList out;
    for (const QString& name : list.names) {
        out.names.push_back(name.toStdString());
    }
    out.selected = selected;
    return out;
}

void selectIndex(QComboBox* box, int index) {
    if (index >= 0 && index < box->count()) {
        const QSignalBlocker quiet(box);
        box->setCurrentIndex(index);
    }
}

} // namespace

ScanMode TDial_DES::chosenMode() {
    if (m_automatic->isChecked()) {
        if (m_port->currentIndex() != m_lastAutomaticPort) {
            m_module00Found = false;
            m_lastAutomaticPort = m_port->currentIndex();
        }
        return m_module00Found ? ScanMode::AutomaticRest : ScanMode::AutomaticZero;
    }
    m_module00Found = false;
    if (m_checking->isChecked()) {
        return ScanMode::Checking;
    }
    return m_search->isChecked() ? ScanMode::Search : ScanMode::FullDebug;
}

void TDial_DES::startOrStop() {
    if (m_worker->busy()) {
        m_worker->requestStop();
        return;
    }
    // A press before the idle pass that shows the window's state acts on that state.
    if (m_displayPending && m_display != display::kRescan) {
        m_displayPending = false;
        applyDisplay(m_display);
    }
    startScan(chosenMode());
}

void TDial_DES::startScan(ScanMode mode) {
    m_display = display::kScanning;
    applyDisplay(display::kScanning);
    request(req::kMinimiseModuleWindows, nullptr);
    const auto fromDropDowns = [this] {
        m_ports.current = std::max(0, m_port->currentIndex());
        m_protocols = TWorkingList{m_protocols.names, std::max(0, m_protocol->currentIndex()),
                                   m_protocols.remembered};
        m_bauds =
            TWorkingList{m_bauds.names, std::max(0, m_baud->currentIndex()), m_bauds.remembered};
    };
    switch (mode) {
    case ScanMode::AutomaticZero:
        m_lastAutomaticPort = m_port->currentIndex();
        m_ports.current = std::max(0, m_port->currentIndex());
        m_table.clear();
        break;
    case ScanMode::AutomaticRest:
        fromDropDowns();
        m_module00Found = false;
        break;
    case ScanMode::Checking:
        fromDropDowns();
        break;
    case ScanMode::Search:
        m_table.clear();
        break;
    case ScanMode::FullDebug:
        m_ports.current = std::max(0, m_port->currentIndex());
        // The sweep is over what the Full Debug drop-downs show: the user may have chosen
        // another target, protocol or baud rate to begin with since the lists were built.
        takeShownLineLists();
        m_table.clear();
        break;
    }
    refreshList();
    m_gaugeCaption.clear();
    m_scan.clear();
    m_results.startScan(mode);
    m_mode = mode;
    m_listPending = true;
    request(req::kCloseLine, nullptr);
    m_worker->start(jobFor(mode));
    wakeIdle();
}

ScanJob TDial_DES::jobFor(ScanMode mode) {
    const std::string port = m_port->currentText().toStdString();
    const int portIndex = std::max(0, m_port->currentIndex());
    switch (mode) {
    case ScanMode::AutomaticZero: {
        AutomaticZeroStart s{port, portIndex, nameList(m_targets, m_targets.remembered),
                             m_bauds.remembered};
        return [s](ScanEngine& e) { return e.automaticZero(s); };
    }
    case ScanMode::AutomaticRest: {
        AutomaticRestStart s{port, m_protocol->currentText().toStdString(),
                             m_baud->currentText().toStdString()};
        return [s](ScanEngine& e) { return e.automaticRest(s); };
    }
    case ScanMode::Checking: {
        // The worker reads a copy: the table changes under the idle handler meanwhile.
        std::array<std::string, kAddressCount> targets;
        for (int a = 0; a < kAddressCount; ++a) {
            targets[static_cast<std::size_t>(a)] = m_table.entry(a).target;
        }
        CheckingStart s{port, m_protocol->currentText().toStdString(),
                        m_baud->currentText().toStdString(),
                        [targets](int a) { return targets[static_cast<std::size_t>(a)]; }};
        return [s](ScanEngine& e) { return e.checking(s); };
    }
    case ScanMode::Search: {
        SearchStart s;
        s.port = port;
        s.target = m_searchTarget->currentIndex() == 0
                       ? std::string(kFirstSearchTarget)
                       : m_searchTarget->currentText().toStdString();
        s.withBaud = m_withBaud->isChecked();
        s.fixedBaud = m_searchBaud->currentText().toStdString();
        s.onlyFirst = m_onlyXon->isChecked();
        for (int i = 0; i < m_searchBaud->count(); ++i) {
            s.bauds.push_back(m_searchBaud->itemText(i).toStdString());
        }
        return [s](ScanEngine& e) { return e.search(s); };
    }
    case ScanMode::FullDebug:
        break;
    }
    FullDebugStart s;
    s.port = port;
    s.portIndex = portIndex;
    s.protocols = nameList(m_protocols, m_protocols.current);
    s.bauds = nameList(m_bauds, m_bauds.current);
    return [s](ScanEngine& e) { return e.fullDebug(s); };
}

void TDial_DES::apply(const ScanOutcome& outcome) {
    for (const std::string& t : outcome.traces) {
        trace(t);
    }
    if (outcome.select) {
        selectLine(*outcome.select);
    }
    if (outcome.restoreRemembered) {
        restoreRemembered();
    }
    if (outcome.module00Found) {
        m_module00Found = *outcome.module00Found;
    }
    if (outcome.alertLine) {
        setMessage(QString::fromStdString(*outcome.alertLine), true);
    }
    if (outcome.box) {
        ask(box(*outcome.box));
    }
    if (outcome.startRest) {
        m_restPending = true;
    }
}

void TDial_DES::selectLine(const LineIndexes& line) {
    selectIndex(m_target, line.target);
    fillList(m_protocol, req::kListProtocolsAll, m_target->currentText());
    selectIndex(m_protocol, line.protocol);
    fillList(m_baud, req::kListBaudsAll, m_target->currentText(), m_protocol->currentText());
    selectIndex(m_baud, line.baud);
    selectIndex(m_port, line.port);
    const TWorkingList remembered[] = {m_ports, m_targets, m_protocols, m_bauds};
    rebuildWorkingLists();
    // What reached module 00 is in use now; the last configuration stays what it was.
    TWorkingList* lists[] = {&m_ports, &m_targets, &m_protocols, &m_bauds};
    for (std::size_t i = 0; i < std::size(lists); ++i) {
        lists[i]->remembered = remembered[i].remembered;
    }
}

void TDial_DES::restoreRemembered() {
    selectIndex(m_target, m_targets.remembered);
    fillList(m_protocol, req::kListProtocolsAll, m_target->currentText());
    selectIndex(m_protocol, m_protocols.remembered);
    fillList(m_baud, req::kListBaudsAll, m_target->currentText(), m_protocol->currentText());
    selectIndex(m_baud, m_bauds.remembered);
    for (TWorkingList* list : {&m_ports, &m_targets, &m_protocols, &m_bauds}) {
        list->current = list->remembered;
    }
    m_gaugeCaption = lastConfigurationText();
    m_gauge->setVisible(true);
    showGauge();
}

void TDial_DES::selectByText(QComboBox* box, const std::string& text) {
    selectIndex(box, box->findText(QString::fromStdString(text)));
}

// ---- Accept and closing ------------------------------------------------------------------------

void TDial_DES::accept() {
    for (const std::string& text : m_table.acceptTexts()) {
        char record[contract::kTextSize] = {};
        text.copy(record, sizeof record - 1);
        request(req::kSetModuleRecord, record);
    }
    std::int32_t count = m_table.liveCount();
    request(req::kSetModuleRecordCount, &count);
    const QString line = QStringLiteral("%1 %2 %3 %4")
                             .arg(m_target->currentText(), m_port->currentText(),
                                  m_protocol->currentText(), m_baud->currentText());
    char setting[contract::kTextSize] = {};
    line.toStdString().copy(setting, sizeof setting - 1);
    request(req::kSetLineAndReconnect, setting);
    if (closeCheck()) {
        m_closeChecked = true;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
            sub->close();
        } else {
            close();
        }
    }
    request(req::kConfigurationChanged, nullptr);
}

bool TDial_DES::closeCheck() {
    shell::TBox b;
    b.title = QString::fromLatin1(kCloseTitle);
    if (m_worker->busy()) {
        b.text = QString::fromLatin1(kStopFirstText);
        b.icon = shell::TBoxIcon::Stop;
        ask(b);
        return false;
    }
    if (m_table.liveCount() == 0) {
        b.text = QString::fromLatin1(kEmptyConfigurationText);
        b.buttons = shell::TBoxButtons::OkCancel;
        b.helpContext = help_context::kEmptyConfiguration;
        return ask(b) == shell::TBoxAnswer::Ok;
    }
    request(req::kReconnect, nullptr);
    return true;
}

void TDial_DES::closeEvent(QCloseEvent* event) {
    if (!m_closeChecked && !closeCheck()) {
        event->ignore();
        return;
    }
    m_closeChecked = true;
    event->accept();
}

} // namespace tamsel::discovery
