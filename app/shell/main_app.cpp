#include "main_app.h"

#include "command_docs.h"
#include "cp1252.h"
#include "help.h"
#include "init_box.h"
#include "main_frame.h"
#include "prompter.h"
#include "recent_files.h"
#include "shell_codes.h"
#include "shell_strings.h"
#include "single_instance.h"

#include <modtyp.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tamsel::shell {

namespace {

constexpr int kSliceMs = 100;
constexpr int kStepPauseMs = 200;
constexpr int kUpdateMs = 250;
constexpr int kNoteLimit = 500;
constexpr int kHelpIdLimit = 32000;
// The project hands out one address text per module type; ten types at most, so this
// bound is only a guard against a project that never says "last".
constexpr int kAddressTextLimit = 64;
constexpr const char* kWindowIdProperty = "windowId";
constexpr const char* kModuleWindowProperty = "moduleWindow";
struct TNeededFile {
    const char* name;
    TStartupFile kind;
};
constexpr TNeededFile kFilesNeeded[] = {{"tm2cmde.txt", TStartupFile::Glossary},
                                        {"template/tamsel2.ktp", TStartupFile::Project}};
constexpr const char* kTemplateProject = "template/tamsel2.ktp";
// The start-up's pauses leave each step on screen long enough for a person to read it; a
// test that starts the program many times shortens them with this variable (milliseconds,
// never longer than the normal pause).
constexpr const char* kStartupPauseVariable = "TAMSEL_STARTUP_PAUSE_MS";

int startupPauseMs(int normalMs) {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue(kStartupPauseVariable, &ok);
    return ok && ms >= 0 ? std::min(ms, normalMs) : normalMs;
}

struct TDialogSize {
    int dialogId;
    int width;
    int height;
};

// Sizes of the dialogs at 96 dots per inch; at 120 they grow with the density.
constexpr TDialogSize kDialogSizes[] = {
    {dlg::kConfiguration, 720, 520}, {dlg::kParameters, 640, 500},  {dlg::kSpecificMode, 560, 440},
    {dlg::kDirectMotion, 600, 460},  {dlg::kTerminal, 620, 420},    {dlg::kMonitoring, 560, 400},
    {dlg::kMonitoringVrx, 640, 440}, {dlg::kVariables, 580, 420},   {dlg::kVrx17Control, 640, 480},
    {dlg::kV234Control, 680, 500},   {dlg::kErrorReport, 480, 320}, {dlg::kInitBox, 440, 260},
    {dlg::kAbout, 360, 220},
};

int dialogOf(TWindowKind kind) {
    switch (kind) {
    case TWindowKind::Configuration:
        return dlg::kConfiguration;
    case TWindowKind::Dialog:
        return dlg::kTerminal;
    case TWindowKind::Parameters:
        return dlg::kParameters;
    case TWindowKind::DirectMotion:
        return dlg::kDirectMotion;
    case TWindowKind::SpecificMode:
        return dlg::kSpecificMode;
    case TWindowKind::Panel:
        return dlg::kMonitoring;
    case TWindowKind::PanelVrx:
        return dlg::kMonitoringVrx;
    case TWindowKind::Vrx17Control:
        return dlg::kVrx17Control;
    case TWindowKind::V234Control:
        return dlg::kV234Control;
    case TWindowKind::Variables:
        return dlg::kVariables;
    }
    return 0;
}

QSize dialogSize(int dialogId, int dpi) {
    for (const auto& size : kDialogSizes) {
        if (size.dialogId == dialogId) {
            if (dpi >= 120) {
                return {size.width * 5 / 4, size.height * 5 / 4};
            }
            return {size.width, size.height};
        }
    }
    return {};
}

TScreenFacts readScreen() {
    TScreenFacts facts;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        facts.dpiX = screen->logicalDotsPerInchX();
        facts.dpiY = screen->logicalDotsPerInchY();
        facts.width = screen->geometry().width();
        facts.height = screen->geometry().height();
        facts.depth = screen->depth();
    }
    return facts;
}

