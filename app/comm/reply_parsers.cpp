#include "comm/reply_parsers.h"

#include "comm/read_commands.h"
#include "comm/texts.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace tkv::cmdset {

namespace {

// A reply is at most 254 characters, so any word of it fits this buffer.
constexpr std::size_t kWord = 256;
constexpr uint32_t kPowerBit = 1U << 24;
constexpr int kStageDone = 255;
constexpr int kByte = 0xFF;
constexpr int kFunctionScale = 1000;
constexpr const char* kNoRead = "QX";

using Word = char[kWord];

/// sscanf's count, with "nothing matched" for an input failure as well.
int matched(int n) {
    return n < 0 ? 0 : n;
}

bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

/// Matches a literal of a scanning format at @p p: a blank in it stands for any run of
/// white space, every other character must be there.
bool matchLiteral(const char*& p, std::string_view literal) {
    for (char c : literal) {
        if (isSpace(c)) {
            while (isSpace(*p)) {
                ++p;
            }
        } else if (*p == c) {
            ++p;
        } else {
            return false;
        }
    }
    return true;
}

/// Scans "<separator>#<name>=%d" at @p p; the name is part of the format, as the
/// modules' reply formats are built from the variable names.
bool scanNamed(const char*& p, std::string_view separator, std::string_view name, int& value) {
    const char* q = p;
    if (!matchLiteral(q, separator) || !matchLiteral(q, "#") || !matchLiteral(q, name) ||
        !matchLiteral(q, "=")) {
        return false;
    }
    int v = 0;
    int used = 0;
    if (std::sscanf(q, "%d%n", &v, &used) != 1) {
        return false;
    }
    value = v;
    p = q + used;
    return true;
}

/// The extra values of a multi-value status reply, in the order of the names in use:
/// with only the second named, its value is the first one scanned.
void scanExtras(TagStatus& s, const char* rest, std::string_view separator, bool abbreviated) {
    s.extraValue1 = 0;
    s.extraValue2 = 0;
    if (rest == nullptr) {
        return;
    }
    const char* p = rest;
    for (int which : {1, 2}) {
        if (!extraInUse(s, which)) {
            continue;
        }
        const std::string_view full = extraName(s, which);
        const std::string name = abbreviated ? abbreviation(full) : std::string(full);
        int value = 0;
        if (!scanNamed(p, separator, name, value)) {
            return;
        }
        (which == 1 ? s.extraValue1 : s.extraValue2) = value;
    }
}

bool powerOf(int32_t statusWord) {
    return (static_cast<uint32_t>(statusWord) & kPowerBit) != 0;
}

bool bit(int32_t value, int n) {
    return ((static_cast<uint32_t>(value) >> n) & 1U) != 0;
}

// ---- kind 0x01 -------------------------------------------------------------------------

void statusTrilo(TagStatus& s, const char* reply) {
    Word first{}, fourth{}, fifth{}, last{};
    int function = s.function;
    int stage = s.stage;
    long position = s.position;
    unsigned inputs = static_cast<unsigned>(s.inputs);
    unsigned outputs = static_cast<unsigned>(s.outputs);
    const int n =
        matched(std::sscanf(reply, "%255s %d %d %255s %255s %ld %X %X %255s", first, &function,
                            &stage, fourth, fifth, &position, &inputs, &outputs, last));
    s.function = function;
    s.stage = stage;
    s.position = static_cast<int32_t>(position);
    s.inputs = static_cast<int32_t>(inputs);
    s.outputs = static_cast<int32_t>(outputs);
    if (n >= 5) {
        s.moving = (std::strcmp(fifth, "XX") == 0 || stage == kStageDone) ? 0 : 1;
    }
    if (n >= 9) {
        s.power = last[1] == 'O' ? kPowerOn : kPowerOff;
    }
}

void statusMicroTrilo(TagStatus& s, const char* reply) {
    int address = 0;
    int position = s.position;
    int inputs = s.inputs;
    int outputs = s.outputs;
    int statusWord = s.statusWord;
    int error = s.errorCode;
    int snsp = s.execute;
    int used = 0;
    const int n = matched(
        std::sscanf(reply, "%02d#CPA=%d #IN=%d #OUT=%d #_STATUS=%d #_ERR=%d #_SNSP=%d%n", &address,
                    &position, &inputs, &outputs, &statusWord, &error, &snsp, &used));
    s.position = position;
    s.statusWord = statusWord;
    s.errorCode = error;
    // The module reports its inputs and outputs inverted; only a value just read is turned
    // back, so that a reply that did not match leaves the record as it was.
    if (n >= 3) {
        s.inputs = kByte - inputs;
    }
    if (n >= 4) {
        s.outputs = kByte - outputs;
    }
    if (n >= 5) {
        s.power = powerOf(statusWord) ? kPowerOn : kPowerOff;
    }
    if (n >= 7) {
        s.function = (snsp >> 8) & kByte;
        s.stage = snsp & kByte;
        s.execute = s.function * kFunctionScale + s.stage;
    }
    scanExtras(s, n >= 7 && used > 0 ? reply + used : nullptr, " ", false);
}

void statusV2334(TagStatus& s, int32_t subIndex, const char* reply) {
    // None of the three sub-reads tells whether the motor power is on.
    s.power = kPowerUnknown;
    s.errorCode = 0;
    s.execute = 0;
    s.statusWord = 0;
    Word first{};
    if (subIndex == 1) {
        int position = s.position;
        std::sscanf(reply, "%255s %d", first, &position);
        s.position = position;
    } else if (subIndex == 3) {
        unsigned v = 0;
        if (matched(std::sscanf(reply, "%255s %X", first, &v)) == 2) {
            s.statusWord = static_cast<int32_t>(v);
            s.inputs = static_cast<int32_t>((v >> 4) & kByte);
            s.stage = static_cast<int32_t>((v >> 4) & kByte);
            s.function = 0;
        }
    }
    // Sub-read 2 (the error report) is read to clear it; nothing of it is kept.
}

void statusVrx17(TagStatus& s, int32_t subIndex, const char* reply) {
    constexpr int kExtra1 = 7;
    constexpr int kExtra2 = 8;
    Word first{};
    if (subIndex == kExtra1 || subIndex == kExtra2) {
        const int which = subIndex == kExtra1 ? 1 : 2;
        if (!extraInUse(s, which)) {
            return;
        }
        int32_t& target = which == 1 ? s.extraValue1 : s.extraValue2;
        int value = target;
        std::sscanf(reply, "%255[^=]=%d", first, &value);
        target = value;
        return;
    }
    int32_t* fields[] = {&s.position, &s.inputs,     &s.outputs,
                         &s.execute,  &s.statusWord, &s.errorCode};
    if (subIndex < 1 || subIndex > static_cast<int32_t>(std::size(fields))) {
        return;
    }
    int32_t& field = *fields[subIndex - 1];
    int value = field;
    const int n = matched(std::sscanf(reply, "%255s %d", first, &value));
    field = value;
    if (subIndex == 5 && n == 2) {
        s.power = powerOf(value) ? kPowerOn : kPowerOff;
    }
}

void statusDvrx(TagStatus& s, const char* reply) {
    int address = 0;
    int position = s.position;
    int inputs = s.inputs;
    int statusWord = s.statusWord;
    int outputs = s.outputs;
    int execute = s.execute;
    int error = s.errorCode;
    int used = 0;
    const int n = matched(
        std::sscanf(reply, "%02d#POS=%d,#INP=%d,#STA=%d,#OUT=%d,#LIN=%d,#ERR=%d%n", &address,
                    &position, &inputs, &statusWord, &outputs, &execute, &error, &used));
    s.position = position;
    s.inputs = inputs;
    s.statusWord = statusWord;
    s.outputs = outputs;
    s.execute = execute;
    s.errorCode = error;
    if (n >= 4) {
        s.power = powerOf(statusWord) ? kPowerOn : kPowerOff;
    }
    scanExtras(s, n >= 7 && used > 0 ? reply + used : nullptr, ",", true);
}

// ---- kind 0x02 -------------------------------------------------------------------------

void parametersTrilo(TagParamBlock& p, const char* reply) {
    Word first{};
    int start = p.startSpeed;
    int max = p.maxSpeed;
    int ramp = p.rampTime;
    char letter = 0;
    int ignored = 0;
    int current = p.currentCode;
    std::sscanf(reply, "%255s %d %d %d %c %d %d %d %d", first, &start, &max, &ramp, &letter,
                &ignored, &current, &ignored, &ignored);
    p.startSpeed = start;
    p.maxSpeed = max;
    p.rampTime = ramp;
    p.currentCode = current;
    p.resolution = 1;
    p.separateDecel = 0;
}

void rampOf(TagParamBlock& p, const char* ramp) {
    if (std::strchr(ramp, ':') == nullptr) {
        int v = 0;
        if (std::sscanf(ramp, "%d", &v) == 1) {
            p.rampTime = v;
            p.decelTime = v;
            // A single ramp means the module has no separate deceleration (now).
            p.separateDecel = 0;
        }
        return;
    }
    p.separateDecel = 1;
    int ramp1 = p.rampTime;
    int decel = p.decelTime;
    std::sscanf(ramp, "%d:%d", &ramp1, &decel);
    p.rampTime = ramp1;
    p.decelTime = decel;
}

void parametersLabelled(TagParamBlock& p, const char* reply) {
    Word first{}, ramp{}, endWord{};
    int start = p.startSpeed;
    int max = p.maxSpeed;
    int resolution = p.resolution;
    int ignored = 0;
    int current = p.currentCode;
    char mode1 = 0;
    char mode2 = 0;
    char reverse = 0;
    const int n = matched(std::sscanf(
        reply, "%255s WL:%d WH:%d WT:%255s WN:%d DR:%d GI:%d DG:%d MD:%c%c %255s %c", first, &start,
        &max, ramp, &resolution, &ignored, &current, &ignored, &mode1, &mode2, endWord, &reverse));
    p.startSpeed = start;
    p.maxSpeed = max;
    p.resolution = resolution;
    p.currentCode = current;
    if (n >= 4) {
        rampOf(p, ramp);
    }
    if (n >= 10) {
        p.standbyMode = mode2 == 'S' ? 1 : (mode2 == 'B' ? 2 : 0);
    }
    if (n >= 11) {
        if (std::strcmp(endWord, "MN") == 0) {
            p.indicators &= ~1;
        } else if (std::strcmp(endWord, "MB") == 0) {
            p.indicators |= 1;
        }
    }
    if (n >= 12) {
        if (reverse == 'L') {
            p.indicators &= ~2;
        } else if (reverse == 'H') {
            p.indicators |= 2;
        }
    }
}

// ---- kinds 0x21-0x25 -------------------------------------------------------------------

void autoOutputs(TagSpecificMode& m, const char* reply) {
    Word first{}, limits{}, options{}, positions{}, marks{};
    const int n = matched(std::sscanf(reply, "%255s %255s %255s %255s %255s", first, limits,
                                      options, positions, marks));
    const uint32_t old = static_cast<uint32_t>(m.autoOutputSettings);
    unsigned values = (old >> 16) & 0xFFU;
    unsigned used = (old >> 24) & 0xFFU;
    if (n >= 2) {
        std::sscanf(limits, "GL:%X:%X", &values, &used);
    }
    uint32_t bits = 0;
    if (n >= 3) {
        for (const char* c = options; *c != '\0'; ++c) {
            if (*c == 'A') {
                bits |= 1U;
            } else if (*c == 'R') {
                bits &= ~1U;
            } else if (*c == '+') {
                bits += 6;
            } else if (*c == '-') {
                bits += 4;
            }
        }
    } else {
        bits = old & 0x1FU;
    }
    if (n >= 5) {
        for (const char* c = marks; *c != '\0'; ++c) {
            if (*c == 'M') {
                bits += 8;
            } else if (*c == 'P') {
                bits += 16;
            }
        }
    }
    const uint32_t settings = bits + (values & 0xFFU) * 65536U + (used & 0xFFU) * 16777216U;
    m.autoOutputSettings = static_cast<int32_t>(settings);
    if (n >= 4) {
        int set = m.setPosition;
        int reset = m.resetPosition;
        std::sscanf(positions, "GP:%d:%d", &set, &reset);
        m.setPosition = set;
        m.resetPosition = reset;
    }
    constexpr uint32_t kIdle = 0xFF000000U;
    m.autoOutput = (m.setPosition == 0 && m.resetPosition == 0 && settings == kIdle) ? 0 : 1;
    m.dataValid = 1;
}

void specificMode(TagSpecificMode& m, int32_t kind, int32_t family, const char* reply) {
    Word first{};
    switch (kind) {
    case kKindPowerOnFunction: {
        unsigned v = static_cast<unsigned>(m.powerOnFunction);
        std::sscanf(reply, "%255s %X", first, &v);
        m.powerOnFunction = static_cast<int32_t>(v);
        break;
    }
    case kKindEndSensorCell: {
        unsigned v = 0;
        if (matched(std::sscanf(reply, "%255s %X", first, &v)) == 2) {
            m.endSensors = (v & 0x20U) != 0 ? 1 : 0;
        }
        break;
    }
    case kKindSlidingShort: {
        int n[8] = {};
        char letter = 0;
        n[7] = m.slidingDistance;
        std::sscanf(reply, "%255s %d %d %d %c %d %d %d %d", first, &n[0], &n[1], &n[2], &letter,
                    &n[4], &n[5], &n[6], &n[7]);
        m.slidingDistance = n[7];
        m.dataValid = 1;
        break;
    }
    case kKindSpecificLabelled: {
        Word ramp{}, mode{}, sensors{};
        int ignored = 0;
        int sliding = m.slidingDistance;
        char reverse = 0;
        const int n = matched(
            std::sscanf(reply, "%255s WL:%d WH:%d WT:%255s WN:%d DR:%d GI:%d DG:%d %255s %255s %c",
                        first, &ignored, &ignored, ramp, &ignored, &ignored, &ignored, &sliding,
                        mode, sensors, &reverse));
        m.slidingDistance = sliding;
        if (n >= 10) {
            m.endSensors = std::strcmp(sensors, "MB") == 0 ? 1 : 0;
        }
        if (n >= 11) {
            m.reverseInputs = reverse == 'H' ? 1 : 0;
        }
        m.dataValid = 1;
        break;
    }
    case kKindAutoOutput:
        if (family == kFamilyTriloV72 || family == kFamilyTriloV80 || family == kFamilyMicroTrilo) {
            autoOutputs(m, reply);
        }
        break;
    default:
        break;
    }
}

// ---- kinds 0x52, 0x53, 0x81 ------------------------------------------------------------

void v2334Settings(TagV2334Settings& v, int32_t subIndex, const char* reply) {
    Word first{};
    if (subIndex == 1) {
        Word brake{};
        int wl = v.wl;
        int wh = v.wh;
        int wt = v.wt;
        int gi = v.gi;
        int dg = v.dg;
        char mode = 0;
        const int n = matched(std::sscanf(reply, "%255s wl:%d wh:%d wt:%d gi:%d dg:%d md:%c %255s",
                                          first, &wl, &wh, &wt, &gi, &dg, &mode, brake));
        v.wl = wl;
        v.wh = wh;
        v.wt = wt;
        v.gi = gi;
        v.dg = dg;
        if (n >= 7) {
            v.ms = mode == 's' ? 1 : 0;
        }
        if (n >= 8) {
            const bool both = std::strcmp(brake, "mb") == 0;
            v.flagR = (both || std::strcmp(brake, "mbr") == 0) ? 1 : 0;
            v.flagS = (both || std::strcmp(brake, "mbs") == 0) ? 1 : 0;
        }
    } else if (subIndex == 2) {
        int bn = v.bn;
        int bp = v.bp;
        std::sscanf(reply, "%255s bn:%d bp:%d", first, &bn, &bp);
        v.bn = bn;
        v.bp = bp;
    }
}

void motionFlags(TagMotion& m, int32_t status, bool standbyFromStatus) {
    m.standbyMode = standbyFromStatus ? (bit(status, 0) ? 1 : 0) : 0;
    m.optimizedCurrent = standbyFromStatus ? 0 : (bit(status, 3) ? 1 : 0);
    m.hardEnds = bit(status, 5) ? 1 : 0;
    m.softEnds = bit(status, 6) ? 1 : 0;
}

void motionDvrx(TagMotion& m, const char* reply) {
    int address = 0;
    int status = m.statusWord;
    int neg = m.negativeEnd;
    int pos = m.positiveEnd;
    int torque = m.torqueRatio;
    int low = m.lowSpeed;
    int high = m.highSpeed;
    int accel = m.accelTime;
    int decel = m.decelTime;
    const int n = matched(
        std::sscanf(reply, "%02d#STA=%d,#NEN=%d,#PEN=%d,#TRA=%d,#LSP=%d,#HSP=%d,#ATI=%d,#DTI=%d",
                    &address, &status, &neg, &pos, &torque, &low, &high, &accel, &decel));
    m.statusWord = status;
    m.negativeEnd = neg;
    m.positiveEnd = pos;
    m.torqueRatio = torque;
    m.lowSpeed = low;
    m.highSpeed = high;
    m.accelTime = accel;
    m.decelTime = decel;
    if (n >= 2) {
        motionFlags(m, status, false);
    }
}

void motionVrx17(TagMotion& m, int32_t subIndex, const char* reply) {
    int address = 0;
    int value = 0;
    int n = 0;
    int32_t* field = nullptr;
    switch (subIndex) {
    case 1:
        value = m.statusWord;
        n = matched(std::sscanf(reply, "%02d#STA=%d", &address, &value));
        field = &m.statusWord;
        break;
    case 2:
        value = m.negativeEnd;
        n = matched(std::sscanf(reply, "%02d#NEN=%d", &address, &value));
        field = &m.negativeEnd;
        break;
    case 3:
        value = m.positiveEnd;
        n = matched(std::sscanf(reply, "%02d#PEN=%d", &address, &value));
        field = &m.positiveEnd;
        break;
    case 4:
        value = m.torqueRatio;
        n = matched(std::sscanf(reply, "%02d#TRA=%d", &address, &value));
        field = &m.torqueRatio;
        break;
    case 5:
        value = m.lowTorque;
        n = matched(std::sscanf(reply, "%02d#LTO=%d", &address, &value));
        field = &m.lowTorque;
        break;
    case 6:
        value = m.lowSpeed;
        n = matched(std::sscanf(reply, "%02d#LSP=%d", &address, &value));
        field = &m.lowSpeed;
        break;
    case 7:
        value = m.highSpeed;
        n = matched(std::sscanf(reply, "%02d#HSP=%d", &address, &value));
        field = &m.highSpeed;
        break;
    case 8:
        value = m.accelTime;
        n = matched(std::sscanf(reply, "%02d#RTI=%d", &address, &value));
        field = &m.accelTime;
        break;
    default:
        return;
    }
    *field = value;
    if (subIndex == 1 && n == 2) {
        motionFlags(m, value, true);
    }
}

void variable(TagVariableValue& v, const char* reply) {
    Word name{};
    int value = v.value;
    if (std::strchr(reply, ',') != nullptr) {
        int second = v.second;
        std::sscanf(reply, "%255[^:]:%d,(%d", name, &value, &second);
        v.value = value;
        v.second = second;
        return;
    }
    if (matched(std::sscanf(reply, "%255[^:]:%d", name, &value)) == 2) {
        v.value = value;
        v.second = value;
    }
}

} // namespace

