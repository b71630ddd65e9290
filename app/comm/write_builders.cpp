#include "write_builders.h"

#include "comm/texts.h"

namespace tkv::cmdset {

namespace {

constexpr int kByte = 0xFF;
constexpr int kOutputBits = 32;

const char* onOff(uint8_t flag) {
    return flag != 0 ? "ON" : "OFF";
}

class Builder {
  public:
    explicit Builder(TKV_WriteCommands& out) : m_out(out) {}
    void first(const std::string& s) {
        text::copy(m_out.first, s);
        m_out.built = true;
    }
    void extra(const std::string& s) {
        if (m_out.extraCount < kExtraCommands) {
            text::copy(m_out.extras[m_out.extraCount], s);
            ++m_out.extraCount;
        }
    }
    void box(const char* textOfBox, const char* title) {
        m_out.boxText = textOfBox;
        m_out.boxTitle = title;
    }
    void start(const char* s) { text::copy(m_out.first, s); }

  private:
    TKV_WriteCommands& m_out;
};

bool isTriloFamily(int32_t family) {
    return (family >= kFamilyTrilo && family <= kFamilyTriloV80) || family == kFamilyMicroTrilo;
}

void parameters(Builder& b, const TagRequest& r, int32_t family) {
    const auto& p = *static_cast<const TagParamBlock*>(r.data);
    const int a = r.address;
    if (family == kFamilyTrilo) {
        b.first(text::format("%02dGS,WL20,WT100,GI%d,WH%d,WL%d,WT%d", a, p.currentCode, p.maxSpeed,
                             p.startSpeed, p.rampTime));
        return;
    }
    if (!isTriloFamily(family)) {
        return;
    }
    const char standby = p.standbyMode == 1 ? 'S' : (p.standbyMode == 2 ? 'B' : 'N');
    const std::string ramp = p.separateDecel != 0 ? text::format("%d:%d", p.rampTime, p.decelTime)
                                                  : text::format("%d", p.rampTime);
    // Odd type codes are the models whose current is not set by command.
    if ((r.typeCode & 1) == 0) {
        b.first(text::format("%02dGS,WN%d,WL%d,WH%d,MS%c,WT%s,GI%d", a, p.resolution, p.startSpeed,
                             p.maxSpeed, standby, ramp.c_str(), p.currentCode));
    } else {
        b.first(text::format("%02dGS,WN%d,WL%d,WH%d,MS%c,WT%s", a, p.resolution, p.startSpeed,
                             p.maxSpeed, standby, ramp.c_str()));
    }
}

// One format for every family: a module that offers none of the modes has no supported flag
// set, and its write is the bare "GS".
void specificMode(Builder& b, const TagRequest& r) {
    const auto& m = *static_cast<const TagSpecificMode*>(r.data);
    std::string sliding, powerOn, sensors, reverse, limits, positions;
    if (m.slidingSupported != 0) {
        sliding = text::format(",DG%d", m.slidingDistance);
    }
    if (m.powerOnSupported != 0) {
        powerOn = m.powerOnFunction == 0 ? ",SR" : text::format(",SD%d", m.powerOnFunction);
    }
    if (m.endSensorsSupported != 0) {
        sensors = m.endSensors != 0 ? ",MB" : ",MN";
    }
    if (m.reverseSupported != 0) {
        reverse = m.reverseInputs != 0 ? " H" : " L";
    }
    if (m.autoOutputSupported != 0) {
        if (m.autoOutput == 0) {
            positions = ",GP A";
        } else {
            const uint32_t s = static_cast<uint32_t>(m.autoOutputSettings);
            std::string letters;
            if ((s & 0x4U) != 0) {
                letters += (s & 0x2U) != 0 ? '+' : '-';
            } else {
                letters += ' ';
            }
            letters += (s & 0x1U) != 0 ? 'A' : 'R';
            limits = text::format(",GL %02X:%02X %s", (s >> 16) & 0xFFU, (s >> 24) & 0xFFU,
                                  letters.c_str());
            std::string marks;
            marks += (s & 0x8U) != 0 ? 'M' : ' ';
            marks += (s & 0x10U) != 0 ? 'P' : ' ';
            positions = text::format(",GP %d:%d %s", m.setPosition, m.resetPosition, marks.c_str());
        }
    }
    b.first(text::format("%02dGS%s%s%s%s%s%s", r.address, sliding.c_str(), powerOn.c_str(),
                         sensors.c_str(), reverse.c_str(), limits.c_str(), positions.c_str()));
}

void motion(Builder& b, const TagRequest& r, int32_t family) {
    b.start("RESET");
    const bool dvrx = family == kFamilyDvrx;
    if (!dvrx && family != kFamilyVrx17) {
        b.box("MAP : commande pour carte inconnue", "general failure");
        return;
    }
    const auto& m = *static_cast<const TagMotion*>(r.data);
    const int a = r.address;
    switch (m.subKind) {
    case kMotionMove:
        if (m.moveMode == kMoveSpeed) {
            b.first(text::format("%02dMOVE_SPEED %d", a, m.moveSpeed));
        } else if (m.moveMode == kMoveAbsolute) {
            b.first(text::format("%02dMOVE_TO %d", a, m.absoluteTarget));
        } else if (m.moveMode == kMoveRelative) {
            b.first(text::format("%02dMOVE_ON %d", a, m.relativeDistance));
        }
        break;
    case kMotionFreeCommand:
        b.first(text::format("%02d%.*s", a, static_cast<int>(text::view(m.freeCommand).size()),
                             m.freeCommand));
        break;
    case kMotionSpeeds:
        if (dvrx) {
            b.first(
                text::format("%02d#LOW_SPEED:=%d,#HIGH_SPEED:=%d,#ACCEL_TIME:=%d,#DECEL_TIME:=%d",
                             a, m.lowSpeed, m.highSpeed, m.accelTime, m.decelTime));
        } else {
            b.first(text::format("%02d#LSP:=0 , #HSP:=%d , #RTI:=%d , #LSP:=%d", a, m.highSpeed,
                                 m.accelTime, m.lowSpeed));
        }
        break;
    case kMotionTorque:
        if (dvrx) {
            b.first(text::format("%02d#TORQUE_RATIO:=%d,OPTIMIZED_CURRENT %s", a, m.torqueRatio,
                                 onOff(m.optimizedCurrent)));
        } else {
            b.first(text::format("%02d#TRA:=%d , #LTO:= %d , SMO %s", a, m.torqueRatio, m.lowTorque,
                                 onOff(m.standbyMode)));
        }
        break;
    case kMotionEnds:
        if (dvrx) {
            b.first(
                text::format("%02dHARD_ENDS %s,SOFT_ENDS %s,#POSITIVE_END:=%d,#NEGATIVE_END:=%d", a,
                             onOff(m.hardEnds), onOff(m.softEnds), m.positiveEnd, m.negativeEnd));
        } else {
            b.first(text::format("%02dHEN %s , SEN %s , #PEN:=%d , #NEN:=%d", a,
                                 m.hardEnds != 0 ? "ALL" : "OFF", onOff(m.softEnds), m.positiveEnd,
                                 m.negativeEnd));
        }
        break;
    case kMotionPosition:
        b.first(text::format("%02d#POSITION:=%d", a, m.positionToSet));
        break;
    case kMotionOutput:
        b.first(text::format("%02d#OUTPUT:=%d", a, m.outputToSet));
        break;
    default:
        break;
    }
}

void variable(Builder& b, TagRequest& r, int32_t family) {
    b.start("****");
    const bool vrx = family == kFamilyVrx17 || family == kFamilyDvrx;
    if (!vrx && family != kFamilyMicroTrilo) {
        b.box("MAP : build only for VRX17", "");
        return;
    }
    auto& v = *static_cast<TagVariable*>(r.data);
    const int a = r.address;
    const std::string name(text::view(v.name));
    const std::string value(text::view(v.value));
    const bool outputKnown = v.outputNumber >= 1 && v.outputNumber <= kOutputBits;
    switch (v.subKind) {
    case kVariableResetPosition:
        b.first(vrx ? text::format("%02d#POSITION:=0", a) : text::format("%02dPO #CPA := 0", a));
        break;
    case kVariableAssign:
        b.first(vrx ? text::format("%02d#%s:=%s", a, name.c_str(), value.c_str())
                    : text::format("%02dPO #%s := %s", a, name.c_str(), value.c_str()));
        break;
    case kVariableToggleOutput: {
        // An output number outside the module's outputs names no bit: nothing is sent.
        if (!outputKnown) {
            break;
        }
        const uint32_t flip = 1U << (v.outputNumber - 1);
        if (vrx) {
            b.first(text::format("%02d#%s:=h%x", a, name.c_str(),
                                 static_cast<uint32_t>(v.outputValue) ^ flip));
        } else {
            v.outputValue = kByte - v.outputValue;
            b.first(
                text::format("%02dPO #OUT := h%x", a, static_cast<uint32_t>(v.outputValue) ^ flip));
        }
        break;
    }
    default:
        break;
    }
}

void v2334(Builder& b, const TagRequest& r, int32_t family) {
    b.start("MR");
    if (family != kFamilyVrx23 && family != kFamilyVrx34) {
        b.box("MAP : erreur sur le type de module", "general failure");
        return;
    }
    const auto& v = *static_cast<const TagV2334Settings*>(r.data);
    const int a = r.address;
    switch (v.subKind) {
    case kV2334Brake: {
        b.first(text::format("%02dbn%d", a, v.bn));
        b.extra(text::format("%02dbp%d", a, v.bp));
        const char* brake =
            v.flagR != 0 ? (v.flagS != 0 ? "mb" : "mbr") : (v.flagS != 0 ? "mbs" : "mn");
        b.extra(text::format("%02d%s", a, brake));
        break;
    }
    case kV2334Current:
        b.first(text::format("%02dgi %d", a, v.gi));
        b.extra(text::format("%02d%s", a, v.ms != 0 ? "mss" : "msn"));
        break;
    case kV2334Motion:
        b.first(text::format("%02ddg%d", a, v.dg));
        b.extra(text::format("%02dwl%d", a, v.wl));
        b.extra(text::format("%02dwx %d %d", a, v.wh, v.wt));
        break;
    case kV2334Gain:
        b.first(v.gfSelected == 0 ? text::format("%02dga%d", a, v.ga)
                                  : text::format("%02dgf%d", a, v.gf));
        break;
    default:
        break;
    }
}

} // namespace

TKV_WriteCommands buildWrite(TagRequest& r) {
    TKV_WriteCommands out;
    if (r.data == nullptr) {
        return out;
    }
    Builder b(out);
    const int32_t family = familyOf(r.typeCode);
    switch (r.kind) {
    case kKindParameters:
        parameters(b, r, family);
        break;
    case kKindSpecificGroup:
        specificMode(b, r);
        break;
    case kKindMotionWrite:
        motion(b, r, family);
        break;
    case kKindVariableWrite:
        variable(b, r, family);
        break;
    case kKindV2334Write:
        v2334(b, r, family);
        break;
    default:
        break;
    }
    if (!out.built) {
        out.extraCount = 0;
    }
    return out;
}

} // namespace tkv::cmdset
