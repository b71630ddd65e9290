#include "command_text.h"

#include <common/text_words.h>

#include <algorithm>

namespace linkorctl {

namespace {

constexpr char kBlockMark = '/';
constexpr char kCommentMark = ';';

bool allBlank(std::string_view s) {
    return std::all_of(s.begin(), s.end(), common::isBlank);
}

} // namespace

std::optional<std::string> commandFault(std::string_view command) {
    if (command.find_first_of("\r\n") != std::string_view::npos) {
        return "holds a line end (CR or LF): the driver would send only what comes before "
               "it; give each command as an argument of its own";
    }
    if (allBlank(command)) {
        return std::string("is empty: there is nothing to send");
    }
    // The driver takes what follows a semicolon as a comment.
    if (allBlank(command.substr(0, command.find(kCommentMark)))) {
        return std::string("holds only a comment: there is nothing to send");
    }
    if (command.front() != kBlockMark) {
        return std::nullopt;
    }
    // The driver reads a leading settings block up to its closing slash and sends what
    // follows it.
    const std::size_t close = command.find(kBlockMark, 1);
    if (close == std::string_view::npos) {
        return std::string("opens a settings block and does not close it: a settings block is "
                           "written between slashes, as \"/TACK 400/\"");
    }
    if (allBlank(command.substr(1, close - 1)) && allBlank(command.substr(close + 1))) {
        return std::string("holds an empty settings block and nothing else: there is nothing to "
                           "send");
    }
    return std::nullopt;
}

} // namespace linkorctl