void parseReply(const TagRequest& r, const char* reply) {
    // "QX" fills the cells of the table where a family has no read: its reply is the
    // module's error report, not the value asked for.
    if (r.data == nullptr || reply == nullptr || readCommand(r) == kNoRead) {
        return;
    }
    const int32_t family = familyOf(r.typeCode);
    const bool trilo = family >= kFamilyTrilo && family <= kFamilyTriloV80;
    const bool v2334 = family == kFamilyVrx23 || family == kFamilyVrx34;
    int32_t kind = r.kind;
    if (kind >= kKindVariableBase && kind <= kKindVariableLast) {
        kind = kKindVariable;
    }
    switch (kind) {
    case kKindStatus: {
        auto& s = *static_cast<TagStatus*>(r.data);
        if (trilo) {
            statusTrilo(s, reply);
        } else if (family == kFamilyMicroTrilo) {
            statusMicroTrilo(s, reply);
        } else if (v2334) {
            statusV2334(s, r.subIndex, reply);
        } else if (family == kFamilyVrx17) {
            statusVrx17(s, r.subIndex, reply);
        } else if (family == kFamilyDvrx) {
            statusDvrx(s, reply);
        }
        break;
    }
    case kKindParameters: {
        auto& p = *static_cast<TagParamBlock*>(r.data);
        if (family == kFamilyTrilo) {
            parametersTrilo(p, reply);
        } else if (trilo || family == kFamilyMicroTrilo) {
            parametersLabelled(p, reply);
        }
        break;
    }
    case kKindPowerOnFunction:
    case kKindEndSensorCell:
    case kKindSlidingShort:
    case kKindSpecificLabelled:
    case kKindAutoOutput:
        specificMode(*static_cast<TagSpecificMode*>(r.data), kind, family, reply);
        break;
    case kKindV2334Read:
        if (v2334) {
            v2334Settings(*static_cast<TagV2334Settings*>(r.data), r.subIndex, reply);
        }
        break;
    case kKindMotionRead:
        if (family == kFamilyDvrx) {
            motionDvrx(*static_cast<TagMotion*>(r.data), reply);
        } else if (family == kFamilyVrx17) {
            motionVrx17(*static_cast<TagMotion*>(r.data), r.subIndex, reply);
        }
        break;
    case kKindVariable:
        variable(*static_cast<TagVariableValue*>(r.data), reply);
        break;
    default:
        break;
    }
}

} // namespace tkv::cmdset
