#include "commands.h"

#include "codes.h"

namespace modtyp {
namespace {

// The text a family gets for a purpose it has no command of its own for.
constexpr std::string_view kNoCommand = "GS";
constexpr std::string_view kNoReference = "none";
// The reference names begin with "µ", the Windows-1252 byte 0xB5.
constexpr std::string_view kMicroTrilo = "\xB5"
                                         "Trilo";
constexpr std::string_view kMicroVrx17 = "\xB5"
                                         "Vrx17v1_00";

// The V23/V34 baud-rate command ends in a digit that selects the speed.
constexpr std::string_view kFrameBaudRate = "1B001122330";
constexpr char kFrameBaudOther = '1';
constexpr char kFrameBaud19200 = '2';
constexpr char kFrameBaud38400 = '3';

std::string withArgument(std::string_view head, std::string_view argument) {
    std::string text{head};
    const std::size_t room = kCommandSize - 1 - head.size();
    text += argument.substr(0, room);
    return text;
}

std::string frameFamily(std::int32_t purpose, std::string_view argument) {
    switch (purpose) {
    case purpose::kSetAddress:
        return withArgument("am", argument);
    case purpose::kSetBaudRate: {
        std::string text{kFrameBaudRate};
        if (argument == "19200") {
            text += kFrameBaud19200;
        } else if (argument == "38400") {
            text += kFrameBaud38400;
        } else {
            text += kFrameBaudOther;
        }
        return text;
    }
    case purpose::kReadVersion:
        return "QV";
    case purpose::kReadError:
    case purpose::kClearError:
        return "QX";
    default:
        return std::string{kNoCommand};
    }
}

std::string vrxFamily(int fam, std::int32_t purpose, std::string_view argument) {
    switch (purpose) {
    case purpose::kSetAddress:
        return withArgument("SET_ADDRESS ", argument);
    case purpose::kSetBaudRate:
        return withArgument("SET_BAUDRATE ", argument);
    case purpose::kSetProtocol:
        // The DVRX drives have one protocol only.
        return fam == family::kVrx17 ? withArgument("SET_PROTOCOL ", argument)
                                     : std::string{kNoCommand};
    case purpose::kReadVersion:
        return "RV";
    case purpose::kReadError:
        return "REA H#ERR";
    case purpose::kClearError:
        return "#ERR := 0";
    default:
        return std::string{kNoCommand};
    }
}

std::string otherFamily(int fam, std::int32_t purpose) {
    switch (purpose) {
    case purpose::kReadVersion:
        return fam == family::kMicroTrilo ? "QV" : "RV";
    case purpose::kReadError:
    case purpose::kClearError:
        return fam == family::kTriloA ? "RX" : "QX";
    default:
        return std::string{kNoCommand};
    }
}

std::string_view referenceName(std::int32_t code) {
    switch (familyOf(code)) {
    case family::kMicroTrilo:
        return kMicroTrilo;
    case family::kVrx17:
        return kMicroVrx17;
    case family::kDvrx:
        switch (variantOf(code) & kDvrxKindMask) {
        case dvrx::kDvrx17:
        case dvrx::kDvrx23:
            return "DVRX";
        case dvrx::kDvrx34:
            return "DVRX34";
        case dvrx::kBvrx:
            return "BVRX";
        default:
            return kNoReference;
        }
    default:
        return kNoReference;
    }
}

} // namespace

std::string serviceCommand(std::int32_t code, std::int32_t purpose, std::string_view argument) {
    if (purpose == purpose::kReferenceName) {
        return std::string{referenceName(code)};
    }
    const int fam = familyOf(code);
    switch (fam) {
    case family::kVrx23:
    case family::kVrx34:
        return frameFamily(purpose, argument);
    case family::kVrx17:
    case family::kDvrx:
        return vrxFamily(fam, purpose, argument);
    default:
        return otherFamily(fam, purpose);
    }
}

} // namespace modtyp
