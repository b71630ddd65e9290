// A command file sent line by line, as the command-file window sends it.
#include "commands.h"
#include "errors.h"
#include "line_options.h"
#include "output.h"
#include "project/command_file.h"
#include "project/file_io.h"
#include <comm/texts.h>

namespace linkorctl {

namespace proj = tamsel::project;

int runFile(const Invocation& call) {
    GlobalOptions g;
    const auto options = withLineOptions({{"keep-going", false}});
    const Arguments a = parseFor(call, options, g);
    if (a.operands().size() != 1) {
        throw UsageError(a.operands().empty()
                             ? "run needs the command FILE"
                             : "run takes one FILE, not '" + a.operands()[1] + "'");
    }
    const std::string path = a.operands()[0];
    std::string error;
    const auto bytes = proj::readFile(path, error);
    if (!bytes) {
        throw UsageError("cannot read the command file '" + path + "': " + error);
    }
    DriverSession session(g);
    const LineSetting setting = lineSetting(a, session.config());
    session.connect(setting);

    bool allOk = true;
    int number = 0;
    for (const std::string& line : proj::commandFileLines(*bytes)) {
        ++number;
        const proj::CommandFileLine what = proj::commandFileLine(line);
        if (what.kind == proj::CommandFileLine::Kind::Skip) {
            if (!what.note.empty()) {
                const std::string note(what.note);
                printLine(g.json ? JsonObject().number("line", number).text("skipped", note).str()
                                 : tkv::text::format("line %d skipped: ", number) + note);
            }
            continue;
        }
        if (what.kind == proj::CommandFileLine::Kind::Refuse) {
            const std::string note(what.note);
            if (g.json) {
                printLine(JsonObject()
                              .number("line", number)
                              .text("command", what.text)
                              .boolean("ok", false)
                              .text("message", note + ": not sent")
                              .str());
            }
            printError(readable(path + ":" + std::to_string(number) + ": " + what.text + ": " +
                                note + ": not sent"));
            allOk = false;
            if (!a.has("keep-going")) {
                break;
            }
            continue;
        }
        // The binding applies the same rules once more and is what reaches the driver.
        std::string result;
        const bool ok = session.comm().sendFileLine(line.c_str(), tkv::kFileLineSend, result);
        if (what.kind == proj::CommandFileLine::Kind::Show) {
            printLine(g.json ? JsonObject().number("line", number).text("shown", result).str()
                             : readable(result));
            continue;
        }
        if (g.json) {
            JsonObject o;
            o.number("line", number).text("command", what.text).boolean("ok", ok);
            o.text(ok ? "reply" : "message", result);
            printLine(o.str());
        } else if (ok) {
            printLine(readable(what.text + " -> " + result));
        }
        if (!ok) {
            printError(
                readable(path + ":" + std::to_string(number) + ": " + what.text + ": " + result));
            allOk = false;
            if (!a.has("keep-going")) {
                break;
            }
        }
    }
    return allOk ? kExitOk : kExitLine;
}

} // namespace linkorctl
