#include "main_app.h"

#include "about_box.h"
#include "catalogue_requests.h"
#include "command_docs.h"
#include "command_rules.h"
#include "cp1252.h"
#include "help.h"
#include "help_mode.h"
#include "init_box.h"
#include "lock_keys.h"
#include "main_frame.h"
#include "module_windows.h"
#include "prompter.h"
#include "recent_files.h"
#include "shell_codes.h"
#include "shell_strings.h"
#include "single_instance.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace tamsel::shell {

namespace {

constexpr int kUpdateMs = 250;
constexpr int kNoteLimit = 500;
// The selector's items carry the type code as their data and the address in this role.
constexpr int kAddressRole = Qt::UserRole + 1;
// The follow-up of request 0x1413 opens the panel in this mode.
constexpr int kFollowPanelMode = 3;

QString textOf(const void* record) {
    return record == nullptr ? QString() : fromCp1252(static_cast<const char*>(record));
}

} // namespace

TMainApp::TMainApp(TShellBackend& backend, TPrompter& prompter, QObject* parent)
    : QObject(parent), m_backend(backend), m_prompter(prompter) {
    setObjectName(QStringLiteral("TMainApp"));
    m_recent = std::make_unique<TRecentFiles>(QDir::current().filePath("tm2mru.ini"));
    m_frame = std::make_unique<TMainFrame>();
    m_docs = std::make_unique<TCommandDocs>(*m_frame->mdiArea(), m_prompter, *m_recent);
    m_help = std::make_unique<THelp>(m_prompter);
    m_helpMode = std::make_unique<THelpMode>(*m_help, m_prompter, *m_frame, *m_frame->mdiArea());
    m_helpMode->setToggle(m_frame->action(cmd::kHelpMode));
    m_windows = std::make_unique<TModuleWindows>(*m_frame->mdiArea(), m_registry,
                                                 [this](const QString& text) { note(text); });
    m_startup =
        std::make_unique<TStartup>(m_backend, m_prompter, *m_frame,
                                   TStartup::THooks{[this](const QString& text) { note(text); },
                                                    [this](int id) { postCommand(id); }});
    m_frame->setRecentFiles(m_recent->entries());

    connect(m_frame.get(), &TMainFrame::command, this, &TMainApp::command);
    connect(m_frame.get(), &TMainFrame::aboutToUpdate, this, &TMainApp::updateCommands);
    connect(m_frame.get(), &TMainFrame::recentChosen, this, [this](const QString& path) {
        if (m_docs->open(path) == nullptr) {
            m_recent->remove(path);
            m_frame->setRecentFiles(m_recent->entries());
        }
    });
    connect(m_frame.get(), &TMainFrame::closeQuery, this, [this](bool& agree) {
        agree = closeQuery();
        if (agree) {
            emit exitRequested();
        }
    });
    connect(m_docs.get(), &TCommandDocs::recentAdded, this,
            [this] { m_frame->setRecentFiles(m_recent->entries()); });
    connect(m_docs.get(), &TCommandDocs::viewsChanged, this, &TMainApp::activeChildChanged);
    connect(m_frame->mdiArea(), &QMdiArea::subWindowActivated, this, &TMainApp::activeChildChanged);
    QComboBox* selector = m_frame->deviceSelector();
    connect(selector, &QComboBox::activated, this, &TMainApp::selectDevice);
    connect(selector, &QComboBox::currentIndexChanged, this, &TMainApp::selectDevice);

    auto* idle = new QTimer(this);
    idle->setInterval(kUpdateMs);
    connect(idle, &QTimer::timeout, this, &TMainApp::updateCommands);
    idle->start();
    updateCommands();
}

