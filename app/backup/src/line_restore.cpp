#include "backup/line_restore.h"

#include "backup/module_settings.h"
#include "backup/setting_table.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace tamsel::backup {

namespace {

std::string twoDigits(int n) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d", n);
    return b;
}

/// The group a key is written in.
SettingGroup writeGroupOf(int32_t typeCode, const std::string& key) {
    return findSetting(typeCode, key)->group;
}

class ModuleRestorer {
  public:
    ModuleRestorer(ModuleLine& line, const ModuleRecord& backup, const RestoreOptions& options)
        : m_line(line), m_backup(backup), m_options(options) {
        m_out.address = backup.address;
    }

    ModuleRestore run() {
        if (!m_backup.answered || !m_backup.complete) {
            m_out.outcome = RestoreOutcome::NotInBackup;
            m_out.note = m_backup.answered ? "its section of the backup is incomplete"
                                           : "silent in the backup";
            return m_out;
        }
        std::optional<std::string> reply;
        if (m_backup.target.empty() || m_line.selectTarget(m_backup.target)) {
            reply = m_line.identity(m_backup.address);
        }
        if (!reply) {
            m_out.outcome = RestoreOutcome::Silent;
            m_out.note = "does not answer; nothing written";
            for (const auto& [key, value] : m_backup.settings) {
                m_out.changes.push_back(
                    {key, std::nullopt, value, std::nullopt, ChangeState::NotWritten});
            }
            return m_out;
        }
        const Identity id = decodeIdentity(*reply);
        m_code = id.typeCode;
        if (id.typeCode != m_backup.typeCode) {
            const std::string what =
                "is a " + id.typeName + ", the backup's module a " + m_backup.typeName;
            if (!m_options.force) {
                m_out.outcome = RestoreOutcome::Skipped;
                m_out.note = what + ": skipped (force writes it anyway)";
                return m_out;
            }
            m_out.note = what + ": written as forced";
        } else if (id.serial != m_backup.serial) {
            m_out.note =
                "another module (serial " + id.serial + ", the backup's " + m_backup.serial + ")";
        }
        planChanges();
        if (m_out.changes.empty()) {
            m_out.outcome = RestoreOutcome::Equal;
            return m_out;
        }
        if (m_options.dryRun) {
            m_out.outcome = RestoreOutcome::Planned;
            return m_out;
        }
        writeChanges();
        return m_out;
    }

  private:
    /// Reads what the backup holds and keeps what differs; a setting the line's type does
    /// not have (a forced restore) is left out.
    void planChanges() {
        std::vector<std::string> keys;
        for (const auto& [key, value] : m_backup.settings) {
            if (findSetting(m_code, key)) {
                keys.push_back(key);
            }
        }
        // A group is written whole: the settings of its groups that the backup leaves out go
        // with the module's own values, so they are read as well.
        std::vector<std::string> toRead = keys;
        for (const std::string& key : keys) {
            const SettingGroup g = writeGroupOf(m_code, key);
            if (g == SettingGroup::Variable) {
                continue;
            }
            for (const std::string& k : groupKeys(m_code, g)) {
                if (std::find(toRead.begin(), toRead.end(), k) == toRead.end()) {
                    toRead.push_back(k);
                }
            }
        }
        SettingsRead now = readKeys(m_line, m_backup.address, m_code, toRead);
        m_current = now.values;
        for (const std::string& key : keys) {
            const long wanted = m_backup.settings.at(key);
            const auto it = m_current.find(key);
            if (it != m_current.end() && it->second == wanted) {
                continue;
            }
            SettingChange c;
            c.key = key;
            if (it != m_current.end()) {
                c.was = it->second;
            }
            c.wanted = wanted;
            m_out.changes.push_back(c);
        }
    }

    /// The values of a group's write: the module's own, with the backup's where they differ.
    /// Nothing when some setting of the group could not be read.
    std::optional<SettingValues> groupValues(SettingGroup g, const std::string& key) {
        SettingValues v;
        const std::vector<std::string> keys =
            g == SettingGroup::Variable ? std::vector<std::string>{key} : groupKeys(m_code, g);
        for (const std::string& k : keys) {
            const auto b = m_backup.settings.find(k);
            const auto c = m_current.find(k);
            if (b != m_backup.settings.end()) {
                v[k] = b->second;
            } else if (c != m_current.end()) {
                v[k] = c->second;
            } else {
                return std::nullopt;
            }
        }
        return v;
    }

