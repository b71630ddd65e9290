#include "interface/load_record.h"

#include "base/companion_files.h"
#include "base/driver_state.h"
#include "base/exchange_log.h"

#include <cstdio>
#include <memory>
#include <string>

namespace linkor {

void writeLoadRecord() {
    const std::string path = companionPath(Companion::LoadRecord, currentCompanionPlaces());
    if (path.empty() || !makeParentFolder(path)) {
        return;
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "a"),
                                                               &std::fclose);
    if (file) {
        const std::string record = std::string("\n") + kDriverIdentity + logTimeStamp();
        std::fputs(record.c_str(), file.get());
    }
}

} // namespace linkor