TMainApp::~TMainApp() {
    m_helpMode->enter(false);
    if (TSingleInstance* guard = m_startup->singleInstance()) {
        guard->deleteAtom();
    }
    // The children may still send requests while they go.
    m_frame->mdiArea()->closeAllSubWindows();
    // The frame outlives the other members, and its windows still change as it is torn
    // down: no signal of it may reach a member that is already gone.
    m_frame->mdiArea()->disconnect(this);
    m_frame->disconnect(this);
}

void TMainApp::setSingleInstance(TSingleInstance* guard) {
    m_startup->setSingleInstance(guard);
}

void TMainApp::setScreenFacts(const TScreenFacts& facts) {
    m_startup->setScreenFacts(facts);
}

void TMainApp::setToolHandler(std::function<void(void*)> handler) {
    m_toolHandler = std::move(handler);
}

void TMainApp::setErrorReportHandler(std::function<void(void*)> handler) {
    m_errorReportHandler = std::move(handler);
}

void TMainApp::registerWindow(TWindowKind kind, TWindowFactory factory) {
    m_registry.add(kind, std::move(factory));
    updateCommands();
}

bool TMainApp::hasWindow(TWindowKind kind) const {
    return m_registry.has(kind);
}

QMdiSubWindow* TMainApp::childWithId(int identifier) const {
    return m_windows->childWithId(identifier);
}

bool TMainApp::helpMode() const {
    return m_helpMode->active();
}

// ---- the dispatcher ---------------------------------------------------------------------

std::int32_t TMainApp::request(std::uint16_t code, std::uint16_t hi, void* record) {
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, code, hi, record] { dispatch(code, hi, record); },
            Qt::BlockingQueuedConnection);
    } else {
        dispatch(code, hi, record);
    }
    return 0;
}

QStringList TMainApp::notesSince(long long made) const {
    const long long fresh = std::min<long long>(m_notesMade - made, m_notes.size());
    return fresh <= 0 ? QStringList() : m_notes.mid(m_notes.size() - static_cast<int>(fresh));
}

void TMainApp::note(const QString& text) {
    ++m_notesMade;
    m_notes.append(text);
    if (m_notes.size() > kNoteLimit) {
        m_notes.removeFirst();
    }
}

