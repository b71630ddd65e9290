#include "project/sections.h"

#include "text.h"

#include <algorithm>

namespace tamsel::project {

namespace {

/// Key and value of a "key = value" line, both trimmed.
struct KeyValue {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyValue> keyValue(std::string_view line) {
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyValue{text::trim(line.substr(0, eq)), text::trim(line.substr(eq + 1))};
}

bool inRange(const std::optional<int32_t>& v, int32_t low, int32_t high) {
    return v && *v >= low && *v <= high;
}

} // namespace

// ---------------------------------------------------------------- last commands

TKV_LastCommand::TKV_LastCommand() {
    for (int i = 0; i < kCapacity; ++i) {
        m_texts[static_cast<std::size_t>(i)] = text::format("[%02d]", i);
    }
}

bool TKV_LastCommand::acceptable(std::string_view command) const {
    // A longer line in the file is not one the program wrote: it is not taken.
    return !command.empty() && command.size() <= kMaxText && !text::hasControlBytes(command);
}

bool TKV_LastCommand::readLine(std::string_view line) {
    if (line.empty() || line.front() != '"' || m_count >= kCapacity) {
        return false;
    }
    line.remove_prefix(1);
    while (!line.empty() && text::isBlank(line.back())) {
        line.remove_suffix(1);
    }
    if (!line.empty() && line.back() == '"') {
        line.remove_suffix(1);
    }
    if (!acceptable(line)) {
        return false;
    }
    m_texts[static_cast<std::size_t>(m_count++)] = std::string(line);
    return true;
}

bool TKV_LastCommand::add(std::string_view command) {
    // A command typed longer than a text holds is kept as far as it fits, as the section
    // would carry it: losing the whole command from the history would be worse.
    command = command.substr(0, kMaxText);
    if (!acceptable(command)) {
        return false;
    }
    if (m_count > 0 && m_texts[static_cast<std::size_t>(m_count - 1)] == command) {
        return false;
    }
    if (m_count == kCapacity) {
        std::rotate(m_texts.begin(), m_texts.begin() + 1, m_texts.end());
        m_texts.back() = std::string(command);
    } else {
        m_texts[static_cast<std::size_t>(m_count++)] = std::string(command);
    }
    m_modified = true;
    return true;
}

std::string TKV_LastCommand::text(int i) const {
    if (i < 0 || i >= m_count) {
        return "inconnu";
    }
    return m_texts[static_cast<std::size_t>(i)];
}

void TKV_LastCommand::write(std::string& out, std::string_view eol) const {
    for (int i = 0; i < m_count; ++i) {
        out += '"';
        out += m_texts[static_cast<std::size_t>(i)];
        out += '"';
        out += eol;
    }
    out += ';';
    out += eol;
}

// ---------------------------------------------------------------- configuration

TKV_GestCnfMod::TKV_GestCnfMod() = default;

bool TKV_GestCnfMod::isName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxName && !text::hasControlBytes(name) &&
           name.find_first_of(" \t,") == std::string_view::npos;
}

namespace {

/// A decimal number of at most @p maxDigits digits without sign or leading zero; the
/// bound on the digits is what keeps the value from overflowing.
std::optional<int32_t> plainNumber(std::string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits || digits.front() == '0') {
        return std::nullopt;
    }
    int32_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

/// A value as it may be shown in a message: cut short, and without bytes a box cannot show.
std::string shown(std::string_view value) {
    constexpr std::size_t kShown = 24;
    std::string out(value.substr(0, kShown));
    for (char& c : out) {
        if (text::hasControlBytes(std::string_view(&c, 1))) {
            c = '?';
        }
    }
    if (value.size() > kShown) {
        out += "...";
    }
    return out;
}

} // namespace

bool TKV_GestCnfMod::isPortName(std::string_view name) {
    constexpr std::string_view kPrefix = "COM";
    if (name.substr(0, kPrefix.size()) != kPrefix) {
        return false;
    }
    const auto n = plainNumber(name.substr(kPrefix.size()), 3);
    return n && *n >= 1 && *n <= kMaxPortNumber;
}

bool TKV_GestCnfMod::isBaudRate(std::string_view name) {
    const auto n = plainNumber(name, 7);
    return n && *n >= 1 && *n <= kMaxBaud;
}

std::optional<std::string> TKV_GestCnfMod::badValue(std::string_view line) {
    const auto kv = keyValue(line);
    if (!kv) {
        return std::nullopt;
    }
    if (kv->key == "PortComm" && !isPortName(kv->value)) {
        return text::format("PortComm \"%s\" is not a port name (COM1 to COM%d)",
                            shown(kv->value).c_str(), kMaxPortNumber);
    }
    if (kv->key == "BaudRate" && !isBaudRate(kv->value)) {
        return text::format("BaudRate \"%s\" is not a baud rate (a whole number from 1 to %d)",
                            shown(kv->value).c_str(), kMaxBaud);
    }
    return std::nullopt;
}

bool TKV_GestCnfMod::readLine(std::string_view line) {
    if (text::hasControlBytes(line)) {
        return false;
    }
    const auto kv = keyValue(line);
    if (!kv || kv->value.empty() || kv->value.size() > kMaxValue) {
        return false;
    }
    // Blanks beside a comma go; an empty piece between two commas is refused.
    const auto pieces = text::split(kv->value, ',');
    std::vector<std::string> trimmed;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const auto piece = text::trim(pieces[i]);
        if (piece.empty() && i > 0 && i + 1 < pieces.size()) {
            return false;
        }
        trimmed.emplace_back(piece);
    }
    const std::string value = text::join(trimmed, ",");
    const std::string_view key = kv->key;

