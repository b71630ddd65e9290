// A backup written back to the line: per module only the settings that differ, each
// group through its window's command set, read back and checked.
#include "backup_io.h"
#include "commands.h"
#include "errors.h"
#include "interrupt.h"
#include "line_options.h"
#include "output.h"
#include <backup/line_restore.h>

namespace linkorctl {

namespace {

void printJson(const tamsel::backup::RestoreReport& report) {
    for (const tamsel::backup::ModuleRestore& m : report.modules) {
        printLine(JsonObject()
                      .number("address", m.address)
                      .text("module", restoreOutcomeName(m.outcome))
                      .text("note", m.note)
                      .str());
        for (const tamsel::backup::SettingChange& c : m.changes) {
            JsonObject o;
            o.number("address", m.address).text("setting", c.key);
            if (c.was) {
                o.number("was", *c.was);
            } else {
                o.null("was");
            }
            o.number("wanted", c.wanted).text("state", changeStateName(c.state));
            printLine(o.str());
        }
    }
}

} // namespace

int runRestore(const Invocation& call) {
    GlobalOptions g;
    const auto options = withLineOptions({{"dry-run", false}, {"force", false}});
    const Arguments a = parseFor(call, options, g);
    if (a.operands().size() != 1) {
        throw UsageError("restore needs one operand: the backup FILE");
    }
    const tamsel::backup::LinePicture backup = loadBackup(a.operands()[0]);
    tamsel::backup::RestoreOptions o;
    o.dryRun = a.has("dry-run");
    o.force = a.has("force");
    o.stopRequested = [] { return interrupted(); };
    catchInterrupts();
    DriverSession session(g);
    const LineSetting setting = lineSetting(a, session.config());
    session.connect(setting);
    tamsel::backup::CommModuleLine line(session.comm());
    Progress progress;
    // Stopped by the user, the restore still tells what it wrote: it stops between modules.
    const tamsel::backup::RestoreReport report = tamsel::backup::restore(
        line, backup, o, [&progress](const std::string& text) { progress.show(text); });
    progress.clear();
    if (g.json) {
        printJson(report);
    } else {
        printReport(tamsel::backup::restoreText(report));
    }
    return o.dryRun || report.complete() ? kExitOk : kExitLine;
}

} // namespace linkorctl
