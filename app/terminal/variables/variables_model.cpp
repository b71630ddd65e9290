#include "variables_model.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace tamsel::terminal::variables {

namespace {

constexpr std::uint32_t kByteMask = 0xFF;
constexpr unsigned kByteShift = 8;
/// What the high byte shows in the two-byte view when it is 0.
constexpr std::uint32_t kEmptyHighByte = 0xFF;
constexpr int kHeaderSevenths = 7;
constexpr int kNameSevenths = 3;
constexpr int kInitSevenths = 2;

[[gnu::format(printf, 1, 2)]] std::string format(const char* pattern, ...) {
    char out[128] = {};
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(out, sizeof out, pattern, args);
    va_end(args);
    return out;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (isBlank(text[i]) || text[i] == '\r' || text[i] == '\n')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i]) && text[i] != '\r' && text[i] != '\n') {
            ++i;
        }
        if (i > start) {
            out.push_back(text.substr(start, i - start));
        }
    }
    return out;
}

/// A whole word that is a decimal number.
std::optional<long> wholeNumber(std::string_view word) {
    if (word.empty() || word.size() > 10) {
        return std::nullopt;
    }
    const std::string copy(word);
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(copy.c_str(), &end, 10);
    if (errno != 0 || end == copy.c_str() || *end != '\0') {
        return std::nullopt;
    }
    return value;
}

} // namespace

// ---------------------------------------------------------------- the rows

int TScanList::rowOf(int number) const {
    for (int i = 0; i < kRows; ++i) {
        if (m_rows[static_cast<std::size_t>(i)].used &&
            m_rows[static_cast<std::size_t>(i)].number == number) {
            return i;
        }
    }
    return -1;
}

int TScanList::usedCount() const {
    return static_cast<int>(
        std::count_if(m_rows.begin(), m_rows.end(), [](const TRow& r) { return r.used; }));
}

TAddResult TScanList::add(int number, std::string_view name, int variableCount, TViewMode mode,
                          int at) {
    if (number < kFirstVariable || number > kLastVariable || number > variableCount) {
        return TAddResult::OutOfRange;
    }
    if (rowOf(number) >= 0) {
        return TAddResult::AlreadyListed;
    }
    int index = -1;
    if (at >= 0 && at < kRows && !m_rows[static_cast<std::size_t>(at)].used) {
        index = at;
    } else {
        for (int i = 0; i < kRows && index < 0; ++i) {
            if (!m_rows[static_cast<std::size_t>(i)].used) {
                index = i;
            }
        }
    }
    if (index < 0) {
        return TAddResult::Full;
    }
    TRow& r = m_rows[static_cast<std::size_t>(index)];
    r.used = true;
    r.number = number;
    r.name = std::string(name.substr(0, kNameLength));
    r.initial = 0;
    r.current = 0;
    r.mode = mode;
    m_changed = true;
    return TAddResult::Added;
}

void TScanList::remove(int index) {
    if (index < 0 || index >= kRows || !m_rows[static_cast<std::size_t>(index)].used) {
        return;
    }
    m_rows[static_cast<std::size_t>(index)] = TRow{};
    m_changed = true;
}

void TScanList::clear() {
    m_rows.fill(TRow{});
    m_changed = false;
}

std::vector<int> TScanList::numbers() const {
    std::vector<int> out;
    for (const TRow& r : m_rows) {
        if (r.used) {
            out.push_back(r.number);
        }
    }
    return out;
}

// ---------------------------------------------------------------- texts

std::string nameText(int number, std::string_view name) {
    return format("#%02d %s", number, std::string(name).c_str());
}

std::string initText(std::int32_t value) {
    return format("%10d", value);
}

std::string currentText(std::int32_t value, TViewMode mode) {
    const auto bits = static_cast<std::uint32_t>(value);
    switch (mode) {
    case TViewMode::Hexa:
        return format("%8lXh", static_cast<unsigned long>(bits));
    case TViewMode::TwoBytes: {
        const std::uint32_t low = bits & kByteMask;
        std::uint32_t high = (bits >> kByteShift) & kByteMask;
        if (high == 0) {
            high = kEmptyHighByte;
        }
        return format("  %2Xh:%2Xh  ", low, high);
    }
    case TViewMode::Decimal:
    default:
        return format("%10d", value);
    }
}

std::string defaultName(int number) {
    return format("Variable%02d", number);
}

// ---------------------------------------------------------------- poll kinds

std::int32_t pollKind(int row, int number) {
    return row * kRowKindStep + requestKind(number);
}

