#include "backup/comparison.h"

#include <cstdio>
#include <set>
#include <sstream>

namespace tamsel::backup {

namespace {

std::string twoDigits(int n) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d", n);
    return b;
}

std::string valueText(const std::optional<long>& v) {
    return v ? std::to_string(*v) : std::string("-");
}

std::string identityText(const ModuleRecord* m) {
    if (m == nullptr || !m->answered) {
        return "silent";
    }
    return m->typeName + (m->serial.empty() ? std::string() : " serial " + m->serial);
}

std::vector<SettingRow> rowsOf(const ModuleRecord& b, const ModuleRecord& l) {
    std::set<std::string> keys;
    for (const auto& [k, v] : b.settings) {
        keys.insert(k);
    }
    for (const auto& [k, v] : l.settings) {
        keys.insert(k);
    }
    std::vector<SettingRow> rows;
    for (const std::string& k : keys) {
        SettingRow r;
        r.key = k;
        if (const auto it = b.settings.find(k); it != b.settings.end()) {
            r.backup = it->second;
        }
        if (const auto it = l.settings.find(k); it != l.settings.end()) {
            r.line = it->second;
        }
        if (r.backup && r.line) {
            r.state = *r.backup == *r.line ? SettingState::Equal : SettingState::Different;
        } else {
            r.state = r.backup ? SettingState::Missing : SettingState::Extra;
        }
        rows.push_back(std::move(r));
    }
    return rows;
}

} // namespace

std::vector<SettingRow> ModuleComparison::differences() const {
    std::vector<SettingRow> out;
    for (const SettingRow& r : rows) {
        if (r.state != SettingState::Equal) {
            out.push_back(r);
        }
    }
    return out;
}

bool Comparison::equal() const {
    for (const ModuleComparison& m : modules) {
        if (m.state != ModuleState::Same) {
            return false;
        }
    }
    return true;
}

Comparison compare(const LinePicture& backup, const LinePicture& line) {
    std::set<int> addresses;
    for (const ModuleRecord& m : backup.modules) {
        addresses.insert(m.address);
    }
    for (const ModuleRecord& m : line.modules) {
        addresses.insert(m.address);
    }
    Comparison c;
    for (int a : addresses) {
        const ModuleRecord* b = backup.module(a);
        const ModuleRecord* l = line.module(a);
        const bool inBackup = b != nullptr && b->answered;
        const bool onLine = l != nullptr && l->answered;
        if (!inBackup && !onLine) {
            continue;
        }
        ModuleComparison m;
        m.address = a;
        m.backup = inBackup ? b : nullptr;
        m.line = onLine ? l : nullptr;
        if (!onLine) {
            m.state = ModuleState::Lost;
        } else if (!inBackup) {
            m.state = ModuleState::Found;
        } else {
            m.rows = rowsOf(*b, *l);
            if (b->typeCode != l->typeCode) {
                m.state = ModuleState::TypeChanged;
            } else if (b->serial != l->serial) {
                m.state = ModuleState::Replaced;
            } else {
                m.state = m.differences().empty() ? ModuleState::Same : ModuleState::Different;
            }
        }
        c.modules.push_back(std::move(m));
    }
    return c;
}

const char* settingStateName(SettingState s) {
    switch (s) {
    case SettingState::Equal:
        return "equal";
    case SettingState::Different:
        return "different";
    case SettingState::Missing:
        return "missing";
    case SettingState::Extra:
        return "extra";
    }
    return "?";
}

const char* moduleStateName(ModuleState s) {
    switch (s) {
    case ModuleState::Same:
        return "same";
    case ModuleState::Different:
        return "different";
    case ModuleState::Replaced:
        return "replaced";
    case ModuleState::TypeChanged:
        return "type changed";
    case ModuleState::Lost:
        return "lost";
    case ModuleState::Found:
        return "found";
    }
    return "?";
}

std::string comparisonText(const Comparison& c) {
    std::ostringstream o;
    int differing = 0;
    for (const ModuleComparison& m : c.modules) {
        if (m.state != ModuleState::Same) {
            ++differing;
        }
        o << "module " << twoDigits(m.address) << ": " << moduleStateName(m.state);
        switch (m.state) {
        case ModuleState::Lost:
            o << " (was " << identityText(m.backup) << ")\n";
            continue;
        case ModuleState::Found:
            o << " (" << identityText(m.line) << ")\n";
            continue;
        case ModuleState::Replaced:
        case ModuleState::TypeChanged:
            o << " (was " << identityText(m.backup) << ", now " << identityText(m.line) << ")";
            break;
        default:
            o << " (" << identityText(m.line) << ")";
            break;
        }
        if (m.backup != nullptr && !m.backup->complete) {
            o << ", its section of the backup is cut short";
        }
        o << '\n';
        if (!m.rows.empty()) {
            char head[160];
            std::snprintf(head, sizeof head, "  %-32s %-9s %12s %12s\n", "setting", "state",
                          "backup", "line");
            o << head;
        }
        for (const SettingRow& r : m.rows) {
            char line[160];
            std::snprintf(line, sizeof line, "  %-32s %-9s %12s %12s\n", r.key.c_str(),
                          settingStateName(r.state), valueText(r.backup).c_str(),
                          valueText(r.line).c_str());
            o << line;
        }
    }
    if (differing == 0) {
        o << "equal: " << c.modules.size() << " modules as in the backup\n";
    } else {
        o << "different: " << differing << " of " << c.modules.size()
          << " modules differ from the backup\n";
    }
    return o.str();
}

} // namespace tamsel::backup