    void writeChanges() {
        bool stopped = false;
        std::vector<bool> done(m_out.changes.size(), false);
        for (std::size_t i = 0; i < m_out.changes.size(); ++i) {
            if (done[i]) {
                continue;
            }
            const SettingGroup g = writeGroupOf(m_code, m_out.changes[i].key);
            // Every change of this group goes out with the one write.
            std::vector<std::size_t> members;
            for (std::size_t j = i; j < m_out.changes.size(); ++j) {
                if (!done[j] && (g == SettingGroup::Variable
                                     ? j == i
                                     : writeGroupOf(m_code, m_out.changes[j].key) == g)) {
                    members.push_back(j);
                    done[j] = true;
                }
            }
            if (stopped) {
                for (std::size_t j : members) {
                    m_out.changes[j].state = ChangeState::NotWritten;
                }
                continue;
            }
            const std::optional<SettingValues> values = groupValues(g, m_out.changes[i].key);
            int32_t status = 0;
            if (!values || !writeGroup(m_line, m_out.address, m_code, g, *values, status)) {
                for (std::size_t j : members) {
                    m_out.changes[j].state = values ? ChangeState::Failed : ChangeState::NotWritten;
                }
                // A module that did not take a write is not asked for more: the rest would
                // only add time-outs.
                stopped = true;
                continue;
            }
            std::vector<std::string> keys;
            for (std::size_t j : members) {
                keys.push_back(m_out.changes[j].key);
            }
            const SettingsRead back = readKeys(m_line, m_out.address, m_code, keys);
            for (std::size_t j : members) {
                SettingChange& c = m_out.changes[j];
                const auto it = back.values.find(c.key);
                if (it == back.values.end()) {
                    c.state = ChangeState::Unverified;
                    stopped = true;
                    continue;
                }
                c.now = it->second;
                c.state = it->second == c.wanted ? ChangeState::Written : ChangeState::Mismatch;
            }
        }
        bool all = true;
        for (const SettingChange& c : m_out.changes) {
            all = all && c.state == ChangeState::Written;
        }
        m_out.outcome = all ? RestoreOutcome::Restored : RestoreOutcome::Partial;
    }

    ModuleLine& m_line;
    const ModuleRecord& m_backup;
    const RestoreOptions& m_options;
    ModuleRestore m_out;
    int32_t m_code = 0;
    SettingValues m_current;
};

} // namespace

bool RestoreReport::complete() const {
    for (const ModuleRestore& m : modules) {
        if (m.outcome != RestoreOutcome::Equal && m.outcome != RestoreOutcome::Restored &&
            m.outcome != RestoreOutcome::NotInBackup) {
            return false;
        }
    }
    return true;
}

RestoreReport restore(ModuleLine& line, const LinePicture& backup, const RestoreOptions& options,
                      const ProgressFn& progress) {
    RestoreReport report;
    int n = 0;
    for (const ModuleRecord& m : backup.modules) {
        ++n;
        if (options.stopRequested && options.stopRequested()) {
            ModuleRestore skipped;
            skipped.address = m.address;
            skipped.outcome = RestoreOutcome::NotReached;
            skipped.note = "the restore was stopped before it";
            report.modules.push_back(skipped);
            continue;
        }
        if (progress) {
            char text[64];
            std::snprintf(text, sizeof text, "module %02d (%d of %zu)", m.address, n,
                          backup.modules.size());
            progress(text);
        }
        report.modules.push_back(ModuleRestorer(line, m, options).run());
    }
    return report;
}

const char* changeStateName(ChangeState s) {
    switch (s) {
    case ChangeState::Planned:
        return "to write";
    case ChangeState::Written:
        return "written";
    case ChangeState::Mismatch:
        return "read back different";
    case ChangeState::Unverified:
        return "written, not read back";
    case ChangeState::Failed:
        return "write failed";
    case ChangeState::NotWritten:
        return "not written";
    }
    return "?";
}

const char* restoreOutcomeName(RestoreOutcome o) {
    switch (o) {
    case RestoreOutcome::Equal:
        return "equal";
    case RestoreOutcome::Restored:
        return "restored";
    case RestoreOutcome::Planned:
        return "to restore";
    case RestoreOutcome::Partial:
        return "partly restored";
    case RestoreOutcome::Skipped:
        return "skipped";
    case RestoreOutcome::Silent:
        return "silent";
    case RestoreOutcome::NotInBackup:
        return "nothing to restore";
    case RestoreOutcome::NotReached:
        return "not reached";
    }
    return "?";
}

std::string restoreText(const RestoreReport& report) {
    std::ostringstream o;
    for (const ModuleRestore& m : report.modules) {
        o << "module " << twoDigits(m.address) << ": " << restoreOutcomeName(m.outcome);
        if (!m.note.empty()) {
            o << " (" << m.note << ")";
        }
        o << '\n';
        for (const SettingChange& c : m.changes) {
            char line[200];
            std::snprintf(line, sizeof line, "  %-32s %12s -> %-12ld %s\n", c.key.c_str(),
                          c.was ? std::to_string(*c.was).c_str() : "?", c.wanted,
                          changeStateName(c.state));
            o << line;
        }
    }
    bool planned = false;
    for (const ModuleRestore& m : report.modules) {
        planned = planned || m.outcome == RestoreOutcome::Planned;
    }
    if (planned) {
        o << "dry run: nothing was written\n";
    } else {
        o << (report.complete() ? "complete\n" : "not complete: run the restore again\n");
    }
    return o.str();
}

} // namespace tamsel::backup