void TMainApp::unknownRequest(std::uint16_t code) {
    m_prompter.beep();
    TBox box;
    box.title = QStringLiteral("Réquete non cablée !!!");
    box.text = QStringLiteral("N° :%1 \n")
                   .arg(QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0')));
    box.icon = TBoxIcon::Stop;
    m_prompter.ask(m_frame.get(), box);
}

void TMainApp::dispatch(std::uint16_t code, std::uint16_t hi, void* record) {
    switch (code) {
    case req::kDialogGeometry:
        if (record != nullptr) {
            dialogGeometry(*static_cast<TagDialogGeometry*>(record));
        }
        return;
    case req::kPrintSetup:
        postCommand(cmd::kFilePrintSetup);
        return;
    case req::kCloseLine:
        m_backend.closeLine();
        m_frame->setLineStatus(QStringLiteral("Not in normal use"));
        return;
    case req::kSetLineAndReconnect:
        m_backend.route(code, hi, record);
        connectLine();
        return;
    case req::kReconnect:
        connectLine();
        return;
    case req::kMinimiseModuleWindows:
        m_windows->minimiseAll();
        return;
    case req::kConfigurationChanged:
        refillDeviceSelector();
        m_windows->sendCommand(cmd::kUpdate);
        return;
    case req::kFollowUpdate:
        if (m_backend.followUpdate(hi)) {
            openPanel(kFollowPanelMode);
        }
        return;
    case req::kVersionText:
        copyCp1252(versionText(), static_cast<char*>(record), kTextSize);
        return;
    case req::kOpenSpecificMode:
        note(textOf(record));
        openRow(rowOf(TWindowKind::SpecificMode));
        return;
    case req::kSpecificParamNotice: {
        TBox box;
        box.title = QStringLiteral("reste à regler");
        box.text = QStringLiteral("inter appel SPECIFIC / PARAM");
        m_prompter.ask(m_frame.get(), box);
        return;
    }
    case req::kTrace:
        m_frame->setMessage(textOf(record));
        return;
    case req::kDiagnostic:
        note(textOf(record));
        return;
    case req::kCatalogue:
        if (record != nullptr) {
            auto& query = *static_cast<TagCatalogueQuery*>(record);
            if (!runCatalogueQuery(query)) {
                note(QStringLiteral("catalogue : operation %1").arg(query.operation));
            }
        }
        return;
    case req::kHelp:
        if (record != nullptr) {
            m_helpMode->request(*static_cast<const TagHelpInfo*>(record));
        }
        return;
    case req::kErrorReport:
        if (m_errorReportHandler) {
            m_errorReportHandler(record);
        } else {
            note(QStringLiteral("error report not available"));
        }
        return;
    case req::kStartup:
        m_startup->run(static_cast<TInitBox*>(record));
        return;
    case req::kStartupAnswer:
        m_startup->answer(record == nullptr ? 0 : *static_cast<const std::int32_t*>(record));
        return;
    case req::kTool:
        if (m_toolHandler) {
            m_toolHandler(record);
            return;
        }
        break;
    case req::kProgramDirectory:
        copyCp1252(QDir::toNativeSeparators(m_programDirectory), static_cast<char*>(record),
                   kTextSize);
        return;
    case req::kAddRecentFile:
        m_recent->add(textOf(record));
        m_frame->setRecentFiles(m_recent->entries());
        return;
    case req::kPollNotification:
        // A window notification, never a request of the application.
        break;
    default:
        if (m_backend.route(code, hi, record)) {
            return;
        }
        break;
    }
    unknownRequest(code);
}

void TMainApp::dialogGeometry(TagDialogGeometry& geometry) {
    geometry.client = m_frame->mdiArea()->viewport()->rect();
    const QSize size = dialogSize(geometry.dialogId, m_dpi);
    geometry.dialog = size.isValid() ? QRect(QPoint(0, 0), size) : QRect();
}

void TMainApp::postCommand(int id) {
    QMetaObject::invokeMethod(
        this, [this, id] { command(id); }, Qt::QueuedConnection);
}

// ---- start-up and the working line --------------------------------------------------------

bool TMainApp::start() {
    m_programDirectory = QDir::currentPath();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        m_dpi = qRound(screen->logicalDotsPerInchY());
    }
    {
        TInitBox box(*this, m_prompter);
        m_startup->setInitBox(&box);
        box.exec();
    }
    refillDeviceSelector();
    updateCommands();
    return m_startup->succeeded();
}

bool TMainApp::connectLine() {
    return m_startup->connectLine();
}

// ---- device selection and commands ----------------------------------------------------

void TMainApp::refillDeviceSelector() {
    QComboBox* selector = m_frame->deviceSelector();
    QVector<TDeviceEntry> entries;
    if (m_backend.projectLoaded()) {
        entries = m_backend.deviceEntries();
    }
    {
        const QSignalBlocker quiet(selector);
        selector->clear();
        for (const TDeviceEntry& entry : entries) {
            selector->addItem(entry.text, entry.typeCode);
            selector->setItemData(selector->count() - 1, entry.address, kAddressRole);
        }
    }
    const int keep = entryToKeep(entries, m_deviceSelected ? &m_device : nullptr);
    if (keep >= 0) {
        selector->setCurrentIndex(keep);
        selectDevice(keep);
    }
}

void TMainApp::selectDevice(int index) {
    QComboBox* selector = m_frame->deviceSelector();
    if (index < 0 || index >= selector->count()) {
        return;
    }
    TDeviceEntry entry;
    entry.text = selector->itemText(index);
    entry.typeCode = selector->itemData(index).toInt();
    entry.address = selector->itemData(index, kAddressRole).toInt();
    TagCatalogueQuery query;
    query.operation = catop::kTargetName;
    query.value = entry.typeCode;
    request(req::kCatalogue, 0, &query);
    m_device = shell::selectedDevice(entry, fromCp1252(query.textA));
    m_deviceSelected = true;
    m_frame->setFamilyGroup(m_device.familyMask);
    updateCommands();
}

