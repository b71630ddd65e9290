#include "project/project.h"

#include "modtyp.h"
#include "text.h"

#include <algorithm>
#include <array>

namespace tamsel::project {

namespace fs = std::filesystem;

namespace {

enum class Section { None, LastCommand, Property, Configuration, Setup, Label, Other };

/// What a line opens: None when it is no section header at all.
Section headerOf(std::string_view line) {
    // An over-long line is not one the program wrote; taking it for a header
    // would let a stray line end a section.
    if (line.empty() || line.front() != '[' || line.size() > kMaxLineLength) {
        return Section::None;
    }
    if (text::contains(line, kLastCommandHeader)) {
        return Section::LastCommand;
    }
    if (text::contains(line, kPropertyHeader)) {
        return Section::Property;
    }
    if (text::contains(line, kConfigurationHeader)) {
        return Section::Configuration;
    }
    if (text::contains(line, kSetupHeader)) {
        return Section::Setup;
    }
    if (text::contains(line, kLabelHeader)) {
        return Section::Label;
    }
    return Section::Other;
}

std::string_view headerText(Section section) {
    switch (section) {
    case Section::LastCommand:
        return kLastCommandHeader;
    case Section::Configuration:
        return kConfigurationHeader;
    case Section::Setup:
        return kSetupHeader;
    case Section::Label:
        return kLabelHeader;
    default:
        return {};
    }
}

bool isComment(std::string_view line) {
    return text::trim(line).empty() || line.front() == '*' || line.front() == ';';
}

std::string typeName(int32_t code) {
    char name[64] = {};
    ::GetTypeName(code, name);
    return name;
}

std::string targetName(int32_t code) {
    char name[64] = {};
    ::GetTargetName(code, name);
    return name;
}

int32_t variableCount(int32_t code) {
    return ::RechercheStrategie(code, 5);
}

std::string variableFileName(int32_t code) {
    char name[256] = {};
    ::FindCmde(code, 8, "listevariable", name);
    return name;
}

std::string cut(std::string_view s, std::size_t n) {
    return std::string(s.substr(0, n));
}

std::vector<std::string> listItems(std::string_view list) {
    std::vector<std::string> out;
    for (const auto piece : text::split(list, ',')) {
        if (!piece.empty()) {
            out.emplace_back(piece);
        }
    }
    return out;
}

ListFill choices(const std::vector<std::string>& names, std::string_view current, bool select) {
    ListFill fill;
    for (const auto& name : names) {
        if (select && fill.selected < 0 && name == current) {
            fill.selected = static_cast<int>(fill.entries.size());
        }
        fill.entries.push_back({name, std::nullopt});
    }
    return fill;
}

} // namespace

TKV_Project::TKV_Project(FileSteps& steps) : m_steps(steps) {}

// ---------------------------------------------------------------- load and save

void TKV_Project::readSections(std::string_view bytes, Model& model,
                               std::vector<IgnoredLine>& ignored) {
    Section current = Section::None;
    int number = 0;
    for (const auto& line : text::lines(bytes)) {
        ++number;
        const std::string_view content = line.content;
        const Section header = headerOf(content);
        if (header != Section::None) {
            current = header;
            continue;
        }
        if (current == Section::None || current == Section::Property || current == Section::Other ||
            isComment(content)) {
            continue;
        }
        bool taken = false;
        if (content.size() <= kMaxLineLength) {
            switch (current) {
            case Section::LastCommand:
                taken = model.lastCommand.readLine(content);
                break;
            case Section::Configuration:
                taken = model.configuration.readLine(content);
                break;
            case Section::Setup:
                taken = model.setup.readLine(content);
                break;
            case Section::Label:
                taken = model.label.readLine(content);
                break;
            default:
                break;
            }
        }
        if (!taken) {
            std::string badValue;
            if (current == Section::Configuration) {
                badValue = TKV_GestCnfMod::badValue(content).value_or(std::string());
            }
            ignored.push_back({number, headerText(current), std::move(badValue)});
        }
    }
}

LoadReport TKV_Project::open(std::string_view fileName, ProjectHost& host) {
    std::error_code ec;
    fs::path current = fs::current_path(ec);
    return open(fileName, host, current);
}

LoadReport TKV_Project::open(std::string_view fileName, ProjectHost& host,
                             const fs::path& currentDirectory) {
    LoadReport report;
    const fs::path path = currentDirectory / fs::path(std::string(fileName));
    const auto bytes = readFile(path, report.error);
    if (!bytes) {
        m_path.clear();
        return report;
    }
    if (const auto problem = checkProjectText(*bytes)) {
        m_path.clear();
        report.problemLine = problem->line;
        report.error = path.string() + ": " + describe(*problem);
        return report;
    }

    Model fresh;
    readSections(*bytes, fresh, report.ignored);
    // The copy goes through a temporary file too: a copy cut short by a full disk
    // would otherwise destroy the good one it replaces.
    const fs::path backup = siblingWithExtension(path, ".bak");
    fs::path backupTemp = backup;
    backupTemp += ".tmp";
    std::string backupError;
    report.backupWritten = replaceFile(backup, backupTemp, *bytes, m_steps, backupError);

    m_model = std::move(fresh);
    m_path = path;
    m_directory = currentDirectory;
    m_host = &host;
    m_modified = false;
    m_capabilities = host.driverCapabilities();
    report.glossaryPresent = m_glossary.checkPresence(currentDirectory / kGlossaryFileName);
    report.opened = true;
    return report;
}

std::string TKV_Project::render(std::string_view bytes) const {
    const std::string_view eol = text::lineEnd(bytes);
    std::string out;
    out.reserve(bytes.size() + 256);
    bool skipping = false;
    std::array<bool, static_cast<std::size_t>(Section::Other) + 1> written{};
    for (const auto& line : text::lines(bytes)) {
        const Section header = headerOf(line.content);
        if (header == Section::None) {
            if (!skipping) {
                out += line.raw;
            }
            continue;
        }
        out += line.raw;
        const bool rewrite = header == Section::Configuration || header == Section::Setup ||
                             header == Section::Label ||
                             (header == Section::LastCommand && m_model.lastCommand.modified());
        skipping = rewrite;
        if (!rewrite) {
            continue;
        }
        if (line.raw.back() != '\n') {
            out += eol;
        }
        bool& done = written[static_cast<std::size_t>(header)];
        if (done) {
            // The model already went into the first copy of this section;
            // a second copy keeping its old lines would override it at the
            // next load.
            out += ';';
            out += eol;
            continue;
        }
        done = true;
        switch (header) {
        case Section::LastCommand:
            m_model.lastCommand.write(out, eol);
            break;
        case Section::Configuration:
            m_model.configuration.write(out, eol);
            break;
        case Section::Setup:
            m_model.setup.write(out, eol);
            break;
        case Section::Label:
            m_model.label.write(out, eol);
            break;
        default:
            break;
        }
    }
    return out;
}

SaveReport TKV_Project::save() {
    SaveReport report;
    if (!m_modified) {
        return report;
    }
    if (m_path.empty()) {
        report.status = SaveStatus::NoProject;
        return report;
    }
    // A project reached through a symbolic link is replaced where it lives,
    // and the link stays a link.
    fs::path target = m_path;
    std::error_code ec;
    if (fs::is_symlink(m_path, ec)) {
        const fs::path resolved = fs::canonical(m_path, ec);
        if (!ec) {
            target = resolved;
        }
    }
    const auto bytes = readFile(target, report.error);
    if (!bytes) {
        report.status = SaveStatus::Failed;
        return report;
    }
    const std::string out = render(*bytes);
    if (!replaceFile(target, siblingWithExtension(target, ".tmp"), out, m_steps, report.error)) {
        report.status = SaveStatus::Failed;
        return report;
    }
    m_modified = false;
    m_model.lastCommand.clearModified();
    m_model.setup.clearModified();
    report.status = SaveStatus::Saved;
    return report;
}

bool TKV_Project::changed(bool accepted) {
    if (accepted) {
        m_modified = true;
    }
    return accepted;
}

void TKV_Project::note(std::string_view textIn) const {
    if (m_host) {
        m_host->postNote(textIn);
    }
}

// ---------------------------------------------------------------- texts

std::vector<std::string> TKV_Project::driverTargets() const {
    return m_capabilities ? m_capabilities->targets() : std::vector<std::string>{};
}

std::string TKV_Project::lastCommand(int i) const {
    return m_model.lastCommand.text(i);
}

std::string TKV_Project::portList() const {
    const auto& given = m_model.configuration.portList();
    if (given) {
        return *given;
    }
    return m_capabilities ? text::join(m_capabilities->ports(), ",") : std::string();
}

std::string TKV_Project::baudList() const {
    const auto& given = m_model.configuration.baudList();
    if (given) {
        return *given;
    }
    const auto targets = driverTargets();
    if (targets.empty()) {
        return {};
    }
    const auto protocols = m_capabilities->protocols(targets.front());
    const std::string protocol = protocols.empty() ? std::string() : protocols.front();
    return text::join(m_capabilities->bauds(targets.front(), protocol), ",");
}

std::string TKV_Project::protocolList() const {
    const auto& given = m_model.configuration.protocolList();
    if (given) {
        return *given;
    }
    const auto targets = driverTargets();
    if (targets.empty()) {
        return {};
    }
    return text::join(m_capabilities->protocols(targets.front()), ",");
}

std::string TKV_Project::recordText(const ModuleRecord* r) const {
    if (!r) {
        return {};
    }
    std::string out = text::format("%d,%d,%d,", r->recordNumber, r->address, r->typeCode);
    out += r->label + "," + r->unit + "," + r->serial;
    out += text::format(",%d", r->state);
    return out;
}

std::string TKV_Project::moduleRecordText(int i) const {
    const auto& cnf = m_model.configuration;
    const ModuleRecord* r = cnf.recordInOrder(i);
    return recordText(r ? r : cnf.recordInOrder(0));
}

std::string TKV_Project::lineText() const {
    const auto& cnf = m_model.configuration;
    return cnf.port() + " at " + cnf.baud() + " bauds ";
}

std::string TKV_Project::setupModuleRecordText(int n) const {
    const auto& cnf = m_model.configuration;
    const int32_t position = m_model.setup.number(n);
    const ModuleRecord* r = position >= 0 ? cnf.recordAt(position) : nullptr;
    return recordText(r ? r : cnf.recordInOrder(0));
}

std::string TKV_Project::setupSummary() const {
    return m_model.setup.summary();
}

std::string TKV_Project::setupLabel(int n) const {
    return m_model.setup.label(n);
}

std::string TKV_Project::port() const {
    return m_model.configuration.port();
}

std::string TKV_Project::connectText() const {
    const auto& cnf = m_model.configuration;
    return cnf.target() + " " + cnf.port() + " " + cnf.protocol() + " " + cnf.baud() + " ";
}

std::string TKV_Project::driverAddressText(std::string_view previous) {
    return m_link.next(previous);
}

std::string TKV_Project::moduleTitle(int address) const {
    const ModuleRecord* r = m_model.configuration.recordWithAddress(address);
    if (!r) {
        return {};
    }
    return text::format("%02d ", r->address) + cut(typeName(r->typeCode), 10) + " " +
           cut(r->label, 10);
}

// ---------------------------------------------------------------- values and queries

int32_t TKV_Project::lastCommandCount() const {
    return m_model.lastCommand.count();
}

int32_t TKV_Project::setupNumber(int k) const {
    return m_model.setup.number(k);
}

int32_t TKV_Project::moduleRecordCount() const {
    return m_model.configuration.recordCount();
}

bool TKV_Project::hasPortList() const {
    const auto& given = m_model.configuration.portList();
    if (given && !given->empty()) {
        return true;
    }
    return m_capabilities && !m_capabilities->ports().empty();
}

bool TKV_Project::isProjectTarget(int i) const {
    const auto targets = driverTargets();
    return i >= 0 && static_cast<std::size_t>(i) < targets.size() &&
           targets[static_cast<std::size_t>(i)] == m_model.configuration.target();
}

bool TKV_Project::isSetupNumberSet(int k) const {
    return m_model.setup.number(k) != -1;
}

bool TKV_Project::isSwModeZero() const {
    return m_model.setup.swMode() == 0;
}

bool TKV_Project::isAddressTableInitialised() const {
    return m_link.initialised();
}

// ---------------------------------------------------------------- changes

bool TKV_Project::addLastCommand(std::string_view command) {
    return changed(m_model.lastCommand.add(command));
}

bool TKV_Project::setModuleRecord(std::string_view recordText) {
    auto& cnf = m_model.configuration;
    if (recordText.size() == 3) {
        const auto position = text::toInt(recordText);
        return changed(position && cnf.clearRecord(*position));
    }
    // "%d,%d,%d,%[^,],%[^,],%d,%s": the serial is the first word of the rest.
    std::vector<std::string_view> fields;
    std::string_view rest = recordText;
    for (int i = 0; i < 6; ++i) {
        const auto comma = rest.find(',');
        if (comma == std::string_view::npos) {
            return false;
        }
        fields.push_back(text::trim(rest.substr(0, comma)));
        rest.remove_prefix(comma + 1);
    }
    const auto serialWords = text::words(rest);
    if (serialWords.empty()) {
        return false;
    }
    const auto number = text::toInt(fields[0]);
    const auto address = text::toInt(fields[1]);
    const auto typeCode = text::toInt(fields[2]);
    const auto state = text::toInt(fields[5]);
    if (!number || !address || !typeCode || !state) {
        return false;
    }
    ModuleRecord record;
    record.recordNumber = *number;
    record.address = *address;
    record.typeCode = *typeCode;
    record.label = std::string(fields[3]);
    record.unit = std::string(fields[4]);
    record.state = *state;
    record.serial = std::string(serialWords.front());
    return changed(cnf.setRecord(record));
}

bool TKV_Project::setSetupNumbers(std::string_view numbers) {
    return changed(m_model.setup.setNumbers(numbers));
}

bool TKV_Project::setSetupLabel(int n, std::string_view label) {
    return changed(m_model.setup.setLabel(n, label));
}

bool TKV_Project::setLine(std::string_view line) {
    const auto w = text::words(line);
    if (w.size() < 4) {
        return false;
    }
    return changed(m_model.configuration.setLine(w[0], w[1], w[2], w[3]));
}

bool TKV_Project::setModuleRecordCount(int32_t count) {
    return changed(m_model.configuration.setRecordCount(count));
}

bool TKV_Project::setPort(std::string_view portName) {
    return changed(m_model.configuration.setPort(portName));
}

void TKV_Project::buildAddressTable() {
    std::vector<std::pair<int32_t, std::string>> modules;
    const auto& cnf = m_model.configuration;
    for (const int32_t position : cnf.usedPositions()) {
        const ModuleRecord* r = cnf.recordAt(position);
        modules.emplace_back(r->address, targetName(r->typeCode));
    }
    m_link.build(modules);
}

bool TKV_Project::updateSwPn0(int32_t v) {
    return changed(m_model.setup.updatePn0(v));
}

bool TKV_Project::eraseLabels(int32_t position) {
    return changed(m_model.label.clearSlot(position));
}

bool TKV_Project::storeLabels(int32_t position, const std::vector<VariableLabel>& labels) {
    return changed(m_model.label.setSlot(position, labels));
}

// ---------------------------------------------------------------- by number

std::optional<std::string> TKV_Project::text(int n, int argument, std::string_view in) {
    switch (n) {
    case op::kTextLastCommand:
        return lastCommand(argument);
    case op::kTextPortList:
        return portList();
    case op::kTextBaudList:
        return baudList();
    case op::kTextProtocolList:
        return protocolList();
    case op::kTextModuleRecord:
        return moduleRecordText(argument);
    case op::kTextLine:
        return lineText();
    case op::kTextSetupModuleRecord:
        return setupModuleRecordText(argument);
    case op::kTextSetupSummary:
        return setupSummary();
    case op::kTextSetupLabel:
        return setupLabel(argument);
    case op::kTextPort:
        return port();
    case op::kTextConnect:
        return connectText();
    case op::kTextDriverAddress:
        return driverAddressText(in);
    case op::kTextModuleTitle:
        return moduleTitle(argument);
    default:
        return std::nullopt;
    }
}

std::optional<int32_t> TKV_Project::value(int n, int argument) const {
    switch (n) {
    case op::kValueLastCommandCount:
        return lastCommandCount();
    case op::kValueSetupNumber:
        return setupNumber(argument);
    case op::kValueModuleRecordCount:
        return moduleRecordCount();
    default:
        return std::nullopt;
    }
}

std::optional<bool> TKV_Project::query(int n, int argument) const {
    switch (n) {
    case op::kQueryPortList:
        return hasPortList();
    case op::kQueryDriverTarget:
        return isProjectTarget(argument);
    case op::kQuerySetupNumberSet:
        return isSetupNumberSet(argument);
    case op::kQuerySwModeZero:
        return isSwModeZero();
    case op::kQueryAddressTable:
        return isAddressTableInitialised();
    default:
        return std::nullopt;
    }
}

std::optional<bool> TKV_Project::set(int n, int argument, std::string_view in) {
    switch (n) {
    case op::kSetLastCommand:
        return addLastCommand(in);
    case op::kSetModuleRecord:
        return setModuleRecord(in);
    case op::kSetSetupNumbers:
        return setSetupNumbers(in);
    case op::kSetSetupLabel:
        return setSetupLabel(argument, in);
    case op::kSetLine:
        return setLine(in);
    case op::kSetModuleRecordCount:
        return setModuleRecordCount(argument);
    case op::kSetPort:
        return setPort(in);
    case op::kSetAddressTable:
        buildAddressTable();
        return true;
    default:
        return std::nullopt;
    }
}

// ---------------------------------------------------------------- lists

ListFill TKV_Project::fillList(int32_t sel, int32_t argument) {
    const auto& cnf = m_model.configuration;
    if ((sel & ~0xFFFF) == selector::kVariableNamesBase) {
        return variableNames(sel & 0xFFFF);
    }
    ListFill fill;
    switch (sel) {
    case selector::kPorts:
        return portChoices(true);
    case selector::kProtocols:
        return choices(listItems(protocolList()), cnf.protocol(), true);
    case selector::kBauds:
        return choices(listItems(baudList()), cnf.baud(), true);
    case selector::kModules:
        for (const int32_t position : cnf.usedPositions()) {
            const ModuleRecord* r = cnf.recordAt(position);
            fill.entries.push_back({text::format("%02d ", r->address) +
                                        cut(typeName(r->typeCode), 10) + " " + cut(r->label, 10),
                                    std::nullopt});
        }
        return fill;
    case selector::kModulesWithNone:
        fill.entries.push_back({"None", std::nullopt});
        for (const int32_t position : cnf.usedPositions()) {
            const ModuleRecord* r = cnf.recordAt(position);
            fill.entries.push_back(
                {text::format("%02d ", r->address) + cut(r->label, 10), std::nullopt});
        }
        return fill;
    case selector::kModulesWithVariables:
        for (const int32_t position : cnf.usedPositions()) {
            const ModuleRecord* r = cnf.recordAt(position);
            if (variableCount(r->typeCode) == 0) {
                continue;
            }
            fill.entries.push_back({text::format("%02d %10s %10s", r->address,
                                                 typeName(r->typeCode).c_str(), r->label.c_str()),
                                    position});
        }
        return fill;
    case selector::kVariableNames:
        return variableNames(argument);
    case selector::kTypeVariables:
        return variableList(argument);
    case selector::kDevices:
        for (const int32_t position : cnf.usedPositions()) {
            const ModuleRecord* r = cnf.recordAt(position);
            fill.entries.push_back(
                {text::format("@%02d=", r->address) + cut(typeName(r->typeCode), 15), r->typeCode});
        }
        return fill;
    default:
        return fill;
    }
}

ListFill TKV_Project::targetChoices(bool select) const {
    const auto& given = m_model.configuration.targetList();
    auto names = given ? listItems(*given) : driverTargets();
    std::erase(names, std::string("JBUS"));
    return choices(names, m_model.configuration.target(), select);
}

ListFill TKV_Project::portChoices(bool select) const {
    const auto& given = m_model.configuration.portList();
    const auto names =
        given ? listItems(*given)
              : (m_capabilities ? m_capabilities->ports() : std::vector<std::string>{});
    return choices(names, m_model.configuration.port(), select);
}

ListFill TKV_Project::protocolChoices(std::string_view target, bool select) const {
    const auto& given = m_model.configuration.protocolList();
    const auto names =
        given ? listItems(*given)
              : (m_capabilities ? m_capabilities->protocols(target) : std::vector<std::string>{});
    return choices(names, m_model.configuration.protocol(), select);
}

ListFill TKV_Project::baudChoices(std::string_view target, std::string_view protocol,
                                  bool select) const {
    const auto& given = m_model.configuration.baudList();
    const auto names = given ? listItems(*given)
                             : (m_capabilities ? m_capabilities->bauds(target, protocol)
                                               : std::vector<std::string>{});
    return choices(names, m_model.configuration.baud(), select);
}

std::vector<std::string> TKV_Project::glossary(std::string_view target) {
    return m_glossary.commands(target);
}

ListFill TKV_Project::variableList(int32_t typeCode) {
    ListFill fill;
    fill.entries.push_back({"none", 0});
    const std::vector<VariableItem>* items = m_variables.find(typeCode);
    if (!items) {
        const std::string name = variableFileName(typeCode);
        if (name == "none") {
            note("no variable");
            return fill;
        }
        const fs::path path =
            m_directory / kVariableFolder / (name + std::string(kVariableExtension));
        std::string error;
        const auto bytes = readFile(path, error);
        if (!bytes) {
            if (m_host) {
                m_host->showBox("le fichier n'existe pas", path.string());
            }
            note(path.string());
            return fill;
        }
        items = &m_variables.add(typeCode, readVariableFile(*bytes));
    }
    for (const auto& item : *items) {
        fill.entries.push_back({item.text, item.number});
    }
    return fill;
}

ListFill TKV_Project::variableNames(int32_t position) const {
    ListFill fill;
    const ModuleRecord* r = m_model.configuration.recordAt(position);
    if (!r) {
        return fill;
    }
    const int32_t count = variableCount(r->typeCode);
    for (int32_t v = 1; v <= count; ++v) {
        const auto label = m_model.label.label(position, v);
        fill.entries.push_back({label ? *label : text::format("Variable%02d", v), v});
    }
    return fill;
}

} // namespace tamsel::project
