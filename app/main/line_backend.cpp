#include "line_backend.h"

#include <app_request.h>
#include <comm/capability_lists.h>
#include <contract/module_window.h>
#include <cp1252.h>
#include <prompter.h>
#include <shell_codes.h>

#include <QFileInfo>
#include <QSemaphore>
#include <QSettings>
#include <QThread>
#include <QWidget>

#include <cstring>
#include <memory>
#include <utility>

namespace tamsel::shell {

namespace {

QString qs(const std::string& text) {
    return fromCp1252(QByteArray::fromStdString(text));
}

std::string bytes(const QString& text) {
    return toCp1252(text).toStdString();
}

void copyText(const std::string& text, void* record) {
    if (record == nullptr) {
        return;
    }
    auto* out = static_cast<char*>(record);
    const std::size_t n = std::min<std::size_t>(text.size(), kTextSize - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

std::string textIn(const void* record) {
    if (record == nullptr) {
        return {};
    }
    const auto* in = static_cast<const char*>(record);
    return std::string(in, strnlen(in, kTextSize));
}

void fill(TagList& list, const project::ListFill& from) {
    list.items.clear();
    list.values.clear();
    for (const project::ListEntry& entry : from.entries) {
        list.items << qs(entry.text);
        list.values << entry.value.value_or(-1);
    }
    list.selected = from.selected;
}

std::vector<std::string> splitBlanks(const std::string& text) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(' ', at);
        if (start == std::string::npos) {
            break;
        }
        const std::size_t end = text.find(' ', start);
        out.push_back(text.substr(start, end - start));
        at = end == std::string::npos ? text.size() : end;
    }
    return out;
}

// Windows known by their handles; touched on the user-interface thread only.
QHash<tkv::TKV_WindowHandle, QPointer<QObject>>& windows() {
    static QHash<tkv::TKV_WindowHandle, QPointer<QObject>> known;
    return known;
}

} // namespace

// ---- the "localize" setting --------------------------------------------------------------

TQtSettingsStore::TQtSettingsStore(QString file) : m_file(std::move(file)) {}

QString TQtSettingsStore::fileName() const {
    if (!m_file.isEmpty()) {
        return m_file;
    }
    const QSettings system(QSettings::IniFormat, QSettings::SystemScope, "Korvel", "LINKOR");
    return system.fileName();
}

tkv::TKV_Lookup TQtSettingsStore::read(const std::string&, const std::string& name,
                                       std::string& value) {
    // The key of the registry is the settings file itself.
    const QString file = fileName();
    if (!QFileInfo(file).isFile()) {
        return tkv::TKV_Lookup::NoKey;
    }
    QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        return tkv::TKV_Lookup::NoKey;
    }
    const QString key = QString::fromStdString(name);
    if (!settings.contains(key)) {
        return tkv::TKV_Lookup::NoValue;
    }
    value = bytes(settings.value(key).toString());
    return tkv::TKV_Lookup::Found;
}

// ---- construction ------------------------------------------------------------------------

TLineBackend::TLineBackend(TPrompter& prompter, QString settingsFile)
    : m_prompter(prompter), m_settings(std::move(settingsFile)) {
    setObjectName(QStringLiteral("TLineBackend"));
    m_comm = std::make_unique<tkv::TKV_CommDLL>(*this);
    m_comm->setNotifyTarget(handleOf(this), 1);
    m_fileLines = std::make_unique<TCommFileLineLink>(*m_comm);
}

TLineBackend::~TLineBackend() {
    // The poll thread may still deliver; it must be gone before this object is. A delivery
    // it is waiting on now would wait for this thread for ever: it gives up instead.
    m_closing.store(true);
    m_fileLines.reset();
    m_comm.reset();
}

void TLineBackend::setNoteSink(std::function<void(int, const QString&)> sink) {
    m_noteSink = std::move(sink);
}

tkv::TKV_WindowHandle TLineBackend::handleOf(QObject* window) {
    const auto handle = reinterpret_cast<tkv::TKV_WindowHandle>(window);
    if (window != nullptr) {
        windows().insert(handle, window);
    }
    return handle;
}

void TLineBackend::runOnUiThread(const std::function<void()>& work) {
    if (QThread::currentThread() == thread()) {
        work();
        return;
    }
    // A blocking queued call could not be abandoned when this object goes while the call
    // waits: the wait is a semaphore looked at in steps instead. A call given up is never
    // run, since its queued event goes with this object.
    auto done = std::make_shared<QSemaphore>(0);
    QMetaObject::invokeMethod(
        this,
        [work, done] {
            work();
            done->release();
        },
        Qt::QueuedConnection);
    while (!done->tryAcquire(1, kDeliveryStepMs)) {
        if (m_closing.load()) {
            return;
        }
    }
}

