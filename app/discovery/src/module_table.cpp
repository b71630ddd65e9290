#include "discovery/module_table.h"

#include "text_format.h"

#include <charconv>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace tamsel::discovery {

namespace {

using detail::format;

// The project's record form has these fields, separated by commas.
enum RecordField {
    kRecordNumber,
    kRecordAddress,
    kRecordType,
    kRecordLabel,
    kRecordUnit,
    kRecordSerial,
    kRecordState,
    kRecordFields
};

// The project's stand-in for an empty text: its comma form cannot carry an empty field.
constexpr std::string_view kEmptyText = "_";

std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    for (;;) {
        const auto comma = text.find(',');
        fields.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) {
            return fields;
        }
        text.remove_prefix(comma + 1);
    }
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') {
        s.remove_prefix(1);
    }
    while (!s.empty() && s.back() == ' ') {
        s.remove_suffix(1);
    }
    return s;
}

std::optional<int32_t> number(std::string_view s) {
    s = trimmed(s);
    int32_t value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || error != std::errc{} || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return value;
}

std::string fromProject(std::string_view text) {
    text = trimmed(text);
    return text == kEmptyText ? std::string{} : std::string{text};
}

// The project keeps serial numbers one character shorter than the catalogue gives them, and
// refuses the whole record of a longer one: the module would be lost from the configuration.
constexpr std::size_t kProjectSerialLength = 14;

// The project trims its fields and refuses an empty one, so a text of blanks alone travels
// as an empty one.
std::string toProject(const std::string& text) {
    return trimmed(text).empty() ? std::string{kEmptyText} : text;
}

bool validAddress(int address) {
    return address >= 0 && address < kAddressCount;
}

} // namespace

DecodedIdentity decodeIdentity(TCatalogueQueries& catalogue, const std::string& reply) {
    const DecodedType type = catalogue.typeModule(reply);
    return {type.code, type.typeName, type.serial, catalogue.targetName(type.code)};
}

ModuleTable::ModuleTable(TCatalogueQueries& catalogue) : m_catalogue(catalogue) {}

const ModuleEntry& ModuleTable::entry(int address) const {
    if (!validAddress(address)) {
        throw std::out_of_range("module address");
    }
    return m_entries[static_cast<std::size_t>(address)];
}

ModuleEntry& ModuleTable::at(int address) {
    if (!validAddress(address)) {
        throw std::out_of_range("module address");
    }
    return m_entries[static_cast<std::size_t>(address)];
}

const ModuleEntry* ModuleTable::entryOfRow(int row) const {
    if (row < 0 || row >= liveCount()) {
        return nullptr;
    }
    return &m_entries[static_cast<std::size_t>(m_rows[static_cast<std::size_t>(row)])];
}

int ModuleTable::rowOf(int address) const {
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        if (m_rows[row] == address) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

void ModuleTable::clear() {
    m_entries.fill(ModuleEntry{});
    m_current = kNoAddress;
    m_highlighted = false;
    rebuildRows();
}

void ModuleTable::enterDecoded(int address, const std::string& reply) {
    enter(address, decodeIdentity(m_catalogue, reply));
}

void ModuleTable::enter(int address, const DecodedIdentity& identity) {
    ModuleEntry& e = at(address);
    e = ModuleEntry{};
    e.usedAddress = address;
    e.address = address;
    e.typeCode = identity.code;
    e.typeName = identity.typeName;
    e.serial = identity.serial;
    e.target = identity.target;
    e.state = entry_state::kPresent;
    rebuildRows();
}

bool ModuleTable::loadRecord(const std::string& recordText) {
    const auto fields = splitFields(recordText);
    if (fields.size() != kRecordFields) {
        return false;
    }
    const auto address = number(fields[kRecordAddress]);
    const auto code = number(fields[kRecordType]);
    if (!number(fields[kRecordNumber]) || !number(fields[kRecordState]) || !address || !code ||
        !validAddress(*address)) {
        return false;
    }
    ModuleEntry e;
    e.usedAddress = *address;
    e.address = *address;
    e.typeCode = *code;
    e.label = fromProject(fields[kRecordLabel]);
    e.unit = fromProject(fields[kRecordUnit]);
    e.serial = fromProject(fields[kRecordSerial]);
    e.typeName = m_catalogue.typeName(*code);
    e.target = m_catalogue.targetName(*code);
    e.state = entry_state::kPresent;
    at(*address) = e;
    rebuildRows();
    return true;
}

std::string ModuleTable::recordText(int address) const {
    const ModuleEntry& e = entry(address);
    // Entry number, address, type code, label, unit, used address, serial number: the project
    // reads the used address where it keeps a record's state.
    return format("%d,%d,%d,%s,%s,%d,%s", address, e.address, e.typeCode,
                  toProject(e.label).c_str(), toProject(e.unit).c_str(), e.usedAddress,
                  toProject(e.serial.substr(0, kProjectSerialLength)).c_str());
}

std::array<std::string, kAddressCount> ModuleTable::acceptTexts() const {
    std::array<std::string, kAddressCount> texts;
    for (int address = 0; address < kAddressCount; ++address) {
        texts[static_cast<std::size_t>(address)] =
            entry(address).empty() ? format("%03d", address) : recordText(address);
    }
    return texts;
}

void ModuleTable::remove(int address) {
    at(address) = ModuleEntry{};
    if (m_current == address) {
        m_current = kNoAddress;
        m_highlighted = false;
    }
    rebuildRows();
}

void ModuleTable::setState(int address, int32_t state) {
    at(address).state = state;
}

void ModuleTable::setLineSetting(int address, int32_t packed) {
    at(address).lineSetting = packed;
}

void ModuleTable::setLabel(int address, const std::string& label) {
    at(address).label = label;
}

void ModuleTable::setType(int address, const NamedType& type) {
    ModuleEntry& e = at(address);
    e.typeCode = type.code;
    e.typeName = type.name;
}

void ModuleTable::setChecked(int address, int32_t typeCode, const std::string& serial) {
    ModuleEntry& e = at(address);
    e.checkedTypeCode = typeCode;
    e.checkedSerial = serial;
}

void ModuleTable::undoCheckMarks() {
    for (int address = 0; address < kAddressCount; ++address) {
        ModuleEntry& e = at(address);
        if (e.empty()) {
            continue;
        }
        if (e.state == entry_state::kFound) {
            remove(address);
        } else if (e.state == entry_state::kLost || e.state == entry_state::kModified) {
            e.state = entry_state::kPresent;
        }
    }
    rebuildRows();
}

void ModuleTable::setCurrent(int address) {
    at(address);
    m_current = address;
    m_highlighted = true;
}

void ModuleTable::rebuildRows() {
    m_rows.clear();
    for (int address = 0; address < kAddressCount; ++address) {
        if (!m_entries[static_cast<std::size_t>(address)].empty()) {
            m_rows.push_back(address);
        }
    }
}

} // namespace tamsel::discovery
