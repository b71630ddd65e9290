#include "kv_module.h"

#include "control_bytes.h"

namespace kvsim {

void KvModule::receive(std::span<const std::uint8_t> bytes, Clock::time_point now,
                       std::vector<Transmission>& out) {
    for (std::uint8_t byte : bytes) {
        if (byte == ctl::kAck && m_awaitingAck && m_receiver.idle()) {
            ++core().acknowledgements;
            m_awaitingAck = false;
            continue;
        }
        auto frame = m_receiver.feed(byte);
        if (!frame) {
            continue;
        }
        m_awaitingAck = false;
        const Target target = resolve(frame->text);
        if (target.mine) {
            ++core().commandsHeard;
        }
        Answer answer;
        FaultKind fault = FaultKind::None;
        if (!frame->valid) {
            // Only the module that can still read its own address in a damaged frame
            // complains; the others cannot know it was theirs.
            if (!target.mine) {
                continue;
            }
            answer = Answer::rejected();
        } else {
            if (!target.mine && !target.everyone) {
                continue;
            }
            fault = takeFault();
            if (fault == FaultKind::Silent) {
                continue;
            }
            if (fault == FaultKind::Nak || fault == FaultKind::Can) {
                answer = Answer::notExecuted();
            } else {
                answer = execute(target.rest, now);
            }
            if (!target.mine && answer.kind == Answer::Kind::Rejected) {
                // A command without address that this module does not know may well be
                // meant for another kind of module on the line: stay out of it.
                continue;
            }
        }
        Transmission t;
        t.bytes = encodeKvAnswer(setup().protocol, answer, frame->text, fault,
                                 setup().fault.garbageBytes);
        t.slowMs = setup().fault.slowMs;
        t.shared = !target.mine;
        t.address = setup().address;
        if (!t.bytes.empty()) {
            out.push_back(std::move(t));
        }
        m_awaitingAck = answer.kind == Answer::Kind::Reply &&
                        setup().protocol != Protocol::Console && fault != FaultKind::Nak &&
                        fault != FaultKind::Can;
        applyNewSetting();
    }
}

void KvModule::applyNewSetting() {
    ModuleSetup& s = core().setup;
    if (m_newAddress) {
        s.address = *m_newAddress;
    }
    if (m_newBaud) {
        s.baud = *m_newBaud;
    }
    if (m_newProtocol) {
        s.protocol = *m_newProtocol;
        m_receiver.setProtocol(s.protocol);
    }
    m_newAddress.reset();
    m_newBaud.reset();
    m_newProtocol.reset();
}

} // namespace kvsim
