// The settings of every module of a line into one backup file: identity, parameters,
// specific modes, the family's panel settings and the variables asked for.
#include "backup_io.h"
#include "commands.h"
#include "errors.h"
#include "interrupt.h"
#include "line_options.h"
#include "output.h"
#include <backup/backup_file.h>
#include <backup/line_backup.h>
#include <comm/texts.h>

#include <chrono>
#include <ctime>

namespace linkorctl {

namespace {

constexpr int kLastAddress = 63;

std::string utcNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string commasToBlanks(std::string s) {
    for (char& c : s) {
        c = c == ',' ? ' ' : c;
    }
    return s;
}

void printModule(bool json, const tamsel::backup::ModuleRecord& m) {
    if (json) {
        JsonObject o;
        o.number("address", m.address).boolean("answered", m.answered);
        if (m.answered) {
            o.text("type", m.typeName)
                .number("code", m.typeCode)
                .text("serial", m.serial)
                .number("settings", static_cast<long long>(m.settings.size()))
                .number("unread", static_cast<long long>(m.unread.size()));
        }
        printLine(o.str());
        return;
    }
    if (!m.answered) {
        printLine(tkv::text::format("%02d  silent", m.address));
        return;
    }
    std::string line =
        tkv::text::format("%02d  %-11s  %-8s  %zu settings", m.address, m.typeName.c_str(),
                          m.serial.empty() ? "-" : m.serial.c_str(), m.settings.size());
    if (!m.unread.empty()) {
        line += tkv::text::format(", %zu not read", m.unread.size());
    }
    printLine(readable(line));
}

} // namespace

int runBackup(const Invocation& call) {
    GlobalOptions g;
    const auto options =
        withLineOptions({{"from", true}, {"to", true}, {"variables", true}, {"also-target", true}});
    const Arguments a = parseFor(call, options, g);
    if (a.operands().size() != 1) {
        throw UsageError("backup needs one operand: the FILE to write");
    }
    const int from =
        static_cast<int>(parseNumber(a.value("from").value_or("0"), 0, kLastAddress, "--from"));
    const int to = static_cast<int>(
        parseNumber(a.value("to").value_or(std::to_string(kLastAddress)), 0, kLastAddress, "--to"));
    if (to < from) {
        throw UsageError("--to " + std::to_string(to) + " comes before --from " +
                         std::to_string(from));
    }
    tamsel::backup::ReadPlan plan;
    for (int address = from; address <= to; ++address) {
        plan.addresses.push_back(address);
    }
    if (const auto v = a.value("variables")) {
        plan.variables = variableList(*v);
    }
    catchInterrupts();
    DriverSession session(g);
    const LineSetting setting = lineSetting(a, session.config());
    // Each module records the target it answered as, so that compare and restore speak to
    // it the same way on a line of several kinds of modules.
    plan.targets.push_back(setting.target);
    if (const auto also = a.value("also-target")) {
        for (const std::string& t : tkv::text::words(commasToBlanks(*also))) {
            plan.targets.push_back(targetName(session.config(), t));
        }
    }
    session.connect(setting);
    tamsel::backup::CommModuleLine line(session.comm());
    Progress progress;
    tamsel::backup::LinePicture picture =
        tamsel::backup::readLine(line, plan, progressOn(progress));
    progress.clear();
    if (interrupted()) {
        throw LineError("backup stopped by the user; nothing written");
    }
    picture.line = setting.text();
    picture.written = utcNow();
    int answered = 0;
    for (const tamsel::backup::ModuleRecord& m : picture.modules) {
        answered += m.answered ? 1 : 0;
        printModule(g.json, m);
    }
    if (answered == 0) {
        throw LineError(tkv::text::format(
            "no module answered at addresses %02d to %02d; nothing written", from, to));
    }
    const std::string why =
        tamsel::backup::saveAtomically(a.operands()[0], tamsel::backup::writePicture(picture));
    if (!why.empty()) {
        throw LineError(why);
    }
    return kExitOk;
}

} // namespace linkorctl
