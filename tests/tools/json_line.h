// Reads one line of linkorctl's --json output: a flat JSON object. Strict enough that a
// malformed line is refused rather than half read.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace toolstest {

struct JsonValue {
    enum class Kind { String, Number, Boolean, Null } kind = Kind::String;
    std::string text; ///< the decoded string, the number's digits, "true", "false" or "null"
    long long number() const { return std::stoll(text); }
};

using JsonObject = std::map<std::string, JsonValue>;

/// The object of one line; nothing when the line is not exactly one flat JSON object.
std::optional<JsonObject> parseJsonLine(const std::string& line);

/// Every line of a text; nothing when one of them is not an object.
std::optional<std::vector<JsonObject>> parseJsonLines(const std::string& text);

/// The lines of a text without their line ends.
std::vector<std::string> linesOf(const std::string& text);

} // namespace toolstest
