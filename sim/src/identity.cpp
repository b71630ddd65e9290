#include "identity.h"

#include <array>
#include <cstdio>
#include <string_view>

namespace kvsim {

namespace {

// Model numbers of the TRILO generations, one per family byte 0x01-0x04.
constexpr int kModelNumber[] = {0, 25, 50, 75, 85};
// The variant word of the TRILO identity: its high byte marks it as a variant word.
constexpr unsigned kVariantMark = 0xFE00;
constexpr unsigned kNoVariant = 65535;
constexpr std::size_t kVrx23Memory = 64;
constexpr std::size_t kVrx34Memory = 128;
// The later families print their hardware code and version at fixed places of the reply:
// after the two address digits, a three-character head, the code (characters 6-9), a dot
// and the version in three hexadecimal digits (from the eleventh character). The head
// joins them into the first word, so that no number follows it and a hardware code that
// begins with a digit is not taken for a model number.
constexpr const char* kAsciiHead = "HW-";
constexpr int kMaxVersion = 0xFFF; // three hexadecimal digits

struct HardwareCode {
    std::uint16_t type;
    const char* code;
};
// The hardware codes the modules of the later families print in their identity.
constexpr std::array<HardwareCode, 17> kHardware{{
    {0x1001, "P480"},
    {0x1002, "Q480"},
    {0x1082, "R480"},
    {0x1004, "2493"},
    {0x3001, "P461"},
    {0x3002, "R461"},
    {0x4001, "P475"},
    {0x4002, "R475"},
    {0x5000, "2403"},
    {0x6020, "2471"},
    {0x6021, "Q471"},
    {0x6040, "S461"},
    {0x6041, "U461"},
    {0x6060, "T475"},
    {0x6061, "U475"},
    {0x6080, "2412"},
    {0x6081, "U412"},
}};

constexpr std::array<std::uint16_t, 23> kTriloTypes{
    0x0100, 0x0180, 0x0181, 0x0200, 0x0201, 0x0203, 0x0205, 0x0300, 0x0301, 0x0303, 0x0305, 0x0380,
    0x0382, 0x0400, 0x0401, 0x0402, 0x0403, 0x0405, 0x0408, 0x0409, 0x040A, 0x040B, 0x040D};

const char* hardwareCode(std::uint16_t type) {
    for (const auto& h : kHardware) {
        if (h.type == type) {
            return h.code;
        }
    }
    return nullptr;
}

std::string serialPart(long serial) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "_KORVEL_SERIE%ld_", serial);
    return buf;
}

// "rev " also keeps the reply recognisable as a hardware identity when the frame path
// writes its reply labels in upper case.
std::string revision(int version) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "rev %d.%02d", version / 100, version % 100);
    return buf;
}

// The TRILO variant word for a family-4 variant: bit 3 travels in bit 6, and bit 1 in
// bit 1 of an odd variant but in bit 5 of an even one.
unsigned family4Word(unsigned variant) {
    unsigned w = variant & 0x05U;
    if ((variant & 0x02U) != 0) {
        w |= (variant & 0x01U) != 0 ? 0x02U : 0x20U;
    }
    if ((variant & 0x08U) != 0) {
        w |= 0x40U;
    }
    return w;
}

std::string triloIdentity(const ModuleSetup& setup) {
    const unsigned family = setup.typeCode >> 8;
    const unsigned variant = setup.typeCode & 0xFFU;
    unsigned word = kNoVariant;
    // Associated variants (bit 7) cannot be told apart on the wire: they answer as their
    // generic type, and the user picks the associated type by hand.
    const bool associated = (variant & 0x80U) != 0;
    if (family == 2 || family == 3) {
        word = kVariantMark | (associated ? 0U : (variant & 0x07U));
    } else if (family == 4) {
        word = kVariantMark | family4Word(variant);
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "V %d %u", kModelNumber[family], word);
    std::string text = buf;
    if (family == 4 && (variant & 0x08U) != 0) {
        text += ' ' + serialPart(setup.serial);
    }
    return text;
}

} // namespace

bool typeCodeHasIdentity(std::uint16_t code, Family family) {
    switch (family) {
    case Family::Trilo:
        for (auto t : kTriloTypes) {
            if (t == code) {
                return true;
            }
        }
        return false;
    case Family::MicroTrilo:
    case Family::Vrx17:
    case Family::Dvrx:
    case Family::Vrx23:
    case Family::Vrx34:
        return hardwareCode(code) != nullptr && typeCodeBelongsTo(code, family);
    case Family::Jbus:
        return true;
    }
    return false;
}

std::string asciiIdentity(const ModuleSetup& setup) {
    if (setup.family == Family::Trilo) {
        return triloIdentity(setup);
    }
    const char* code = hardwareCode(setup.typeCode);
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s%4s.%03X %s %s ", kAsciiHead, code ? code : "????",
                  static_cast<unsigned>(setup.version & kMaxVersion),
                  std::string(familyName(setup.family)).c_str(), revision(setup.version).c_str());
    return buf + serialPart(setup.serial);
}

FrameIdentity frameIdentity(const ModuleSetup& setup) {
    FrameIdentity id;
    const char* code = hardwareCode(setup.typeCode);
    char buf[16];
    // The frame path's reply puts "ev " before these eight characters, which brings the
    // code and the version to the same places as in the other families' identities.
    std::snprintf(buf, sizeof buf, "%4s.%03X", code ? code : "????",
                  static_cast<unsigned>(setup.version & kMaxVersion));
    id.closing = buf;
    id.memory = std::string(familyName(setup.family)) + ' ' + revision(setup.version) + ' ' +
                serialPart(setup.serial);
    id.memory.resize(setup.family == Family::Vrx34 ? kVrx34Memory : kVrx23Memory, ' ');
    return id;
}

} // namespace kvsim