    struct Pair {
        std::string_view listKey;
        std::string_view nameKey;
        std::optional<std::string> TKV_GestCnfMod::*list;
        std::string TKV_GestCnfMod::*name;
    };
    static const Pair pairs[] = {
        {"TargetListe", "Target", &TKV_GestCnfMod::m_targetList, &TKV_GestCnfMod::m_target},
        {"PortListe", "PortComm", &TKV_GestCnfMod::m_portList, &TKV_GestCnfMod::m_port},
        {"BaudListe", "BaudRate", &TKV_GestCnfMod::m_baudList, &TKV_GestCnfMod::m_baud},
        {"ProtListe", "Protocole", &TKV_GestCnfMod::m_protocolList, &TKV_GestCnfMod::m_protocol}};
    for (const auto& pair : pairs) {
        if (key == pair.listKey) {
            this->*pair.list = value;
            // A name must be in its list whichever of the two lines comes first, as the
            // saved file (list first) will be read back.
            if (!text::contains(value, this->*pair.name)) {
                this->*pair.name = TKV_GestCnfMod().*pair.name;
            }
            return true;
        }
        if (key == pair.nameKey) {
            if (!isName(value) || (pair.name == &TKV_GestCnfMod::m_port && !isPortName(value)) ||
                (pair.name == &TKV_GestCnfMod::m_baud && !isBaudRate(value)) ||
                ((this->*pair.list) && !text::contains(*(this->*pair.list), value))) {
                return false;
            }
            this->*pair.name = value;
            return true;
        }
    }
    if (key.size() == 8 && key.substr(0, 3) == "Cnf") {
        const auto digits = key.substr(3);
        if (std::all_of(digits.begin(), digits.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            return readRecord(*text::toInt(digits), value);
        }
    }
    return false;
}

bool TKV_GestCnfMod::readRecord(int32_t number, std::string_view value) {
    if (number >= kRecords || m_used.size() >= static_cast<std::size_t>(kRecords)) {
        return false;
    }
    // A second line for the same record would count one module twice.
    if (m_records[static_cast<std::size_t>(number)].recordNumber >= 0) {
        return false;
    }
    const auto fields = text::split(value, ',');
    if (fields.size() != 5) {
        return false;
    }
    const auto address = text::toInt(fields[0]);
    const auto typeCode = text::toInt(fields[1]);
    if (!inRange(address, 0, 255) || !typeCode || fields[2].size() > kMaxLabel ||
        fields[3].size() > kMaxUnit || fields[4].size() > kMaxSerial) {
        return false;
    }
    ModuleRecord record;
    record.address = *address;
    record.typeCode = *typeCode;
    record.label = std::string(fields[2]);
    record.unit = std::string(fields[3]);
    record.recordNumber = number;
    record.serial = std::string(fields[4]);
    m_records[static_cast<std::size_t>(number)] = record;
    rebuildIndex();
    m_recordCount = static_cast<int32_t>(m_used.size());
    return true;
}

void TKV_GestCnfMod::write(std::string& out, std::string_view eol) const {
    const auto line = [&](std::string_view key, const std::string& value) {
        out += key;
        out += " = ";
        out += value;
        out += eol;
    };
    if (m_targetList && !m_targetList->empty()) {
        line("TargetListe", *m_targetList);
    }
    if (m_portList && !m_portList->empty()) {
        line("PortListe", *m_portList);
    }
    if (m_baudList && !m_baudList->empty()) {
        line("BaudListe", *m_baudList);
    }
    if (m_protocolList && !m_protocolList->empty()) {
        line("ProtListe", *m_protocolList);
    }
    if (!m_target.empty()) {
        line("Target", m_target);
    }
    if (!m_port.empty()) {
        line("PortComm", m_port);
    }
    if (!m_baud.empty()) {
        line("BaudRate", m_baud);
    }
    if (!m_protocol.empty()) {
        line("Protocole", m_protocol);
    }
    for (const int32_t position : m_used) {
        const auto& r = m_records[static_cast<std::size_t>(position)];
        out += text::format("Cnf%05d  = %02d , %05d ,", r.recordNumber, r.address, r.typeCode);
        out += r.label;
        out += ',';
        out += r.unit;
        out += ',';
        out += r.serial;
        out += eol;
    }
    out += ';';
    out += eol;
}

bool TKV_GestCnfMod::setLine(std::string_view target, std::string_view port,
                             std::string_view protocol, std::string_view baud) {
    if (!isName(target) || !isPortName(port) || !isName(protocol) || !isBaudRate(baud)) {
        return false;
    }
    m_target = target;
    m_port = port;
    m_protocol = protocol;
    m_baud = baud;
    return true;
}

bool TKV_GestCnfMod::setPort(std::string_view port) {
    if (!isPortName(port)) {
        return false;
    }
    m_port = port;
    return true;
}

bool TKV_GestCnfMod::validRecord(const ModuleRecord& r) {
    // The texts travel in a comma form that the reader takes apart again: a
    // comma inside one, or an empty one, would make the line unreadable and
    // the module would be lost at the next load.
    const auto textOk = [](const std::string& s, std::size_t max) {
        return !s.empty() && s.size() <= max && !text::hasControlBytes(s) &&
               s.find(',') == std::string::npos && text::trim(s).size() == s.size();
    };
    return r.recordNumber >= 0 && r.recordNumber < kRecords && r.address >= 0 && r.address <= 255 &&
           textOk(r.label, kMaxLabel) && textOk(r.unit, kMaxUnit) && textOk(r.serial, kMaxSerial);
}

bool TKV_GestCnfMod::setRecord(const ModuleRecord& record) {
    if (!validRecord(record)) {
        return false;
    }
    m_records[static_cast<std::size_t>(record.recordNumber)] = record;
    rebuildIndex();
    m_recordCount = static_cast<int32_t>(m_used.size());
    return true;
}

bool TKV_GestCnfMod::clearRecord(int32_t position) {
    if (position < 0 || position >= kRecords) {
        return false;
    }
    m_records[static_cast<std::size_t>(position)] = ModuleRecord{};
    rebuildIndex();
    m_recordCount = static_cast<int32_t>(m_used.size());
    return true;
}

const ModuleRecord* TKV_GestCnfMod::recordAt(int32_t position) const {
    if (position < 0 || position >= kRecords) {
        return nullptr;
    }
    const auto& r = m_records[static_cast<std::size_t>(position)];
    return r.recordNumber >= 0 ? &r : nullptr;
}

const ModuleRecord* TKV_GestCnfMod::recordInOrder(int32_t i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= m_used.size()) {
        return nullptr;
    }
    return &m_records[static_cast<std::size_t>(m_used[static_cast<std::size_t>(i)])];
}

