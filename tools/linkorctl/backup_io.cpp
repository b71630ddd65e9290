#include "backup_io.h"

#include "arguments.h"
#include "errors.h"
#include "interrupt.h"
#include "output.h"
#include <backup/backup_file.h>
#include <backup/setting_table.h>

namespace linkorctl {

tamsel::backup::LinePicture loadBackup(const std::string& path) {
    const tamsel::backup::LoadResult r = tamsel::backup::loadPicture(path);
    for (const tamsel::backup::LoadMessage& m : r.messages) {
        printError(path + (m.line > 0 ? ":" + std::to_string(m.line) : std::string()) + ": " +
                   m.text);
    }
    if (!r.usable) {
        throw UsageError("cannot use the backup " + path);
    }
    return r.picture;
}

std::vector<int> variableList(const std::string& text) {
    std::vector<int> out;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t comma = text.find(',', at);
        const std::string item =
            text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        out.push_back(static_cast<int>(parseNumber(item, tamsel::backup::kFirstVariable,
                                                   tamsel::backup::kLastVariable, "--variables")));
        if (comma == std::string::npos) {
            break;
        }
        at = comma + 1;
    }
    return out;
}

void printReport(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t nl = text.find('\n', at);
        printLine(readable(text.substr(at, nl == std::string::npos ? std::string::npos : nl - at)));
        if (nl == std::string::npos) {
            break;
        }
        at = nl + 1;
    }
}

tamsel::backup::ProgressFn progressOn(Progress& progress) {
    return [&progress](const std::string& text) {
        // Between two modules: a backup stopped here leaves nothing half done.
        if (interrupted()) {
            progress.clear();
            throw LineError("stopped by the user; nothing written");
        }
        progress.show(text);
    };
}

} // namespace linkorctl
