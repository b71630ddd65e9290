#include "module.h"

#include <cstdio>

namespace kvsim {

namespace {
// Bytes a receiver at the wrong speed turns a burst into: framing errors and bits of noise.
constexpr std::uint8_t kNoise[] = {0xFF, 0x00, 0xF8, 0x80};
} // namespace

void Module::receiveOffSpeed(std::span<const std::uint8_t> bytes, std::vector<Transmission>& out) {
    if (!m_core.setup.noiseOffSpeed || bytes.empty()) {
        return;
    }
    Transmission t;
    t.bytes.assign(std::begin(kNoise), std::end(kNoise));
    t.address = m_core.setup.address;
    out.push_back(std::move(t));
}

FaultKind Module::takeFault() {
    FaultSetup& f = m_core.setup.fault;
    if (f.kind == FaultKind::None || f.count == 0) {
        return FaultKind::None;
    }
    if (f.count > 0) {
        --f.count;
    }
    return f.kind;
}

void Module::snapshot(ModuleSnapshot& snap, Clock::time_point now) {
    m_core.axis.update(now);
    snap.setup = m_core.setup;
    snap.position = m_core.axis.position();
    snap.speed = m_core.axis.speed();
    snap.moving = m_core.axis.moving();
    snap.power = m_core.power;
    snap.inputs = m_core.inputs;
    snap.outputs = m_core.outputs;
    snap.errorCode = m_core.errorCode;
    snap.parameters = m_core.params;
    snap.variables = m_core.variables;
    snap.registers = m_core.registers;
    snap.identity = m_core.identity;
    snap.acknowledgements = m_core.acknowledgements;
    snap.commandsHeard = m_core.commandsHeard;
}

std::string Module::wireAddress() const {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", m_core.setup.address);
    return buf;
}

} // namespace kvsim