const ModuleRecord* TKV_GestCnfMod::recordWithAddress(int32_t address) const {
    for (const int32_t position : m_used) {
        const auto& r = m_records[static_cast<std::size_t>(position)];
        if (r.address == address) {
            return &r;
        }
    }
    return nullptr;
}

bool TKV_GestCnfMod::setRecordCount(int32_t count) {
    if (count < 0 || count > kRecords) {
        return false;
    }
    m_recordCount = count;
    return true;
}

void TKV_GestCnfMod::rebuildIndex() {
    m_used.clear();
    for (int32_t i = 0; i < kRecords; ++i) {
        if (m_records[static_cast<std::size_t>(i)].recordNumber >= 0) {
            m_used.push_back(i);
        }
    }
}

// ---------------------------------------------------------------- set-up block

int32_t TKV_SetupBlock::number(int k) const {
    return k >= 0 && k < kNumbers ? m_pn[static_cast<std::size_t>(k)] : -1;
}

std::string TKV_SetupBlock::summary() const {
    return text::format("%d %d %d %d %d", m_swMode, m_pn[0], m_pn[1], m_pn[2], m_pn[3]);
}

bool TKV_SetupBlock::readLine(std::string_view line) {
    if (text::hasControlBytes(line)) {
        return false;
    }
    const auto kv = keyValue(line);
    if (!kv || kv->value.empty() || kv->value.size() > kMaxValue) {
        return false;
    }
    if (kv->key == "SwMode") {
        const auto v = text::toInt(kv->value);
        if (!inRange(v, 0, 1)) {
            return false;
        }
        m_swMode = *v;
        return true;
    }
    for (int k = 0; k < kNumbers; ++k) {
        if (kv->key == text::format("SwPn%d", k)) {
            const auto v = text::toInt(kv->value);
            if (!inRange(v, -1, 63)) {
                return false;
            }
            m_pn[static_cast<std::size_t>(k)] = *v;
            return true;
        }
    }
    for (int k = 0; k < kLabels; ++k) {
        if (kv->key == text::format("SwV%d", k + 1)) {
            const auto colon = kv->value.find(':');
            if (colon == std::string_view::npos) {
                return false;
            }
            const auto v = text::toInt(text::trim(kv->value.substr(0, colon)));
            const auto label = kv->value.substr(colon + 1);
            if (!inRange(v, -1, 63) || label.size() > kMaxLabel) {
                return false;
            }
            auto& slot = m_labels[static_cast<std::size_t>(k)];
            slot.number = *v;
            slot.text = *v == -1 ? std::string() : std::string(label);
            return true;
        }
    }
    return false;
}