// ---- the binding's shell -------------------------------------------------------------------

void TLineBackend::post(tkv::TKV_WindowHandle, int32_t, int32_t first, const std::string& text) {
    const QString note = qs(text);
    QMetaObject::invokeMethod(
        this,
        [this, first, note] {
            if (m_noteSink) {
                m_noteSink(first, note);
            }
        },
        Qt::QueuedConnection);
}

void TLineBackend::send(tkv::TKV_WindowHandle window, int32_t, int32_t first, int32_t kind) {
    runOnUiThread([window, first, kind] {
        const QPointer<QObject> target = windows().value(window);
        if (target == nullptr) {
            windows().remove(window);
            return;
        }
        if (auto* module = dynamic_cast<contract::TModuleWindow*>(target.data())) {
            module->pollCompleted(first, kind);
        }
    });
}

void TLineBackend::showBox(const std::string& text, const std::string& title) {
    runOnUiThread([this, text, title] {
        TBox box;
        box.title = qs(title);
        box.text = qs(text);
        box.icon = TBoxIcon::Exclamation;
        m_prompter.ask(nullptr, box);
    });
}

bool TLineBackend::askFile(tkv::TKV_WindowHandle, const std::string& title,
                           const std::string& filterName, const std::string& filterPattern,
                           const std::string& startDirectory, std::string& chosen) {
    bool ok = false;
    runOnUiThread([&] {
        TFileQuestion question;
        question.title = qs(title);
        question.directory = qs(startDirectory);
        question.filter = QStringLiteral("%1(%2)").arg(qs(filterName), qs(filterPattern));
        TPrompter& prompter = m_askPrompter != nullptr ? *m_askPrompter : m_prompter;
        const QString path = prompter.chooseFile(m_askOwner, question);
        if (!path.isEmpty()) {
            chosen = bytes(path);
            ok = true;
        }
    });
    return ok;
}

// ---- the project's host ---------------------------------------------------------------------

const project::DriverCapabilities* TLineBackend::driverCapabilities() {
    return m_comm->config().loaded != 0 ? this : nullptr;
}

void TLineBackend::postNote(std::string_view note) {
    post(0, 0, tkv::kNoteDiagnostic, std::string(note));
}

void TLineBackend::showBox(std::string_view text, std::string_view title) {
    showBox(std::string(text), std::string(title));
}

std::vector<std::string> TLineBackend::targets() const {
    return splitBlanks(m_comm->config().targets);
}

std::vector<std::string> TLineBackend::ports() const {
    return splitBlanks(m_comm->config().ports);
}

std::vector<std::string> TLineBackend::protocols(std::string_view target) const {
    const tkv::TagConfigDLL& config = m_comm->config();
    const int t = tkv::caps::targetIndex(config, std::string(target));
    std::vector<std::string> out;
    for (int i = 0; i < tkv::caps::protocolCount(config, t); ++i) {
        out.push_back(tkv::caps::protocol(config, t, i));
    }
    return out;
}

std::vector<std::string> TLineBackend::bauds(std::string_view target,
                                             std::string_view protocol) const {
    const tkv::TagConfigDLL& config = m_comm->config();
    const int t = tkv::caps::targetIndex(config, std::string(target));
    std::vector<std::string> out;
    if (protocol.empty()) {
        for (int i = 0; i < tkv::caps::baudCount(config, t); ++i) {
            out.push_back(tkv::caps::baud(config, t, i));
        }
        return out;
    }
    const int p = tkv::caps::protocolIndex(config, t, std::string(protocol));
    for (int i = 0; i < tkv::caps::validBaudCount(config, t, p); ++i) {
        out.push_back(tkv::caps::validBaud(config, t, p, i));
    }
    return out;
}

// ---- the shell's backend ---------------------------------------------------------------------

bool TLineBackend::locateInCurrentDirectory() {
    return m_comm->locateInCurrentDirectory();
}

bool TLineBackend::locateByRegistry(int& reason) {
    int32_t why = 0;
    bool missing = false;
    const bool found = m_comm->locateBySettings(m_settings, why, missing);
    reason = why;
    return found;
}

bool TLineBackend::locateByAsking(TPrompter& prompter, QWidget* owner) {
    m_askOwner = owner;
    m_askPrompter = &prompter;
    const bool found = m_comm->locateByAsking(handleOf(owner));
    m_askPrompter = nullptr;
    return found;
}

bool TLineBackend::examine() {
    return m_comm->examine();
}

