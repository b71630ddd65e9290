// A backup against the line, or against a second backup: a table per module of the
// settings that are equal, different or missing, and the modules lost, found or replaced.
#include "backup_io.h"
#include "commands.h"
#include "errors.h"
#include "interrupt.h"
#include "line_options.h"
#include "output.h"
#include <backup/comparison.h>
#include <backup/line_backup.h>

namespace linkorctl {

namespace {

/// Exit statuses of compare, as diff has them.
constexpr int kExitEqual = 0;
constexpr int kExitDifferent = 1;

void identity(JsonObject& o, const char* prefix, const tamsel::backup::ModuleRecord* m) {
    if (m == nullptr) {
        return;
    }
    const std::string p(prefix);
    o.text(p + "type", m->typeName).number(p + "code", m->typeCode).text(p + "serial", m->serial);
}

void optionalNumber(JsonObject& o, const std::string& name, const std::optional<long>& v) {
    if (v) {
        o.number(name, *v);
    } else {
        o.null(name);
    }
}

/// One object per module, then one per setting of it.
void printJson(const tamsel::backup::Comparison& c) {
    for (const tamsel::backup::ModuleComparison& m : c.modules) {
        JsonObject o;
        o.number("address", m.address).text("module", moduleStateName(m.state));
        identity(o, "backup_", m.backup);
        identity(o, "line_", m.line);
        if (m.backup != nullptr && !m.backup->complete) {
            o.boolean("backup_complete", false);
        }
        printLine(o.str());
        for (const tamsel::backup::SettingRow& r : m.rows) {
            JsonObject row;
            row.number("address", m.address)
                .text("setting", r.key)
                .text("state", settingStateName(r.state));
            optionalNumber(row, "backup", r.backup);
            optionalNumber(row, "line", r.line);
            printLine(row.str());
        }
    }
}

} // namespace

int runCompare(const Invocation& call) {
    GlobalOptions g;
    const Arguments a = parseFor(call, withLineOptions({}), g);
    if (a.operands().empty() || a.operands().size() > 2) {
        throw UsageError("compare needs the backup FILE, and either a second file or the line "
                         "options");
    }
    const tamsel::backup::LinePicture backup = loadBackup(a.operands()[0]);
    tamsel::backup::LinePicture other;
    if (a.operands().size() == 2) {
        if (a.has("port")) {
            throw UsageError("compare takes a second file or the line, not both");
        }
        other = loadBackup(a.operands()[1]);
    } else {
        catchInterrupts();
        DriverSession session(g);
        const LineSetting setting = lineSetting(a, session.config());
        session.connect(setting);
        tamsel::backup::CommModuleLine line(session.comm());
        Progress progress;
        other =
            tamsel::backup::readLine(line, tamsel::backup::planFor(backup), progressOn(progress));
        progress.clear();
    }
    const tamsel::backup::Comparison c = tamsel::backup::compare(backup, other);
    if (g.json) {
        printJson(c);
    } else {
        printReport(tamsel::backup::comparisonText(c));
    }
    return c.equal() ? kExitEqual : kExitDifferent;
}

} // namespace linkorctl