void TKV_SetupBlock::write(std::string& out, std::string_view eol) const {
    out += text::format("SwMode = %d", m_swMode);
    out += eol;
    for (int k = 0; k < kNumbers; ++k) {
        out += text::format("SwPn%d = %d", k, m_pn[static_cast<std::size_t>(k)]);
        out += eol;
    }
    for (int k = 0; k < kLabels; ++k) {
        const auto& slot = m_labels[static_cast<std::size_t>(k)];
        out += text::format("SwV%d = %02d:", k + 1, slot.number);
        out += slot.text;
        out += eol;
    }
    out += ';';
    out += eol;
}

bool TKV_SetupBlock::setNumbers(std::string_view textIn) {
    const auto w = text::words(textIn);
    if (w.size() != 5) {
        return false;
    }
    std::array<std::optional<int32_t>, 5> v;
    for (std::size_t i = 0; i < 5; ++i) {
        v[i] = text::toInt(w[i]);
    }
    if (!inRange(v[0], 0, 1)) {
        return false;
    }
    for (std::size_t i = 1; i < 5; ++i) {
        if (!inRange(v[i], -1, 63)) {
            return false;
        }
    }
    m_swMode = *v[0];
    for (std::size_t k = 0; k < 4; ++k) {
        m_pn[k] = *v[k + 1];
    }
    m_modified = true;
    return true;
}

