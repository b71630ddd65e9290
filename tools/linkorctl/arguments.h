// The options and operands of one subcommand, checked against what it accepts.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace linkorctl {

struct OptionSpec {
    const char* name; ///< without the leading "--"
    bool takesValue;
};

/// Options every subcommand accepts besides its own.
std::span<const OptionSpec> globalOptions();

class Arguments {
  public:
    /**
     * @brief Takes "--name value", "--name=value", "-h" for "--help" and "--" (the end of the
     *        options); anything else beginning with "-" and longer than "-" is refused.
     * @throws UsageError naming the option that is unknown or lacks its value.
     */
    Arguments(const std::vector<std::string>& args, std::span<const OptionSpec> own);

    bool has(const std::string& name) const { return m_values.count(name) != 0; }
    std::optional<std::string> value(const std::string& name) const;
    const std::vector<std::string>& operands() const { return m_operands; }

    /// Adds what an earlier parse found, without overriding what is set here.
    void inherit(const Arguments& outer);

  private:
    std::map<std::string, std::string> m_values;
    std::vector<std::string> m_operands;
};

/// A decimal number, or hexadecimal with "0x", within [low, high].
/// @throws UsageError naming @p what.
long parseNumber(const std::string& text, long low, long high, const std::string& what);

} // namespace linkorctl
