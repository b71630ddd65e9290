#include "discovery/scan_results.h"

#include "text_format.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace tamsel::discovery {

namespace {

using detail::format;

constexpr const char* kModule00Title = "Module 00 not found ?";
constexpr const char* kModule00Text =
    "No communication with module 00.\nYou can :\n   - Check cable and alimentation , then Auto "
    "scan again\n   - Change communication port then Auto scan again\n or \n   - Use Search "
    "scan and select the Target before full scan\n     on all configurations and address ";
constexpr const char* kCorrectText =
    "This configuration is correct :Accept to save and quit configuration";
constexpr const char* kCorrectTitle = "Checking :";
constexpr const char* kWarningTitle = "Checking Warning :";
constexpr const char* kLostLine = "%d module(s) lost       (blue line(s))\n";
constexpr const char* kFoundLine = "%d module(s) found      (green line(s))\n";
constexpr const char* kModifiedLine =
    "%d module(s) modified   (see GetInfo on yellow line(s) Popup Menu)\n";
constexpr const char* kRescanAdvice =
    "\nTo valid this new configuration, \nYou must Scan again with Automatic option.";

constexpr int kFirstModule = 0;
constexpr int kDecimal = 10;

} // namespace

int serialValue(const std::string& serial) {
    // As "%d" reads it: blanks skipped, an optional sign, the digits that follow; a number
    // beyond the range keeps its end of it.
    const long value = std::strtol(serial.c_str(), nullptr, kDecimal);
    return static_cast<int>(
        std::clamp<long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

ScanOutcome checkingSummary(const CheckCounters& counters) {
    ScanOutcome out;
    if (!counters.changed) {
        out.alertLine = kCorrectText;
        out.box = ResultBox{kCorrectTitle, kCorrectText, ResultBox::Icon::None, 0};
        return out;
    }
    std::string text;
    if (counters.lost != 0) {
        text += format(kLostLine, counters.lost);
    }
    if (counters.found != 0) {
        text += format(kFoundLine, counters.found);
    }
    if (counters.modified != 0) {
        text += format(kModifiedLine, counters.modified);
    }
    text += kRescanAdvice;
    out.box = ResultBox{kWarningTitle, text, ResultBox::Icon::Exclamation, kCheckingHelpContext};
    return out;
}

void ScanResults::startScan(ScanMode mode) {
    m_shown = 0;
    if (mode == ScanMode::Checking) {
        m_table.undoCheckMarks();
        m_counters = CheckCounters{};
    }
}

std::optional<ScanOutcome> ScanResults::showNext(ScanMode mode, const ScanTable& scan) {
    // The worker appends to the found list while this runs; an address counted there has its
    // record written already.
    if (m_shown >= scan.found.size()) {
        return std::nullopt;
    }
    const int address = scan.found.at(m_shown);
    ++m_shown;
    return show(mode, address, scan.records[static_cast<std::size_t>(address)]);
}

ScanOutcome ScanResults::show(ScanMode mode, int address, const ScanRecord& record) {
    switch (mode) {
    case ScanMode::AutomaticZero:
        return automaticZero(record);
    case ScanMode::Checking:
        return checking(address, record);
    case ScanMode::AutomaticRest:
    case ScanMode::Search:
    case ScanMode::FullDebug:
        break;
    }
    ScanOutcome out;
    if (record.state != ScanState::Answered) {
        return out;
    }
    m_table.enterDecoded(address, record.reply);
    if (mode == ScanMode::FullDebug) {
        m_table.setState(address, entry_state::kFullDebug);
        m_table.setLineSetting(address, record.setting);
    } else {
        out.module00Found = false;
    }
    return out;
}

ScanOutcome ScanResults::automaticZero(const ScanRecord& record) {
    ScanOutcome out;
    if (record.state != ScanState::Answered) {
        out.box = ResultBox{kModule00Title, kModule00Text, ResultBox::Icon::Exclamation,
                            kModule00HelpContext};
        out.module00Found = false;
        out.restoreRemembered = true;
        return out;
    }
    const LineIndexes line = unpackSetting(record.setting);
    out.select = line;
    // Target, port, baud and protocol from the high byte down: the packed setting itself.
    out.traces.push_back(format("cnf:= %X", static_cast<unsigned>(packSetting(line))));
    m_table.enterDecoded(kFirstModule, record.reply);
    out.module00Found = true;
    out.startRest = true;
    return out;
}

ScanOutcome ScanResults::checking(int address, const ScanRecord& record) {
    if (address == kFirstModule) {
        m_counters = CheckCounters{};
    }
    const bool configured = !m_table.entry(address).empty();
    const bool answered = record.state == ScanState::Answered;
    if (record.state == ScanState::Silent && configured) {
        m_table.setState(address, entry_state::kLost);
        ++m_counters.lost;
        m_counters.changed = true;
    } else if (answered && !configured) {
        m_table.enterDecoded(address, record.reply);
        m_table.setState(address, entry_state::kFound);
        ++m_counters.found;
        m_counters.changed = true;
    } else if (answered) {
        const DecodedIdentity now = decodeIdentity(m_catalogue, record.reply);
        const ModuleEntry& before = m_table.entry(address);
        if (serialValue(now.serial) != serialValue(before.serial) || now.code != before.typeCode) {
            m_table.setChecked(address, now.code, now.serial);
            m_table.setState(address, entry_state::kModified);
            ++m_counters.modified;
            m_counters.changed = true;
        }
    }
    if (address == kLastAddress) {
        return checkingSummary(m_counters);
    }
    return {};
}

} // namespace tamsel::discovery
