#include "comm/read_commands.h"

#include "comm/texts.h"

#include <iterator>

namespace tkv::cmdset {

namespace {

constexpr const char* kNoCommand = "QX";
constexpr const char* kNone = "none";
constexpr int kSubReadsV2334Status = 3;
constexpr int kSubReadsV2334Settings = 2;
constexpr int kSubReadsVrx17 = 8;
constexpr int kVrx17ExtraSub1 = 7;
constexpr int kVrx17ExtraSub2 = 8;
constexpr std::size_t kAbbreviationLength = 3;

bool isTriloV(int32_t family) {
    return family >= kFamilyTriloV40 && family <= kFamilyTriloV80;
}

bool isV2334(int32_t family) {
    return family == kFamilyVrx23 || family == kFamilyVrx34;
}

const TagStatus* statusOf(const TagRequest& r) {
    return static_cast<const TagStatus*>(r.data);
}

std::string statusCommand(const TagRequest& r) {
    const int32_t family = familyOf(r.typeCode);
    const TagStatus* s = statusOf(r);
    if (family == kFamilyTrilo) {
        return "RD";
    }
    if (isTriloV(family)) {
        return "QD";
    }
    if (family == kFamilyMicroTrilo) {
        std::string c = "QR #CPA #IN #OUT #_STATUS #_ERR #_SNSP";
        if (s != nullptr) {
            for (int which : {1, 2}) {
                if (extraInUse(*s, which)) {
                    c += " #";
                    c += extraName(*s, which);
                }
            }
        }
        return c;
    }
    if (isV2334(family)) {
        static constexpr const char* kSub[] = {"qp", "qx", "qa"};
        if (r.subIndex >= 1 && r.subIndex <= kSubReadsV2334Status) {
            return kSub[r.subIndex - 1];
        }
        return kNoCommand;
    }
    if (family == kFamilyVrx17) {
        static constexpr const char* kSub[] = {"REA #POS", "REA #INP", "REA #OUT",
                                               "REA #LIN", "REA #STA", "REA #ERR"};
        if (r.subIndex >= 1 && r.subIndex <= static_cast<int32_t>(std::size(kSub))) {
            return kSub[r.subIndex - 1];
        }
        if ((r.subIndex == kVrx17ExtraSub1 || r.subIndex == kVrx17ExtraSub2) && s != nullptr) {
            const int which = r.subIndex == kVrx17ExtraSub1 ? 1 : 2;
            if (extraInUse(*s, which)) {
                return "REA #" + std::string(extraName(*s, which));
            }
        }
        return "READ #POS";
    }
    if (family == kFamilyDvrx) {
        std::string c = "REA #POS,REA #INP,REA #STA,REA #OUT,REA #LIN,REA #ERR";
        if (s != nullptr) {
            for (int which : {1, 2}) {
                if (extraInUse(*s, which)) {
                    c += ",REA #";
                    c += extraName(*s, which);
                }
            }
        }
        return c;
    }
    return kNoCommand;
}

std::string motionCommand(const TagRequest& r) {
    const int32_t family = familyOf(r.typeCode);
    if (family == kFamilyVrx17) {
        static constexpr const char* kSub[] = {"REA #STA", "REA #NEN", "REA #PEN", "REA #TRA",
                                               "REA #LTO", "REA #LSP", "REA #HSP", "REA #RTI"};
        if (r.subIndex >= 1 && r.subIndex <= static_cast<int32_t>(std::size(kSub))) {
            return kSub[r.subIndex - 1];
        }
        return "READ #STA";
    }
    if (family == kFamilyDvrx) {
        return "REA #STA,REA #NEN,REA #PEN,REA #TRA,REA #LSP,REA #HSP,REA #ATI,REA #DTI";
    }
    return kNoCommand;
}

} // namespace

std::string_view extraName(const TagStatus& status, int which) {
    return which == 1 ? text::view(status.extraName1) : text::view(status.extraName2);
}

bool extraInUse(const TagStatus& status, int which) {
    const std::string_view name = extraName(status, which);
    return status.noExtras == 0 && !name.empty() && name != kNone;
}

std::string abbreviation(std::string_view name) {
    const std::size_t underscore = name.find('_');
    if (underscore == std::string_view::npos || name.empty()) {
        return std::string(name);
    }
    std::string out(1, name.front());
    out += name.substr(underscore + 1, 2);
    return out.substr(0, kAbbreviationLength);
}

std::string readCommand(const TagRequest& r) {
    const int32_t family = familyOf(r.typeCode);
    int32_t kind = r.kind;
    if (kind >= kKindVariableBase && kind <= kKindVariableLast) {
        kind = kKindVariable;
    }
    switch (kind) {
    case kKindStatus:
        return statusCommand(r);
    case kKindParameters:
        if (family == kFamilyTrilo) {
            return "RL";
        }
        if (isTriloV(family) || family == kFamilyMicroTrilo) {
            return "QL";
        }
        break;
    case kKindPowerOnFunction:
        switch (family) {
        case kFamilyTrilo:
            return "RM 26 2F";
        case kFamilyTriloV40:
            return "QM C6 05";
        case kFamilyTriloV72:
            return "QM C6 04";
        case kFamilyTriloV80:
        case kFamilyMicroTrilo:
            return "QM C6 84";
        default:
            break;
        }
        break;
    case kKindEndSensorCell:
        if (family == kFamilyTrilo) {
            return "RM 21 FF";
        }
        break;
    case kKindSlidingShort:
        if (family == kFamilyTrilo) {
            return "RL";
        }
        break;
    case kKindSpecificLabelled:
        if (isTriloV(family) || family == kFamilyMicroTrilo) {
            return "QL";
        }
        break;
    case kKindAutoOutput:
        if (family == kFamilyTriloV72 || family == kFamilyTriloV80 || family == kFamilyMicroTrilo) {
            return "QC";
        }
        break;
    case kKindV2334Read:
        if (isV2334(family)) {
            if (r.subIndex == 1) {
                return "ql";
            }
            if (r.subIndex == 2) {
                return "qb";
            }
        }
        break;
    case kKindMotionRead:
        return motionCommand(r);
    case kKindVariable:
        if (isTriloV(family) || family == kFamilyMicroTrilo) {
            return text::format("QN#%02d", r.kind & 0xFF);
        }
        break;
    default:
        break;
    }
    return kNoCommand;
}

int32_t repeatCount(int32_t kind, int32_t typeCode) {
    const int32_t family = familyOf(typeCode);
    if (isV2334(family) && kind == kKindStatus) {
        return kSubReadsV2334Status;
    }
    if (kind == kKindV2334Read) {
        return kSubReadsV2334Settings;
    }
    if (family == kFamilyVrx17 && (kind == kKindStatus || kind == kKindMotionRead)) {
        return kSubReadsVrx17;
    }
    return 0;
}

} // namespace tkv::cmdset
