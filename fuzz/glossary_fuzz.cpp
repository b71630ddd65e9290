// Glossary and variable files of any content, read as the program reads them.
#include "project/glossary.h"
#include "project/variable_files.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    int ignored = 0;
    tamsel::project::readVariableFile(bytes, &ignored);

    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("glossary-fuzz-" + std::to_string(getpid()) + ".txt");
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    tamsel::project::TGlossary glossary;
    if (glossary.checkPresence(file)) {
        for (const char* target : {"TRILO", "MICROTRILO", "VRX17", "VRX23"}) {
            for (const std::string& command : glossary.commands(target)) {
                if (command.size() > tamsel::project::TGlossary::kMaxText) {
                    __builtin_trap(); // longer than the list's text slots
                }
            }
        }
    }
    return 0;
}