void TMainApp::updateCommands() {
    TCommandState state;
    state.configured =
        m_startup->succeeded() && m_backend.projectLoaded() && m_backend.moduleRecordCount() > 0;
    state.setupNumberZero = state.configured && m_backend.setupNumberZeroSet();
    state.familyMask = m_device.familyMask;
    for (const TWindowRow& row : windowRows()) {
        if (m_registry.has(row.kind)) {
            state.registeredKinds |= kindBit(row.kind);
        }
    }
    const auto enable = [this](int id, bool on) {
        if (QAction* a = m_frame->action(id)) {
            a->setEnabled(on);
        }
    };
    for (const TWindowRow& row : windowRows()) {
        enable(row.commandId, moduleCommandEnabled(row.commandId, state));
    }

    TCommandFileView* view = m_docs->activeView();
    for (int id : {cmd::kFileSave, cmd::kFileSaveAs, cmd::kFileClose, cmd::kFilePrint,
                   cmd::kFilePrintPreview}) {
        enable(id, view != nullptr);
    }
    for (int id : {cmd::kEditUndo, cmd::kEditCut, cmd::kEditCopy, cmd::kEditPaste, cmd::kEditFind,
                   cmd::kEditFindNext}) {
        enable(id, view != nullptr && view->canRun(id));
    }
    m_frame->setOvertype(view != nullptr && view->overwriteMode());
    m_frame->setLockKeys(m_ledDirectory.isEmpty() ? readLockKeys() : readLockKeys(m_ledDirectory));
    watchMinimise();
}

void TMainApp::watchMinimise() {
    // The minimise watcher rides on the enable update, as the idle-time check it is.
    if (!m_startup->succeeded()) {
        return;
    }
    const bool now = m_frame->isMinimized();
    if (now == m_minimised) {
        return;
    }
    m_minimised = now;
    if (now) {
        m_backend.requestPollingStop();
        m_backend.closeLine();
        m_frame->setLineStatus(QStringLiteral("close by iconicstate"));
    } else {
        connectLine();
        m_backend.startPolling();
    }
}

void TMainApp::command(int id) {
    if (QAction* a = m_frame->action(id); a != nullptr && !a->isEnabled()) {
        updateCommands();
        if (!a->isEnabled()) {
            return;
        }
    }
    QMdiArea* area = m_frame->mdiArea();
    TCommandFileView* view = m_docs->activeView();
    switch (id) {
    case cmd::kFileNew:
        m_docs->newDocument();
        break;
    case cmd::kFileOpen:
        m_docs->openWithDialog();
        break;
    case cmd::kFileSave:
        m_docs->save(view);
        break;
    case cmd::kFileSaveAs:
        m_docs->saveAs(view);
        break;
    case cmd::kFileClose:
        m_docs->close(view);
        break;
    case cmd::kFilePrint:
        m_docs->print(view, m_frame.get());
        break;
    case cmd::kFilePrintSetup:
        m_docs->printSetup(m_frame.get());
        break;
    case cmd::kFilePrintPreview:
        m_docs->printPreview(view, m_frame.get());
        break;
    case cmd::kExit:
        m_frame->close();
        break;
    case cmd::kEditUndo:
    case cmd::kEditCut:
    case cmd::kEditCopy:
    case cmd::kEditPaste:
    case cmd::kEditFind:
    case cmd::kEditFindNext:
        if (view != nullptr) {
            view->runCommand(id);
        }
        break;
    case cmd::kCascade:
        area->cascadeSubWindows();
        break;
    case cmd::kTile:
        area->tileSubWindows();
        break;
    case cmd::kArrangeIcons:
        for (QMdiSubWindow* sub : area->subWindowList()) {
            if (sub->isMinimized()) {
                sub->showMinimized();
            }
        }
        break;
    case cmd::kCloseAll:
        area->closeAllSubWindows();
        break;
    case cmd::kHelpContents:
        m_help->contents(m_frame.get());
        break;
    case cmd::kHelpOnHelp:
        m_help->helpOnHelp(m_frame.get());
        break;
    case cmd::kAbout:
        about();
        break;
    case cmd::kHelpMode:
        m_helpMode->enter(!m_helpMode->active());
        break;
    case cmd::kEmergencyStop:
        emergencyStop();
        break;
    default:
        openWindow(id);
        break;
    }
    updateCommands();
}