bool TLineBackend::bind() {
    return m_comm->bind();
}

bool TLineBackend::openProject(const QString& fileName, QString& problem) {
    const project::LoadReport report = m_project.open(bytes(fileName), *this);
    if (!report.opened) {
        post(0, 0, tkv::kNoteDiagnostic, "project : " + report.error);
        problem = qs(report.error);
        return false;
    }
    // A bad port or baud rate is ignored like any bad line, but the line then opens
    // with another setting than the file names: without a word, the user would take
    // the refusal of that setting for a fault of the port.
    QStringList bad;
    for (const project::IgnoredLine& line : report.ignored) {
        if (!line.badValue.empty()) {
            bad << QStringLiteral("line %1: %2").arg(line.line).arg(qs(line.badValue));
        }
    }
    if (!bad.isEmpty()) {
        TBox box;
        box.title = QStringLiteral("project error");
        box.text = tr("Bad value in the project file %1\n%2\nThe line is ignored: "
                      "the line setting is %3")
                       .arg(fileName, bad.join(QLatin1Char('\n')), qs(m_project.lineText()));
        box.icon = TBoxIcon::Exclamation;
        m_prompter.ask(nullptr, box);
    }
    return true;
}

QString TLineBackend::fileContentProblem(TStartupFile kind, const QString& fileName) {
    std::string error;
    const auto content = project::readFile(bytes(fileName), error);
    if (!content) {
        return qs(error);
    }
    const auto problem = kind == TStartupFile::Glossary ? project::checkGlossaryText(*content)
                                                        : project::checkProjectText(*content);
    return problem ? qs(project::describe(*problem)) : QString();
}

bool TLineBackend::projectLoaded() const {
    return m_project.loaded();
}

bool TLineBackend::saveProject() {
    const project::SaveReport report = m_project.save();
    if (!report.ok()) {
        post(0, 0, tkv::kNoteDiagnostic, "project : " + report.error);
    }
    return report.ok();
}

bool TLineBackend::portListAvailable() {
    return m_project.hasPortList();
}

QString TLineBackend::lineText() {
    return qs(m_project.lineText());
}

QString TLineBackend::portName() {
    return qs(m_project.port());
}

QStringList TLineBackend::ports(int& current) {
    TagList list;
    fill(list, m_project.fillList(project::selector::kPorts));
    current = list.selected;
    return list.items;
}

void TLineBackend::setPort(const QString& port) {
    m_project.setPort(bytes(port));
}

bool TLineBackend::targetIsFirst() {
    return m_project.isProjectTarget(0);
}

int TLineBackend::moduleRecordCount() {
    return m_project.loaded() ? m_project.moduleRecordCount() : 0;
}

bool TLineBackend::setupNumberZeroSet() {
    return m_project.isSetupNumberSet(0);
}

QVector<TDeviceEntry> TLineBackend::deviceEntries() {
    // The list holds one entry per used position of the configuration, in that order: the
    // address comes from the record, not back out of the text the project formatted.
    const project::ListFill fill = m_project.fillList(project::selector::kDevices);
    const project::TKV_GestCnfMod& configuration = m_project.configuration();
    const std::vector<int32_t>& used = configuration.usedPositions();
    QVector<TDeviceEntry> out;
    for (std::size_t i = 0; i < fill.entries.size(); ++i) {
        const project::ModuleRecord* record =
            i < used.size() ? configuration.recordAt(used[i]) : nullptr;
        out.append({qs(fill.entries[i].text), fill.entries[i].value.value_or(0),
                    record != nullptr ? record->address : 0});
    }
    return out;
}

QString TLineBackend::connectText() {
    return qs(m_project.connectText());
}

bool TLineBackend::connectLine(const QString& text) {
    return m_comm->connect(bytes(text).c_str());
}

void TLineBackend::rebuildAddressTable() {
    m_project.buildAddressTable();
}

QString TLineBackend::nextAddressText(const QString& previous) {
    return qs(m_project.driverAddressText(bytes(previous)));
}

bool TLineBackend::sendSetting(const QString& text) {
    return m_comm->sendSetting(bytes(text).c_str());
}

void TLineBackend::closeLine() {
    m_comm->close();
}

void TLineBackend::requestPollingStop() {
    m_comm->requestStop();
}

void TLineBackend::startPolling() {
    m_comm->startPolling();
}

bool TLineBackend::sendFreeText(const QString& text, QString& reply) {
    tkv::TagFreeText record;
    record.mode = tkv::kFreeTextAsTyped;
    copyCp1252(text, record.text, tkv::kTextSize);
    const bool ok = m_comm->sendFreeText(record);
    reply = fromCp1252(record.reply);
    return ok;
}

