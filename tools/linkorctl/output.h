// What linkorctl prints: texts of the driver and the modules (Windows-1252 bytes) made
// readable on a UTF-8 terminal, and one JSON object per result line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace linkorctl {

/// The driver's 8-bit texts as UTF-8; control characters other than tab become "\xNN"
/// so that a module's stray byte cannot move the terminal's cursor.
std::string readable(std::string_view cp1252);

/// One result as a JSON object, fields in the order they were added.
class JsonObject {
  public:
    JsonObject& text(const std::string& name, std::string_view cp1252);
    JsonObject& number(const std::string& name, long long value);
    JsonObject& boolean(const std::string& name, bool value);
    /// A field whose value is not known.
    JsonObject& null(const std::string& name);
    /// The object on one line, without its line end.
    std::string str() const;

  private:
    std::vector<std::pair<std::string, std::string>> m_fields;
};

/// Writes a line to standard output and flushes it, so that a pipe sees each result as
/// it comes.
void printLine(const std::string& line);
/// "linkorctl: " and the text on standard error.
void printError(const std::string& text);

} // namespace linkorctl