QString textOf(const void* record) {
    return record == nullptr ? QString() : fromCp1252(static_cast<const char*>(record));
}

void invokeShellCommand(QWidget* widget, int id) {
    if (widget != nullptr && widget->metaObject()->indexOfSlot("shellCommand(int)") >= 0) {
        QMetaObject::invokeMethod(widget, "shellCommand", Qt::QueuedConnection, Q_ARG(int, id));
    }
}

} // namespace

bool displayPasses(const TScreenFacts& screen) {
    return screen.dpiX == 96 && screen.dpiY == 96 && screen.width >= 800 && screen.height >= 600 &&
           screen.depth >= 16;
}

TMainApp::TMainApp(TShellBackend& backend, TPrompter& prompter, QObject* parent)
    : QObject(parent), m_backend(backend), m_prompter(prompter) {
    setObjectName(QStringLiteral("TMainApp"));
    m_recent = std::make_unique<TRecentFiles>(QDir::current().filePath("tm2mru.ini"));
    m_frame = std::make_unique<TMainFrame>();
    m_docs = std::make_unique<TCommandDocs>(*m_frame->mdiArea(), m_prompter, *m_recent);
    m_help = std::make_unique<THelp>(m_prompter);
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
    enterHelpMode(false);
    if (m_instance != nullptr) {
        m_instance->deleteAtom();
    }
    // The children may still send requests while they go.
    m_frame->mdiArea()->closeAllSubWindows();
}

void TMainApp::setToolHandler(std::function<void(void*)> handler) {
    m_toolHandler = std::move(handler);
}

void TMainApp::setErrorReportHandler(std::function<void(void*)> handler) {
    m_errorReportHandler = std::move(handler);
}

void TMainApp::registerWindow(TWindowKind kind, TWindowFactory factory) {
    m_factories.insert(static_cast<int>(kind), std::move(factory));
    updateCommands();
}

bool TMainApp::hasWindow(TWindowKind kind) const {
    return m_factories.contains(static_cast<int>(kind));
}

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

void TMainApp::note(const QString& text) {
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
        sendToModuleWindows(0, true);
        return;
    case req::kConfigurationChanged:
        refillDeviceSelector();
        sendToModuleWindows(cmd::kUpdate, false);
        return;
    case req::kFollowUpdate:
        if (m_backend.followUpdate(hi)) {
            openPanel(3);
        }
        return;
    case req::kVersionText:
        copyCp1252(versionText(), static_cast<char*>(record), kTextSize);
        return;
    case req::kOpenSpecificMode:
        note(textOf(record));
        openKind(TWindowKind::SpecificMode, winid::kSpecificModeBase + m_device.address);
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
            catalogue(*static_cast<TagCatalogueQuery*>(record));
        }
        return;
    case req::kHelp:
        if (record != nullptr) {
            helpRequest(*static_cast<const TagHelpInfo*>(record));
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
        runStartup(static_cast<TInitBox*>(record));
        return;
    case req::kStartupAnswer:
        m_answer = record == nullptr ? 0 : *static_cast<const std::int32_t*>(record);
        m_answerArrived = true;
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

void TMainApp::catalogue(TagCatalogueQuery& q) {
    switch (q.operation) {
    case catop::kTypeName:
        GetTypeName(q.value, q.textA);
        break;
    case catop::kTypeModule:
        GetTypeModule(q.input == nullptr ? "" : q.input, &q.value, q.textA, q.textB);
        break;
    case catop::kTypeAssocied:
        GetTypeAssocied(&q.value, q.textA);
        break;
    case catop::kTypeGenerique:
        GetTypeGenerique(&q.value, q.textA);
        break;
    case catop::kInfoTypeAssocied:
        GetInfoTypeAssocied(q.textA, q.textB);
        break;
    case catop::kStrategy:
        q.value = RechercheStrategie(q.value, q.argument);
        break;
    case catop::kLabelGenerique:
        q.value = IsLabelTypeGenerique(q.textA);
        break;
    case catop::kCodeAssocie:
        q.value = IsCodeTypeAssocie(q.value);
        break;
    case catop::kAssociateCount:
        q.value = GetAssociate(0, q.value, q.textA);
        break;
    case catop::kAssociate:
        GetAssociate(q.argument, q.value, q.textA);
        break;
    case catop::kTargetName:
        GetTargetName(q.value, q.textA);
        break;
    case catop::kVariableInfo:
        GetInfo(257, q.value, q.textA, &q.argument);
        break;
    case catop::kFindCmde:
        FindCmde(q.value, q.argument, q.textB, q.textA);
        break;
    case catop::kCollectInfo:
        if (q.data != nullptr) {
            CollectInfo(q.value, q.argument, q.data);
        }
        break;
    default:
        note(QStringLiteral("catalogue : operation %1").arg(q.operation));
        break;
    }
}

void TMainApp::dialogGeometry(TagDialogGeometry& geometry) {
    geometry.client = m_frame->mdiArea()->viewport()->rect();
    const QSize size = dialogSize(geometry.dialogId, m_dpi);
    geometry.dialog = size.isValid() ? QRect(QPoint(0, 0), size) : QRect();
}

// ---- start-up -------------------------------------------------------------------------

bool TMainApp::start() {
    m_programDirectory = QDir::currentPath();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        m_dpi = qRound(screen->logicalDotsPerInchY());
    }
    {
        TInitBox box(*this, m_prompter);
        m_initBox = &box;
        box.exec();
    }
    refillDeviceSelector();
    updateCommands();
    return m_startupOk;
}

