#include "arguments.h"

#include "errors.h"

#include <array>
#include <cerrno>
#include <cstdlib>

namespace linkorctl {

namespace {

constexpr std::array<OptionSpec, 5> kGlobal{{
    {"help", false},
    {"json", false},
    {"driver", true},
    {"lang", true},
    {"verbose", false},
}};

const OptionSpec* find(std::span<const OptionSpec> specs, const std::string& name) {
    for (const OptionSpec& s : specs) {
        if (name == s.name) {
            return &s;
        }
    }
    return nullptr;
}

} // namespace

std::span<const OptionSpec> globalOptions() {
    return kGlobal;
}

Arguments::Arguments(const std::vector<std::string>& args, std::span<const OptionSpec> own) {
    bool optionsEnd = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnd || a.size() < 2 || a[0] != '-') {
            m_operands.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnd = true;
            continue;
        }
        if (a == "-h") {
            m_values["help"] = "";
            continue;
        }
        if (a.rfind("--", 0) != 0) {
            throw UsageError("unknown option '" + a + "'");
        }
        std::string name = a.substr(2);
        std::optional<std::string> inlineValue;
        if (const std::size_t eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        const OptionSpec* spec = find(own, name);
        if (spec == nullptr) {
            spec = find(kGlobal, name);
        }
        if (spec == nullptr) {
            throw UsageError("unknown option '--" + name + "'");
        }
        if (!spec->takesValue) {
            if (inlineValue) {
                throw UsageError("option '--" + name + "' takes no value");
            }
            m_values[name] = "";
            continue;
        }
        if (inlineValue) {
            m_values[name] = *inlineValue;
        } else if (i + 1 < args.size()) {
            m_values[name] = args[++i];
        } else {
            throw UsageError("option '--" + name + "' needs a value");
        }
    }
}

std::optional<std::string> Arguments::value(const std::string& name) const {
    const auto it = m_values.find(name);
    if (it == m_values.end()) {
        return std::nullopt;
    }
    return it->second;
}

void Arguments::inherit(const Arguments& outer) {
    for (const auto& [name, v] : outer.m_values) {
        m_values.emplace(name, v);
    }
}

long parseNumber(const std::string& text, long low, long high, const std::string& what) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    errno = 0;
    char* end = nullptr;
    const long n = digits.empty() ? 0 : std::strtol(digits.c_str(), &end, hex ? 16 : 10);
    if (digits.empty() || end == nullptr || *end != '\0' || errno != 0 || n < low || n > high) {
        throw UsageError(what + " '" + text + "' is not a number from " + std::to_string(low) +
                         " to " + std::to_string(high));
    }
    return n;
}

} // namespace linkorctl