QString TLineBackend::driverIdentity() {
    char identity[tkv::kTextSize] = {};
    m_comm->getInformation(tkv::kInfoIdentity, identity);
    return fromCp1252(identity);
}

bool TLineBackend::followUpdate(int value) {
    return m_project.updateSwPn0(value);
}

bool TLineBackend::route(std::uint16_t code, std::uint16_t hi, void* record) {
    if (!tkv::TKV_CommDLL::handles(code)) {
        return routeProject(code, hi, record);
    }
    m_comm->request(code, hi, record);
    if (code == req::kFreeTextKept && record != nullptr) {
        m_project.addLastCommand(static_cast<const tkv::TagFreeText*>(record)->text);
    }
    return true;
}

bool TLineBackend::routeProject(std::uint16_t code, std::uint16_t hi, void* record) {
    const auto list = [record]() -> TagList* { return static_cast<TagList*>(record); };
    const auto int32 = [record]() -> std::int32_t* { return static_cast<std::int32_t*>(record); };
    if (record == nullptr) {
        // Every project request carries its record; a missing one is the sender's fault.
        return code == req::kSetLineAndReconnect;
    }
    switch (code) {
    case req::kSetModuleRecordText:
    case req::kSetModuleRecord:
        m_project.setModuleRecord(textIn(record));
        return true;
    case req::kSetupSummary:
        copyText(m_project.setupSummary(), record);
        return true;
    case req::kListVariables:
        fill(*list(), m_project.fillList(project::selector::kTypeVariables, list()->argument));
        return true;
    case req::kListDeviceEntries:
        fill(*list(), m_project.fillList(project::selector::kDevices));
        return true;
    case req::kListModules:
        fill(*list(), m_project.fillList(project::selector::kModules));
        return true;
    case req::kListModulesNone:
        fill(*list(), m_project.fillList(project::selector::kModulesWithNone));
        return true;
    case req::kListModulesWithVariables:
        fill(*list(), m_project.fillList(project::selector::kModulesWithVariables));
        return true;
    case req::kListVariableLabels:
        fill(*list(), m_project.fillList(project::selector::kVariableNamesBase + hi));
        return true;
    case req::kModuleRecordOp:
        m_project.eraseLabels(hi);
        return true;
    case req::kModuleTitle:
        copyText(m_project.moduleTitle(hi), record);
        return true;
    case req::kModuleRecordUpdate:
        m_project.storeLabels(hi, *static_cast<const std::vector<project::VariableLabel>*>(record));
        return true;
    case req::kSetupLabel:
        copyText(m_project.setupLabel(hi), record);
        return true;
    case req::kSetSetupLabel:
        m_project.setSetupLabel(hi, textIn(record));
        return true;
    case req::kLastCommandCount:
        *int32() = m_project.lastCommandCount();
        return true;
    case req::kLastCommand:
        copyText(m_project.lastCommand(hi), record);
        return true;
    case req::kPortList:
        copyText(m_project.portList(), record);
        return true;
    case req::kBaudList:
        copyText(m_project.baudList(), record);
        return true;
    case req::kProtocolList:
        copyText(m_project.protocolList(), record);
        return true;
    case req::kModuleRecordCount:
        *int32() = m_project.moduleRecordCount();
        return true;
    case req::kModuleRecord:
        copyText(m_project.moduleRecordText(hi), record);
        return true;
    case req::kSetLineAndReconnect:
        m_project.setLine(textIn(record));
        return true;
    case req::kSetModuleRecordCount:
        m_project.setModuleRecordCount(*int32());
        return true;
    case req::kListTargets:
        fill(*list(), m_project.targetChoices(true));
        return true;
    case req::kListPorts:
        fill(*list(), m_project.portChoices(true));
        return true;
    case req::kListProtocols:
    case req::kListProtocolsAll:
        fill(*list(),
             m_project.protocolChoices(bytes(list()->target), code == req::kListProtocols));
        return true;
    case req::kListBauds:
    case req::kListBaudsAll:
        fill(*list(), m_project.baudChoices(bytes(list()->target), bytes(list()->protocol),
                                            code == req::kListBauds));
        return true;
    case req::kListGlossary: {
        TagList& out = *list();
        out.items.clear();
        out.values.clear();
        for (const std::string& entry : m_project.glossary(bytes(out.target))) {
            out.items << qs(entry);
            out.values << -1;
        }
        out.selected = -1;
        return true;
    }
    default:
        return false;
    }
}

} // namespace tamsel::shell
