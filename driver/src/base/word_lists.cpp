#include "base/word_lists.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <vector>

namespace linkor {

void mergeList(std::string& out, const std::string& list) {
    if (out.empty()) {
        out = list;
        return;
    }
    const auto colon = list.find(':');
    out += ' ';
    out += colon == std::string::npos ? list : list.substr(colon + 1);
}

std::string uniqueWords(const std::string& text) {
    const size_t firstWord = text.find_first_not_of(' ');
    if (firstWord == std::string::npos) {
        return text;
    }
    std::string out = text.substr(0, firstWord);
    std::vector<std::string> seen;
    std::istringstream words(text.substr(firstWord));
    std::string word;
    while (words >> word) {
        if (std::find(seen.begin(), seen.end(), word) != seen.end()) {
            continue;
        }
        if (!seen.empty()) {
            out += ' ';
        }
        out += word;
        seen.push_back(word);
    }
    return out;
}

void copyOut(char* out, const std::string& text, size_t limit) {
    if (out == nullptr || limit == 0) {
        return;
    }
    const size_t n = std::min(text.size(), limit - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

} // namespace linkor