std::int32_t requestKind(int number) {
    return kVariableKindBase + number;
}

int rowOfKind(std::int32_t kind) {
    return static_cast<int>(static_cast<std::uint32_t>(kind) >> 16U);
}

// ---------------------------------------------------------------- the stored scan list

std::vector<int> parseScanList(std::string_view text, int variableCount) {
    std::vector<int> out;
    for (const std::string_view word : words(text)) {
        if (out.size() == static_cast<std::size_t>(kRows)) {
            break;
        }
        const auto number = wholeNumber(word);
        if (!number || *number < kFirstVariable || *number > kLastVariable ||
            *number > variableCount) {
            continue;
        }
        const int n = static_cast<int>(*number);
        if (std::find(out.begin(), out.end(), n) == out.end()) {
            out.push_back(n);
        }
    }
    return out;
}

std::string formatScanList(const std::vector<int>& numbers) {
    std::string out;
    for (const int n : numbers) {
        if (!out.empty()) {
            out += ' ';
        }
        out += format("%d", n);
    }
    return out.substr(0, kScanListLength);
}

// ---------------------------------------------------------------- labels and values

std::string filterLabel(std::string_view typed) {
    std::string kept;
    for (const char c : typed.substr(0, kLabelInputLength)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ',' || c == ':' || byte < 0x20 || byte == 0x7F) {
            continue;
        }
        kept += c;
    }
    const auto first = kept.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    kept = kept.substr(first, kept.find_last_not_of(' ') - first + 1);
    return kept.substr(0, kNameLength);
}

std::optional<std::int32_t> parseInitValue(std::string_view typed) {
    const std::string copy(typed);
    long long value = 0;
    if (std::sscanf(copy.c_str(), "%lld", &value) != 1) {
        return std::nullopt;
    }
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::string codedParameter(int number, std::int32_t value) {
    return format("%d %d", number, value);
}

std::string labelPrompt(int number) {
    return format("Change label for variable #%02d :", number);
}

std::string valuePrompt(int number, std::string_view name) {
    return format("Change Init Value for #%02d (%s)", number, std::string(name).c_str());
}

std::string valueText(std::int32_t value) {
    return format("%ld", static_cast<long>(value));
}

std::optional<TModuleFacts> parseModuleRecordText(std::string_view text) {
    const std::string copy(text);
    TModuleFacts facts;
    int recordNumber = 0;
    int address = 0;
    int typeCode = 0;
    if (std::sscanf(copy.c_str(), "%d,%d,%d", &recordNumber, &address, &typeCode) != 3) {
        return std::nullopt;
    }
    facts.recordNumber = recordNumber;
    facts.address = address;
    facts.typeCode = typeCode;
    return facts;
}

// ---------------------------------------------------------------- menus

TRowMenu menuFor(const TRow& row, TColumn column) {
    if (!row.used) {
        return column == TColumn::Name ? TRowMenu::NameList : TRowMenu::None;
    }
    return column == TColumn::Name ? TRowMenu::Name : TRowMenu::Value;
}

TValueMenu valueMenu(const TRow& row) {
    TValueMenu menu;
    menu.changeValue = row.used;
    menu.checked = row.mode;
    return menu;
}

std::optional<int> steppedNumber(const TScanList& list, int index, int direction,
                                 int variableCount) {
    if (index < 0 || index >= kRows || !list.row(index).used || direction == 0) {
        return std::nullopt;
    }
    const int last = std::min(kLastVariable, variableCount);
    const int step = direction > 0 ? 1 : -1;
    for (int n = list.row(index).number + step; n >= kFirstVariable && n <= last; n += step) {
        if (list.rowOf(n) < 0) {
            return n;
        }
    }
    return std::nullopt;
}

TNameMenu nameMenu(const TScanList& list, int index, int variableCount) {
    TNameMenu menu;
    const bool used = index >= 0 && index < kRows && list.row(index).used;
    menu.newLabel = used;
    menu.remove = used;
    menu.next = steppedNumber(list, index, +1, variableCount).has_value();
    menu.prev = steppedNumber(list, index, -1, variableCount).has_value();
    menu.eraseLabels = variableCount > 0;
    return menu;
}

std::array<int, 3> columnWidths(int width) {
    const int name = width * kNameSevenths / kHeaderSevenths;
    const int init = width * kInitSevenths / kHeaderSevenths;
    return {name, init, std::max(0, width - name - init)};
}

} // namespace tamsel::terminal::variables
