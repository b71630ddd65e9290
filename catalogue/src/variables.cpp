#include "variables.h"

#include "codes.h"

#include <array>
#include <atomic>

namespace modtyp {
namespace {

// Each table ends with kEndMarker; the names starting with "*" give a count
// and a letter for the module's numbered variables.
constexpr std::string_view kEndMarker = "_last_";

constexpr std::array<std::string_view, 36> kMicroTriloVariables{
    "CPA", "VALIM", "IA1",     "IA2",     "IN",    "OA1",   "OA2",  "Codeur", "TRS",
    "OUT", "GI",    "VSUPPLY", "AI1",     "AI2",   "VAUXP", "AO1",  "AO2",    "SW",
    "SD",  "GI_S",  "GI_B",    "_MDEF",   "TDC",   "_MPA",  "AIA",  "AIB",    "AOA",
    "AOB", "_SNSP", "_ERR",    "_STATUS", "WNCKS", "TEMP",  "*32!", "*32M",   kEndMarker,
};

constexpr std::array<std::string_view, 29> kDvrxVariables{
    "POSITION",        "PROFILE_SPEED", "SPEED",        "STATUS",       "ERROR",
    "OUTPUT",          "OUTPUT_ANALOG", "INPUT",        "INPUT_ANALOG", "SUPPLY_VOLTAGE",
    "CPU_TEMPERATURE", "HIGH_SPEED",    "LOW_SPEED",    "ACCEL_TIME",   "DECEL_TIME",
    "RAMPING_TIME",    "TORQUE_RATIO",  "POSITIVE_END", "NEGATIVE_END", "LINE",
    "ON_RESET",        "CAPTURE",       "COUNTER",      "TIMER_1",      "TIMER_2",
    "TIMER_3",         "*32V",          "*08M",         kEndMarker,
};

constexpr std::array<std::string_view, 20> kVrx17Variables{
    "POSITION",     "PROFILE_SPEED", "STATUS",         "ERROR",        "OUTPUT",
    "INPUT",        "INPUT_ANALOG",  "SUPPLY_VOLTAGE", "HIGH_SPEED",   "LOW_SPEED",
    "RAMPING_TIME", "TORQUE_RATIO",  "LOW_TORQUE",     "POSITIVE_END", "NEGATIVE_END",
    "LINE",         "ON_RESET",      "*04V",           "*04M",         kEndMarker,
};

template <std::size_t N>
constexpr std::span<const std::string_view>
withoutMarker(const std::array<std::string_view, N>& t) {
    return std::span<const std::string_view>{t}.first(N - 1);
}

// Not a lock: iterations must not interleave, but a stray concurrent call
// must not be undefined behaviour either.
std::atomic<std::size_t> g_position{0};

} // namespace

std::span<const std::string_view> variableTable(std::int32_t code) noexcept {
    switch (familyOf(code)) {
    case family::kMicroTrilo:
        return withoutMarker(kMicroTriloVariables);
    case family::kVrx17:
        return withoutMarker(kVrx17Variables);
    case family::kDvrx:
        return withoutMarker(kDvrxVariables);
    default:
        return {};
    }
}

VariableStep nextVariable(std::span<const std::string_view> table, bool restart) noexcept {
    if (table.empty()) {
        return {{}, false};
    }
    std::size_t position = g_position.load(std::memory_order_relaxed);
    // The position is shared by all families: one left behind by a longer
    // table must not index past the end of a shorter one.
    if (restart || position >= table.size()) {
        position = 0;
    }
    const VariableStep step{table[position], position + 1 < table.size()};
    g_position.store(step.more ? position + 1 : 0, std::memory_order_relaxed);
    return step;
}

} // namespace modtyp