void TMainApp::pumpFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void TMainApp::post(int code, int number, const QString& text, const QStringList& list, int current,
                    QString* out) {
    if (m_initBox == nullptr) {
        m_prompter.ask(m_frame.get(), developerBox(QStringLiteral("Erreur type MAP\n Contact QZ")));
        return;
    }
    TInitDisplay what;
    what.code = code;
    what.number = number;
    what.text = text;
    what.list = list;
    what.current = current;
    what.out = out;
    QPointer<TInitBox> box = m_initBox;
    QMetaObject::invokeMethod(
        box.data(),
        [box, what] {
            if (box != nullptr) {
                box->display(what);
            }
        },
        Qt::QueuedConnection);
}

std::int32_t TMainApp::postAndAsk(int code, const QString& text, const QStringList& list,
                                  int current, QString* out) {
    m_answerArrived = false;
    m_answer = 0;
    if (m_initBox == nullptr) {
        post(code, 0, text, list, current, out);
        return 0;
    }
    post(code, 0, text, list, current, out);
    while (!m_answerArrived && m_initBox != nullptr) {
        pumpFor(kSliceMs);
    }
    return m_answerArrived ? m_answer : 0;
}

void TMainApp::step(int number) {
    post(disp::kStep, number);
    pumpFor(startupPauseMs(kStepPauseMs));
}

void TMainApp::runStartup(TInitBox* box) {
    m_initBox = box;
    m_startupOk = startupSteps();
    post(disp::kClose);
    pumpFor(startupPauseMs(kSliceMs));
    m_frame->showMaximized();
    if (m_instance != nullptr) {
        m_instance->publish(m_frame.get());
        m_instance->deleteAtom();
    }
    if (!m_startupOk) {
        postCommand(cmd::kExit);
    } else if (!m_backend.targetIsFirst()) {
        postCommand(cmd::kDialog);
    } else if (m_backend.moduleRecordCount() == 0) {
        postCommand(cmd::kConfiguration);
    }
}