bool TKV_SetupBlock::updatePn0(int32_t value) {
    if (m_swMode != 0 || value < -1 || value > 63) {
        return false;
    }
    m_pn[0] = value;
    m_modified = true;
    return true;
}

std::string TKV_SetupBlock::label(int32_t n) const {
    if (n < 0) {
        return {};
    }
    for (const auto& slot : m_labels) {
        if (slot.number == n) {
            return slot.text;
        }
    }
    return {};
}

bool TKV_SetupBlock::setLabel(int32_t n, std::string_view textIn) {
    if (n < 0 || n > 63 || textIn.size() > kMaxLabel || text::hasControlBytes(textIn)) {
        return false;
    }
    Label fresh{n, std::string(textIn)};
    for (auto& slot : m_labels) {
        if (slot.number == n) {
            slot = fresh;
            m_modified = true;
            return true;
        }
    }
    for (auto it = m_labels.rbegin(); it != m_labels.rend(); ++it) {
        if (it->number == -1) {
            *it = fresh;
            m_modified = true;
            return true;
        }
    }
    std::rotate(m_labels.begin(), m_labels.begin() + 1, m_labels.end());
    m_labels.back() = fresh;
    m_modified = true;
    return true;
}

// ---------------------------------------------------------------- variable labels

std::optional<VariableLabel> TLabel::parseItem(std::string_view item) {
    const auto colon = item.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const auto number = text::toInt(text::trim(item.substr(0, colon)));
    const auto label = text::trim(item.substr(colon + 1));
    if (!inRange(number, 1, kMaxVariable) || label.empty() || label.size() > kMaxLabel) {
        return std::nullopt;
    }
    return VariableLabel{*number, std::string(label)};
}

bool TLabel::readLine(std::string_view line) {
    if (line.size() >= kLineLimit || line.empty() || line.front() == ';' ||
        text::hasControlBytes(line)) {
        return false;
    }
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || line.find(':') == std::string_view::npos) {
        return false;
    }
    const auto slot = text::toInt(text::trim(line.substr(0, eq)));
    if (!inRange(slot, 0, kSlots - 1)) {
        return false;
    }
    const auto pieces = text::split(line.substr(eq + 1), ',');
    if (pieces.size() > kItemsPerLine) {
        return false;
    }
    std::vector<std::string> items;
    for (const auto piece : pieces) {
        const auto item = text::trim(piece);
        if (!parseItem(item)) {
            return false;
        }
        items.emplace_back(item);
    }
    auto& held = m_items[static_cast<std::size_t>(*slot)];
    const std::string joined = text::join(items, ",");
    const std::string current = text::join(held, ",");
    const std::size_t total = current.empty() ? joined.size() : current.size() + 1 + joined.size();
    if (total > kMaxSlotText) {
        return false;
    }
    held.insert(held.end(), items.begin(), items.end());
    return true;
}