void TMainApp::openWindow(int commandId) {
    if (commandId == cmd::kPanel) {
        openPanel(0);
        return;
    }
    if (const TWindowRow* row = rowFor(commandId, m_device.familyMask)) {
        openRow(*row);
    }
}

void TMainApp::openRow(const TWindowRow& row) {
    TWindowContext context;
    context.app = this;
    context.address = m_device.address;
    context.typeCode = m_device.typeCode;
    context.familyMask = m_device.familyMask;
    context.dpi = m_dpi;
    context.handleOf = [this](QObject* window) { return m_backend.windowHandle(window); };
    m_windows->open(row, context);
}

void TMainApp::openPanel(int mode) {
    if (mode != 0) {
        TBox box;
        box.title = QStringLiteral("To do ");
        box.text = QStringLiteral("gestionsuivi(%1,%2)").arg(mode).arg(0);
        box.systemModal = true;
        m_prompter.ask(m_frame.get(), box);
        return;
    }
    if (const TWindowRow* row = rowFor(cmd::kPanel, m_device.familyMask)) {
        openRow(*row);
    }
}

void TMainApp::activeChildChanged() {
    TCommandFileView* view = m_docs->activeView();
    m_frame->mergeMenus(view != nullptr ? view->mergedMenus() : QList<QMenu*>{});
    updateCommands();
}

// ---- about, stop, closing ---------------------------------------------------------------

void TMainApp::about() {
    char version[kTextSize] = {};
    char identity[kTextSize] = {};
    request(req::kVersionText, dlg::kAbout, version);
    request(req::kDriverIdentity, dlg::kAbout, identity);
    showAboutBox(m_frame.get(), fromCp1252(version), fromCp1252(identity));
}

void TMainApp::emergencyStop() {
    const QString stop = QStringLiteral("/STOP");
    m_frame->setMessage(stop);
    QString reply;
    m_backend.sendFreeText(stop, reply);
    m_frame->setMessage(stop + QStringLiteral(" --> ") + reply);
}

bool TMainApp::closeQuery() {
    // The configuration window has a close check of its own: a scan that runs keeps the
    // program open.
    if (QMdiSubWindow* sub = m_windows->childWithId(winid::kConfiguration);
        sub != nullptr && !sub->close()) {
        return false;
    }
    bool agree = true;
    if (m_docs->anySending()) {
        TBox box;
        box.title = QStringLiteral("test");
        box.text = QStringLiteral("can't close if sending pending !!");
        m_prompter.ask(m_frame.get(), box);
        agree = false;
    } else {
        agree = m_docs->closeAll();
    }
    m_help->quit();
    if (m_backend.projectLoaded() && !m_backend.saveProject()) {
        TBox box;
        box.title = QStringLiteral("project error");
        box.text = QStringLiteral("The project file could not be written back;\nits previous "
                                  "content is kept.");
        box.icon = TBoxIcon::Stop;
        m_prompter.ask(m_frame.get(), box);
    }
    if (agree) {
        m_backend.requestPollingStop();
        m_backend.closeLine();
    }
    return agree;
}

} // namespace tamsel::shell