bool TMainApp::startupSteps() {
    post(disp::kTitle, 0, QStringLiteral("   Tamsel2\nKorvel\n") + versionText());
    pumpFor(startupPauseMs(kSliceMs));

    step(step::kDisplay);
    if (!displayPasses(m_screen.value_or(readScreen())) &&
        postAndAsk(disp::kDisplay) != answer::kFirst) {
        return false;
    }

    step(step::kFiles);
    for (const TNeededFile& file : kFilesNeeded) {
        const QString problem = startupFileProblem(file.kind, QString::fromLatin1(file.name));
        if (!problem.isEmpty()) {
            postAndAsk(disp::kFiles, problem);
            return false;
        }
    }

    step(step::kDriver);
    if (!m_backend.locateInCurrentDirectory()) {
        postAndAsk(disp::kDriver, QStringLiteral("4"));
        int reason = 0;
        if (!m_backend.locateByRegistry(reason)) {
            note(QStringLiteral("localize : %1").arg(reason));
            if (!m_backend.locateByAsking(m_prompter, m_initBox)) {
                postAndAsk(disp::kDriver, QStringLiteral("2"));
                return false;
            }
        }
    }
    if (!m_backend.examine()) {
        postAndAsk(disp::kDriver, QStringLiteral("3"));
        return false;
    }
    if (!m_backend.bind()) {
        TBox box;
        box.title = QStringLiteral("Contact QZ");
        box.text = QStringLiteral("Severe failure : 0x123\nQuit Tamsel2");
        box.icon = TBoxIcon::Stop;
        m_prompter.ask(m_initBox, box);
        return false;
    }

    step(step::kProject);
    QString problem;
    if (!m_backend.openProject(QString::fromLatin1(kTemplateProject), problem)) {
        postAndAsk(disp::kBadProject, problem);
        return false;
    }
    if (!m_backend.portListAvailable()) {
        postAndAsk(disp::kNoPort);
        return false;
    }

    step(step::kCards);
    step(step::kComPort);
    for (;;) {
        if (connectLine()) {
            return true;
        }
        const std::int32_t choice = postAndAsk(disp::kPortRefused, m_backend.portName());
        if (choice == answer::kFirst) {
            continue;
        }
        if (choice != answer::kThird) {
            return false;
        }
        int current = -1;
        const QStringList ports = m_backend.ports(current);
        if (postAndAsk(disp::kPortSelection, {}, ports, current) != answer::kFirst) {
            return false;
        }
        QString chosen;
        postAndAsk(disp::kPortChosen, {}, {}, -1, &chosen);
        if (!chosen.isEmpty()) {
            m_backend.setPort(chosen);
        }
    }
}

QString TMainApp::startupFileProblem(TStartupFile kind, const QString& name) {
    // The message alone cannot be acted on: it must say which file and what is wrong.
    const QString path = QDir::current().filePath(name);
    const QFileInfo info(path);
    if (!info.exists()) {
        return tr("%1: missing").arg(name);
    }
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        return tr("%1: unreadable (%2)")
            .arg(name, info.isFile() ? file.errorString() : tr("not a file"));
    }
    file.close();
    const QString content = m_backend.fileContentProblem(kind, name);
    return content.isEmpty() ? QString() : tr("%1: %2").arg(name, content);
}

bool TMainApp::connectLine() {
    m_frame->setLineStatus(m_backend.lineText());
    if (!m_backend.connectLine(m_backend.connectText())) {
        note(QStringLiteral("pb sur com init"));
        return false;
    }
    m_backend.rebuildAddressTable();
    QString text = QStringLiteral("first");
    for (int i = 0; i < kAddressTextLimit; ++i) {
        text = m_backend.nextAddressText(text);
        if (text == QLatin1String("last")) {
            break;
        }
        m_backend.sendSetting(text);
    }
    return true;
}

void TMainApp::postCommand(int id) {
    QMetaObject::invokeMethod(
        this, [this, id] { command(id); }, Qt::QueuedConnection);
}

// ---- device selection and commands ----------------------------------------------------

void TMainApp::refillDeviceSelector() {
    QComboBox* selector = m_frame->deviceSelector();
    {
        const QSignalBlocker quiet(selector);
        selector->clear();
        if (m_backend.projectLoaded()) {
            for (const TDeviceEntry& entry : m_backend.deviceEntries()) {
                selector->addItem(entry.text, entry.typeCode);
            }
        }
    }
    if (selector->count() > 0) {
        selector->setCurrentIndex(0);
        selectDevice(0);
    }
}

