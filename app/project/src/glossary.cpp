#include "project/glossary.h"

#include "project/file_io.h"
#include "text.h"

#include <algorithm>

namespace tamsel::project {

namespace {

bool skipped(std::string_view line) {
    return text::trim(line).empty() || line.front() == '*' || line.front() == ';';
}

std::string_view sectionNameOf(std::string_view header) {
    const auto first = header.find_first_not_of(" \t[]");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = header.find_last_not_of(" \t[]");
    return header.substr(first, last - first + 1);
}

} // namespace

bool TGlossary::checkPresence(const std::filesystem::path& file) {
    m_file = file;
    m_section.clear();
    m_loadedFor.clear();
    m_count = 0;
    std::string error;
    m_present = readFile(file, error).has_value();
    return m_present;
}

std::vector<std::string> TGlossary::commands(std::string_view target) {
    if (!m_present || target.empty()) {
        return {};
    }
    // A section loaded for another target may still contain this target's
    // name ("MICROTRILO" holds "TRILO") without being the section this
    // target selects, so the loaded section is only reused for its own target.
    if (m_section.empty() || m_loadedFor != target) {
        reload(target);
    }
    const int listed = m_count < kListed ? m_count : kListed;
    return {m_commands.begin(), m_commands.begin() + listed};
}

void TGlossary::reload(std::string_view target) {
    m_section.clear();
    m_loadedFor.clear();
    m_count = 0;
    std::string error;
    const auto bytes = readFile(m_file, error);
    if (!bytes) {
        return;
    }
    bool inSection = false;
    for (const auto& line : text::lines(*bytes)) {
        const std::string_view content = line.content;
        if (skipped(content)) {
            continue;
        }
        if (content.front() == '[') {
            if (inSection) {
                break;
            }
            if (text::contains(content, target)) {
                inSection = true;
                m_section = std::string(sectionNameOf(content));
                m_loadedFor = std::string(target);
            }
            continue;
        }
        if (!inSection || text::hasControlBytes(content)) {
            continue;
        }
        m_commands[static_cast<std::size_t>(m_count++)] =
            std::string(content.substr(0, std::min(content.size(), kMaxText)));
        if (m_count == kSlots) {
            break;
        }
    }
}

} // namespace tamsel::project