void TLabel::write(std::string& out, std::string_view eol) const {
    for (int32_t slot = 0; slot < kSlots; ++slot) {
        const auto& items = m_items[static_cast<std::size_t>(slot)];
        for (std::size_t i = 0; i < items.size(); i += kItemsPerLine) {
            const std::vector<std::string> group(
                items.begin() + static_cast<std::ptrdiff_t>(i),
                items.begin() +
                    static_cast<std::ptrdiff_t>(std::min(items.size(), i + kItemsPerLine)));
            out += text::format("%02d=", slot);
            out += text::join(group, ",");
            out += eol;
        }
    }
    out += ';';
    out += eol;
}

std::string TLabel::slotText(int32_t slot) const {
    if (slot < 0 || slot >= kSlots) {
        return {};
    }
    return text::join(m_items[static_cast<std::size_t>(slot)], ",");
}

std::optional<std::string> TLabel::label(int32_t slot, int32_t variable) const {
    if (slot < 0 || slot >= kSlots) {
        return std::nullopt;
    }
    for (const auto& item : m_items[static_cast<std::size_t>(slot)]) {
        const auto parsed = parseItem(item);
        if (parsed && parsed->number == variable) {
            return parsed->label;
        }
    }
    return std::nullopt;
}

bool TLabel::clearSlot(int32_t slot) {
    if (slot < 0 || slot >= kSlots) {
        return false;
    }
    m_items[static_cast<std::size_t>(slot)].clear();
    return true;
}

bool TLabel::setSlot(int32_t slot, const std::vector<VariableLabel>& labels) {
    if (slot < 0 || slot >= kSlots) {
        return false;
    }
    std::vector<std::string> items;
    std::size_t size = 0;
    for (const auto& entry : labels) {
        std::string_view label = entry.label;
        label = text::trim(label.substr(0, std::min(label.size(), kMaxLabel)));
        if (entry.number < 1 || entry.number > kMaxVariable || label.empty() ||
            label.find(',') != std::string_view::npos || text::hasControlBytes(label)) {
            continue;
        }
        std::string item = text::format("%02d:", entry.number);
        item += label;
        const std::size_t grown = items.empty() ? item.size() : size + 1 + item.size();
        if (grown > kMaxSlotText) {
            break;
        }
        size = grown;
        items.push_back(std::move(item));
    }
    m_items[static_cast<std::size_t>(slot)] = std::move(items);
    return true;
}

// ---------------------------------------------------------------- address table

void TLink_TargetAdr::build(const std::vector<std::pair<int32_t, std::string>>& modules) {
    // Names start afresh on every build: names left from an earlier line
    // setting would otherwise fill the ten places for good.
    m_names.clear();
    m_table.fill(0);
    for (const auto& [address, target] : modules) {
        if (address < 0 || address >= kAddresses) {
            continue;
        }
        const std::string name = target.size() > kMaxNameLength ? "too long" : target;
        auto it = std::find(m_names.begin(), m_names.end(), name);
        if (it == m_names.end()) {
            if (m_names.size() >= static_cast<std::size_t>(kMaxNames)) {
                continue;
            }
            m_names.push_back(name);
            it = m_names.end() - 1;
        }
        m_table[static_cast<std::size_t>(address)] = static_cast<int32_t>(it - m_names.begin()) + 1;
    }
    m_initialised = true;
    m_cursor = 0;
}

std::string TLink_TargetAdr::next(std::string_view previous) {
    if (previous == "first") {
        m_cursor = 0;
    }
    if (!m_initialised) {
        return "last";
    }
    for (int k = m_cursor; k < static_cast<int>(m_names.size()); ++k) {
        std::string out;
        for (int32_t address = 0; address < kAddresses; ++address) {
            if (m_table[static_cast<std::size_t>(address)] != k + 1) {
                continue;
            }
            out += out.empty() ? text::format("/%s = %d",
                                              m_names[static_cast<std::size_t>(k)].c_str(), address)
                               : text::format(",%d", address);
        }
        if (!out.empty()) {
            m_cursor = k + 1;
            return out + "/";
        }
    }
    m_cursor = static_cast<int>(m_names.size());
    return "last";
}

} // namespace tamsel::project