void TMainApp::selectDevice(int index) {
    QComboBox* selector = m_frame->deviceSelector();
    if (index < 0 || index >= selector->count()) {
        return;
    }
    const QByteArray entry = toCp1252(selector->itemText(index));
    TSelectedDevice device;
    int address = 0;
    char name[20] = {};
    if (std::sscanf(entry.constData(), "@%02d=%19s", &address, name) >= 1) {
        device.address = address;
    }
    device.name = fromCp1252(name);
    device.typeCode = selector->itemData(index).toInt();
    TagCatalogueQuery query;
    query.operation = catop::kTargetName;
    query.value = device.typeCode;
    request(req::kCatalogue, 0, &query);
    device.target = fromCp1252(query.textA);
    device.trilo = device.target == QLatin1String("TRILO");
    device.dvrx = device.target == QLatin1String("DVRX");
    device.microTrilo = device.target == QLatin1String("MICROTRILO");
    device.vrx23 = device.target == QLatin1String("VRX23");
    device.vrx34 = device.target == QLatin1String("VRX34");
    device.vrx17 = device.target == QLatin1String("VRX17");
    device.familyMask = (device.trilo ? family::kTrilo : 0) +
                        (device.microTrilo ? family::kMicroTrilo : 0) +
                        (device.vrx17 || device.dvrx ? family::kVrx17OrDvrx : 0) +
                        (device.vrx23 || device.vrx34 ? family::kVrx23OrVrx34 : 0);
    m_device = device;
    m_frame->setFamilyGroup(device.familyMask);
    updateCommands();
}

void TMainApp::updateCommands() {
    const bool configured =
        m_startupOk && m_backend.projectLoaded() && m_backend.moduleRecordCount() > 0;
    const TSelectedDevice& d = m_device;
    const bool vrxPanel = d.dvrx || d.vrx23 || d.microTrilo || d.vrx34 || d.vrx17;
    const auto enable = [this](int id, bool on) {
        if (QAction* a = m_frame->action(id)) {
            a->setEnabled(on);
        }
    };
    enable(cmd::kConfiguration, hasWindow(TWindowKind::Configuration));
    enable(cmd::kDialog, hasWindow(TWindowKind::Dialog));
    enable(cmd::kPanel, hasWindow(vrxPanel ? TWindowKind::PanelVrx : TWindowKind::Panel) &&
                            configured && m_backend.setupNumberZeroSet());
    const bool triloLike = configured && (d.trilo || d.microTrilo);
    enable(cmd::kParameters, triloLike && hasWindow(TWindowKind::Parameters));
    enable(cmd::kDirectMotion, triloLike && hasWindow(TWindowKind::DirectMotion));
    enable(cmd::kSpecificModes, triloLike && hasWindow(TWindowKind::SpecificMode));
    const bool vrxControl =
        d.familyMask == family::kVrx17OrDvrx || d.familyMask == family::kVrx23OrVrx34;
    enable(cmd::kFamilyControl,
           configured && vrxControl &&
               hasWindow(d.familyMask == family::kVrx23OrVrx34 ? TWindowKind::V234Control
                                                               : TWindowKind::Vrx17Control));
    enable(cmd::kVariables, configured && d.trilo && hasWindow(TWindowKind::Variables));

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

    // The minimise watcher rides on the enable update, as the idle-time check it is.
    if (m_startupOk) {
        const bool now = m_frame->isMinimized();
        if (now != m_minimised) {
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
        enterHelpMode(!m_helpMode);
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

void TMainApp::openWindow(int id) {
    const int address = m_device.address;
    switch (id) {
    case cmd::kConfiguration:
        openKind(TWindowKind::Configuration, winid::kConfiguration);
        break;
    case cmd::kDialog:
        openKind(TWindowKind::Dialog, winid::kDialog);
        break;
    case cmd::kParameters:
        openKind(TWindowKind::Parameters, winid::kParametersBase + address);
        break;
    case cmd::kDirectMotion:
        openKind(TWindowKind::DirectMotion, winid::kDirectMotionBase + address);
        break;
    case cmd::kSpecificModes:
        openKind(TWindowKind::SpecificMode, winid::kSpecificModeBase + address);
        break;
    case cmd::kPanel:
        openPanel(0);
        break;
    case cmd::kFamilyControl:
        openKind(m_device.familyMask == family::kVrx23OrVrx34 ? TWindowKind::V234Control
                                                              : TWindowKind::Vrx17Control,
                 winid::kFamilyControlBase + address);
        break;
    case cmd::kVariables:
        openKind(TWindowKind::Variables, 0);
        break;
    default:
        break;
    }
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
    const TSelectedDevice& d = m_device;
    const bool vrx = d.dvrx || d.vrx23 || d.microTrilo || d.vrx34 || d.vrx17;
    openKind(vrx ? TWindowKind::PanelVrx : TWindowKind::Panel, winid::kPanelBase + d.address);
}

QMdiSubWindow* TMainApp::childWithId(int identifier) const {
    for (QMdiSubWindow* sub : m_frame->mdiArea()->subWindowList()) {
        if (sub->property(kWindowIdProperty).toInt() == identifier && identifier != 0) {
            return sub;
        }
    }
    return nullptr;
}

void TMainApp::openKind(TWindowKind kind, int identifier) {
    const auto factory = m_factories.constFind(static_cast<int>(kind));
    if (factory == m_factories.constEnd()) {
        note(QStringLiteral("no window for %1").arg(identifier, 0, 16));
        return;
    }
    QMdiArea* area = m_frame->mdiArea();
    QMdiSubWindow* sub = nullptr;
    if (kind == TWindowKind::SpecificMode) {
        sub = m_specificMode;
    } else if (kind == TWindowKind::Variables) {
        sub = m_variables;
    } else {
        sub = childWithId(identifier);
    }
    if (sub != nullptr) {
        if (sub->isMinimized()) {
            sub->showNormal();
        } else {
            area->setActiveSubWindow(sub);
            sub->widget()->setFocus();
        }
        if (kind == TWindowKind::SpecificMode || kind == TWindowKind::Variables) {
            invokeShellCommand(sub->widget(), cmd::kRefresh);
        }
        return;
    }
    TWindowContext context;
    context.app = this;
    context.address = m_device.address;
    context.typeCode = m_device.typeCode;
    context.familyMask = m_device.familyMask;
    context.dpi = m_dpi;
    QWidget* widget = (*factory)(context);
    if (widget == nullptr) {
        return;
    }
    sub = area->addSubWindow(widget);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // The variables window is found by its open-flag alone.
    sub->setProperty(kWindowIdProperty, kind == TWindowKind::Variables ? 0 : identifier);
    sub->setProperty(kModuleWindowProperty, true);
    sub->setWindowIcon(widget->windowIcon());
    const QSize size = dialogSize(dialogOf(kind), m_dpi);
    if (size.isValid()) {
        sub->resize(size);
    }
    if (kind == TWindowKind::SpecificMode) {
        m_specificMode = sub;
    } else if (kind == TWindowKind::Variables) {
        m_variables = sub;
    }
    sub->show();
    widget->setFocus();
}

void TMainApp::sendToModuleWindows(int commandId, bool minimise) {
    for (QMdiSubWindow* sub : m_frame->mdiArea()->subWindowList()) {
        if (!sub->property(kModuleWindowProperty).toBool() ||
            sub->property(kWindowIdProperty).toInt() == winid::kConfiguration) {
            continue;
        }
        if (minimise) {
            sub->showMinimized();
        } else {
            invokeShellCommand(sub->widget(), commandId);
        }
    }
}

void TMainApp::activeChildChanged() {
    TCommandFileView* view = m_docs->activeView();
    m_frame->mergeMenus(view != nullptr ? view->mergedMenus() : QList<QMenu*>{});
    updateCommands();
}

// ---- help, about, stop, closing -------------------------------------------------------

void TMainApp::enterHelpMode(bool on) {
    if (on == m_helpMode) {
        return;
    }
    m_helpMode = on;
    if (QAction* a = m_frame->action(cmd::kHelpMode)) {
        a->setChecked(on);
    }
    if (on) {
        qApp->installEventFilter(this);
        QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    } else {
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
    }
}

bool TMainApp::eventFilter(QObject* watched, QEvent* event) {
    if (!m_helpMode || event->type() != QEvent::MouseButtonPress) {
        return QObject::eventFilter(watched, event);
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton) {
        enterHelpMode(false);
        return true;
    }
    if (mouse->button() != Qt::LeftButton) {
        return QObject::eventFilter(watched, event);
    }
    QWidget* target = qobject_cast<QWidget*>(watched);
    QMdiArea* area = m_frame->mdiArea();
    if (target == nullptr || (target != area && !area->isAncestorOf(target))) {
        return QObject::eventFilter(watched, event);
    }
    const int id = target->objectName().toInt();
    QWidget* holder = (id == 0 || id >= kHelpIdLimit || target->parentWidget() == nullptr)
                          ? target
                          : target->parentWidget();
    int context = holder->property("helpContext").toInt();
    if (context == 0) {
        context = 1;
    }
    m_help->topic(m_frame.get(), context);
    enterHelpMode(false);
    return true;
}

void TMainApp::helpRequest(const TagHelpInfo& info) {
    if (info.controlId == 9) {
        m_help->topic(m_frame.get(), info.contextId);
        return;
    }
    m_prompter.ask(m_frame.get(), developerBox(QStringLiteral("by evhelp in tamsel2 :%1 %2 %3 %4")
                                                   .arg(info.contextType)
                                                   .arg(info.controlId)
                                                   .arg(static_cast<qlonglong>(info.itemHandle))
                                                   .arg(info.contextId)));
}

void TMainApp::about() {
    char version[kTextSize] = {};
    char identity[kTextSize] = {};
    request(req::kVersionText, dlg::kAbout, version);
    request(req::kDriverIdentity, dlg::kAbout, identity);
    QDialog box(m_frame.get());
    box.setObjectName(QString::number(dlg::kAbout));
    box.setWindowTitle(QStringLiteral("About Tamsel2"));
    auto* layout = new QVBoxLayout(&box);
    const struct {
        const char* name;
        QString text;
    } lines[] = {{"product", QStringLiteral("Tamsel2 ")},
                 {"version", fromCp1252(version)},
                 {"driver", fromCp1252(identity)},
                 {"copyright", QStringLiteral("Copyright (C) Korvel. All rights reserved.")}};
    for (const auto& line : lines) {
        auto* label = new QLabel(line.text, &box);
        label->setObjectName(QStringLiteral("%1.%2").arg(dlg::kAbout).arg(line.name));
        layout->addWidget(label);
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), &box);
    ok->setObjectName(QStringLiteral("%1.ok").arg(dlg::kAbout));
    connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
    box.exec();
}

void TMainApp::emergencyStop() {
    const QString stop = QStringLiteral("/STOP");
    m_frame->setMessage(stop);
    QString reply;
    m_backend.sendFreeText(stop, reply);
    m_frame->setMessage(stop + QStringLiteral(" --> ") + reply);
}

bool TMainApp::closeQuery() {
    bool agree = true;
    if (m_docs->anySending()) {
        TBox box;
        box.title = QStringLiteral("test");
        box.text = QStringLiteral("can't close if sending pending !!");
        m_prompter.ask(m_frame.get(), box);
        agree = false;
    } else {
        QMdiArea* area = m_frame->mdiArea();
        area->closeAllSubWindows();
        agree = area->subWindowList().isEmpty();
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
