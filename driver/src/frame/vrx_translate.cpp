#include "frame/vrx_translate.h"

#include "base/hex_digit.h"
#include "kv/kv_bytes.h"
#include "linkor_status.h"

#include <common/text_words.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

namespace linkor::vrx {

namespace {

constexpr Scales kScales[] = {{10, 200, 120}, {50, 200, 120}};

constexpr unsigned kAllModules = 0xFF;
constexpr uint8_t kShiftOut = 0x0E;
constexpr uint8_t kShiftIn = 0x0F;
constexpr size_t kAddressDigits = 2;
constexpr size_t kMnemonicLength = 2;

// The arithmetic of the modules' units, as their frames carry them.
constexpr int64_t kSpeedNumerator = 8'000'000;
constexpr int64_t kSlowestRatio = 390;
constexpr int64_t kPeriodNumerator = 16'000'000;
constexpr int64_t kPeriodLimit = 0x10000;
constexpr int64_t kStartNumerator = 2'000'000;
constexpr int64_t kStartMin = 1;
constexpr int64_t kStartMax = 0xFF;
constexpr int64_t kRampNumerator = 8000;
constexpr int64_t kRampLimit = 0x100;
constexpr int64_t kPositionLimit = int64_t{1} << 30;
constexpr int64_t kTorqueMin = -32768;
constexpr int64_t kTorqueMax = 32767;
constexpr int64_t kUnsignedMax = 0xFFFF'FFFF;
constexpr int64_t kSignedMin = -(int64_t{1} << 31);
constexpr int64_t kSignedMax = (int64_t{1} << 31) - 1;
constexpr int64_t kSliding = 255;
constexpr int64_t kCurrentCountMax = 0x7F;
constexpr int64_t kPercentMax = 100;
constexpr int64_t kNewAddressLimit = 0x80;
constexpr size_t kShortDigits = 3;
/// Larger than every range a value is checked against; reading stops growing here.
constexpr int64_t kSaturated = int64_t{1} << 40;

// Memory of the identity and of the maximum current.
constexpr unsigned kIdentityFirst = 0x2900;
constexpr unsigned kIdentityFirstLast = 0x293C;
constexpr unsigned kIdentitySecond = 0x2A00;
constexpr unsigned kIdentitySecondLast = 0x2A3C;
constexpr unsigned kIdentityStep = 4;
constexpr unsigned kMaxCurrentCell = 0x2A40;
constexpr unsigned kIdentityClosing = 0x24;
constexpr unsigned kFirstRead = 0x20;

/// How a mnemonic reads its argument and builds its frames.
enum class Arg {
    None,           ///< one frame of its function code
    TwoReads,       ///< one frame per function code
    NewAddress,     ///< AM
    Position,       ///< BN, BP, GA
    Sliding,        ///< DG
    Speed,          ///< GF
    TorqueSpeed,    ///< GT
    CurrentCount,   ///< GI
    CurrentPercent, ///< gi
    EndSensors,     ///< MB
    MotorReset,     ///< MR
    Standby,        ///< MS
    ZeroMode,       ///< MZ
    Sync,           ///< SY
    StartSpeed,     ///< WL
    HighSpeed,      ///< WX
    Settings,       ///< QL
    Identity,       ///< QV
};

enum class SecondCase { Any, Upper, Lower };

struct Row {
    char first; ///< upper case; a read's "Q" also stands for "R"
    char second;
    SecondCase secondCase;
    Arg arg;
    unsigned code;
    unsigned code2;
};

constexpr Row kRows[] = {
    {'A', 'M', SecondCase::Any, Arg::NewAddress, 0x08, 0},
    {'B', 'N', SecondCase::Any, Arg::Position, 0x0A, 0},
    {'B', 'P', SecondCase::Any, Arg::Position, 0x09, 0},
    {'D', 'G', SecondCase::Any, Arg::Sliding, 0x1C, 0},
    {'D', 'I', SecondCase::Any, Arg::None, 0x0B, 0},
    {'E', 'B', SecondCase::Any, Arg::None, 0x1D, 0},
    {'G', 'A', SecondCase::Any, Arg::Position, 0x13, 0},
    {'G', 'E', SecondCase::Any, Arg::None, 0x17, 0},
    {'G', 'H', SecondCase::Any, Arg::None, 0x14, 0},
    {'G', 'M', SecondCase::Any, Arg::None, 0x19, 0},
    {'G', 'R', SecondCase::Any, Arg::None, 0x1A, 0},
    {'G', 'S', SecondCase::Any, Arg::None, 0x18, 0},
    {'G', 'F', SecondCase::Any, Arg::Speed, 0x15, 0},
    {'G', 'T', SecondCase::Any, Arg::TorqueSpeed, 0x16, 0},
    {'G', 'I', SecondCase::Upper, Arg::CurrentCount, 0x0C, 0},
    {'G', 'I', SecondCase::Lower, Arg::CurrentPercent, 0x0C, 0},
    {'M', 'B', SecondCase::Any, Arg::EndSensors, 0x03, 0},
    {'M', 'N', SecondCase::Any, Arg::None, 0x03, 0},
    {'M', 'R', SecondCase::Any, Arg::MotorReset, 0x00, 0x01},
    {'M', 'S', SecondCase::Any, Arg::Standby, 0x02, 0},
    {'M', 'Z', SecondCase::Any, Arg::ZeroMode, 0x07, 0},
    {'S', 'Y', SecondCase::Any, Arg::Sync, 0x11, 0},
    {'W', 'L', SecondCase::Any, Arg::StartSpeed, 0x0E, 0},
    {'W', 'S', SecondCase::Any, Arg::None, 0x10, 0},
    {'W', 'X', SecondCase::Any, Arg::HighSpeed, 0x0D, 0x0F},
    {'Q', 'A', SecondCase::Any, Arg::None, 0x27, 0},
    {'Q', 'B', SecondCase::Any, Arg::TwoReads, 0x23, 0x22},
    {'Q', 'F', SecondCase::Any, Arg::None, 0x2B, 0},
    {'Q', 'L', SecondCase::Any, Arg::Settings, 0x25, 0x26},
    {'Q', 'P', SecondCase::Any, Arg::None, 0x20, 0},
    {'Q', 'V', SecondCase::Any, Arg::Identity, kIdentityClosing, 0},
    {'Q', 'X', SecondCase::Any, Arg::None, 0x21, 0},
};

bool isUpper(char c) {
    return std::isupper(static_cast<unsigned char>(c)) != 0;
}
bool isLower(char c) {
    return std::islower(static_cast<unsigned char>(c)) != 0;
}
char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

char applyCase(char c, int letterCase) {
    switch (letterCase) {
    case kv::kCaseUpper:
        return upper(c);
    case kv::kCaseAsTyped:
        return c;
    default:
        // These modules' mnemonics are lower case unless asked otherwise.
        return lower(c);
    }
}

/// A whole text read as a decimal number; nullopt when anything else is in it.
std::optional<int64_t> readDecimal(std::string_view text, bool signAllowed) {
    bool negative = false;
    if (signAllowed && !text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = std::min(value * 10 + (c - '0'), kSaturated);
    }
    return negative ? -value : value;
}

std::optional<int64_t> readSigned(std::string_view text, int64_t min, int64_t max) {
    const auto v = readDecimal(text, true);
    if (!v || *v < min || *v > max) {
        return std::nullopt;
    }
    return v;
}

std::optional<int64_t> readUnsigned(std::string_view text) {
    const auto v = readDecimal(text, false);
    if (!v || *v > kUnsignedMax) {
        return std::nullopt;
    }
    return v;
}

/// One to three decimal digits, nothing else.
std::optional<int64_t> readShort(std::string_view text) {
    if (text.size() > kShortDigits) {
        return std::nullopt;
    }
    return readDecimal(text, false);
}

std::optional<int64_t> readHex(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (char c : text) {
        const int d = hexDigit(c);
        if (d < 0) {
            return std::nullopt;
        }
        value = std::min(value * 16 + d, kSaturated);
    }
    return value;
}

/// Two values separated by blanks.
bool splitPair(std::string_view text, std::string_view& first, std::string_view& second) {
    size_t i = 0;
    while (i < text.size() && !common::isBlank(text[i])) {
        ++i;
    }
    first = text.substr(0, i);
    second = common::trimStart(text.substr(i));
    return !first.empty() && !second.empty();
}

/// The argument is one of the letters given (either case); its index, or -1.
int letterOf(std::string_view arg, std::string_view letters) {
    if (arg.size() != 1) {
        return -1;
    }
    const size_t at = letters.find(upper(arg.front()));
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

/// The period a speed is sent as; nullopt when the module cannot run that speed.
std::optional<int64_t> periodOf(int64_t speed, int k, const Scales& s) {
    const int64_t a = speed < 0 ? -speed : speed;
    if (a == 0 || k * kSpeedNumerator / a < kSlowestRatio) {
        return std::nullopt;
    }
    const int64_t period = halve(k * kPeriodNumerator / (s.s1 * a));
    if (period >= kPeriodLimit) {
        return std::nullopt;
    }
    return period;
}

std::string byteFrame(unsigned address, unsigned code, int64_t last) {
    char text[32];
    std::snprintf(text, sizeof text, "%02X%02X00000000%02X", address, code,
                  static_cast<unsigned>(last));
    return text;
}

std::string longFrame(unsigned address, unsigned code, int64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%02X%02X00%08X", address, code,
                  static_cast<unsigned>(static_cast<uint32_t>(value)));
    return text;
}

std::string memoryFrame(unsigned address, unsigned cell) {
    char text[32];
    std::snprintf(text, sizeof text, "%02X%04X00000000", address, cell);
    return text;
}

/// A plain-text command: blanks out, letters up, framed like any KV text.
Translation plainText(std::string_view command, const kv::AllowedControls& allowed) {
    Translation t;
    std::string text;
    for (char c : command) {
        const auto byte = static_cast<uint8_t>(c);
        if (c == ';' || byte == kv::kCr) {
            break; // the rest is a comment
        }
        if (common::isBlank(c)) {
            continue;
        }
        if ((byte < kv::kBlank || byte > 0x7F) && !allowed.contains(byte)) {
            return t;
        }
        text.push_back(upper(c));
    }
    if (text.size() > kv::kMaxFramedText) {
        return t;
    }
    t.kind = Translation::Kind::PlainText;
    // A text led by an address is a frame written out by hand; its function code tells
    // whether the module answers with data.
    t.reads[0] = text.size() >= 4 && std::isdigit(static_cast<unsigned char>(text[0])) &&
                 hexField(std::string_view(text).substr(2, 2)).value_or(0) >= kFirstRead;
    t.frames[0] = std::move(text);
    return t;
}

bool startsPlainText(std::string_view command) {
    const char c = command.front();
    if (c == 'F' || c == 'f') {
        return true;
    }
    if (c < '0' || c > '7') {
        return false;
    }
    const std::string_view rest =
        common::trimStart(command.substr(std::min<size_t>(2, command.size())));
    return !rest.empty() && rest.front() >= '0' && rest.front() <= '2';
}

const Row* rowOf(char first, char second) {
    const char key = upper(first) == 'R' ? 'Q' : upper(first);
    for (const Row& row : kRows) {
        if (row.first != key || row.second != upper(second)) {
            continue;
        }
        if ((row.secondCase == SecondCase::Upper && !isUpper(second)) ||
            (row.secondCase == SecondCase::Lower && !isLower(second))) {
            continue;
        }
        return &row;
    }
    return nullptr;
}

/// The maximum current of a VRX34 comes first; true when this step is that read.
bool readMaxCurrentFirst(Model model, FrameState& state, Translation& t, unsigned address) {
    if (model != Model::Vrx34) {
        state.maxCurrent = kDefaultMaxCurrent;
        return false;
    }
    if (state.step == Step::MaxCurrent) {
        state.step = Step::Idle;
        return false;
    }
    state.step = Step::MaxCurrent;
    t.frames[0] = memoryFrame(address, kMaxCurrentCell);
    return true;
}

void identityStep(Model model, FrameState& state, Translation& t, unsigned address,
                  unsigned closing) {
    switch (state.step) {
    case Step::IdentityFirst:
        state.memoryAddress += kIdentityStep;
        if (state.memoryAddress > kIdentityFirstLast) {
            if (model == Model::Vrx34) {
                state.step = Step::IdentitySecond;
                state.memoryAddress = kIdentitySecond;
            } else {
                state.step = Step::Idle;
            }
        }
        break;
    case Step::IdentitySecond:
        state.memoryAddress += kIdentityStep;
        if (state.memoryAddress > kIdentitySecondLast) {
            state.step = Step::Idle;
        }
        break;
    default:
        state.step = Step::IdentityFirst;
        state.memoryAddress = kIdentityFirst;
        break;
    }
    t.frames[0] = state.step == Step::Idle ? byteFrame(address, closing, 0)
                                           : memoryFrame(address, state.memoryAddress);
}

/// Builds the frames of a known mnemonic; false when its argument does not fit.
bool build(const Row& row, std::string_view arg, int k, unsigned address, Model model,
           FrameState& state, Translation& t) {
    const Scales s = scalesOf(model);
    std::string_view a;
    std::string_view b;
    switch (row.arg) {
    case Arg::None:
    case Arg::TwoReads:
    case Arg::Settings:
    case Arg::Identity:
    case Arg::Sync:
        if (!arg.empty()) {
            return false;
        }
        break;
    default:
        break;
    }
    switch (row.arg) {
    case Arg::None:
        t.frames[0] = byteFrame(address, row.code, 0);
        return true;
    case Arg::TwoReads:
        t.frames = {byteFrame(address, row.code, 0), byteFrame(address, row.code2, 0)};
        return true;
    case Arg::Settings:
        if (t.lowerCaseReply && readMaxCurrentFirst(model, state, t, address)) {
            return true;
        }
        t.frames = {byteFrame(address, row.code, 0), byteFrame(address, row.code2, 0)};
        return true;
    case Arg::Identity:
        identityStep(model, state, t, address, row.code);
        return true;
    case Arg::Sync:
        t.frames[0] = byteFrame(kAllModules, row.code, 0);
        return true;
    case Arg::NewAddress: {
        const auto v = readHex(arg);
        if (!v || *v >= kNewAddressLimit) {
            return false;
        }
        t.frames[0] = byteFrame(address, row.code, *v);
        return true;
    }
    case Arg::Position: {
        const auto v = readSigned(arg, -kPositionLimit, kPositionLimit - 1);
        if (!v) {
            return false;
        }
        t.frames[0] = longFrame(address, row.code, *v);
        return true;
    }
    case Arg::Sliding: {
        const auto v = readShort(arg);
        if (!v) {
            return false;
        }
        t.frames[0] = byteFrame(address, row.code, std::min(*v, kSliding));
        return true;
    }
    case Arg::Speed: {
        const auto v = readSigned(arg, kSignedMin, kSignedMax);
        const auto period = v ? periodOf(*v, k, s) : std::nullopt;
        if (!period) {
            return false;
        }
        constexpr unsigned kBackwards = 0xF6;
        char text[32];
        std::snprintf(text, sizeof text, "%02X%02X0000%02X%04X", address, row.code,
                      *v < 0 ? kBackwards : 0u, static_cast<unsigned>(*period));
        t.frames[0] = text;
        return true;
    }
    case Arg::TorqueSpeed: {
        if (!splitPair(arg, a, b)) {
            return false;
        }
        const auto torque = readSigned(a, kTorqueMin, kTorqueMax);
        const auto v = readUnsigned(b);
        const auto period = v ? periodOf(*v, k, s) : std::nullopt;
        if (!torque || !period) {
            return false;
        }
        char text[32];
        std::snprintf(text, sizeof text, "%02X%02X00%04X%04X", address, row.code,
                      static_cast<unsigned>(static_cast<uint16_t>(*torque)),
                      static_cast<unsigned>(*period));
        t.frames[0] = text;
        return true;
    }
    case Arg::CurrentCount: {
        const auto c = readShort(arg);
        if (!c) {
            return false;
        }
        t.frames[0] = byteFrame(address, row.code, std::min(*c / 2, kCurrentCountMax));
        return true;
    }
    case Arg::CurrentPercent: {
        const auto p = readShort(arg);
        if (!p) {
            return false;
        }
        if (readMaxCurrentFirst(model, state, t, address)) {
            return true;
        }
        const int64_t percent = std::min(*p, kPercentMax);
        t.frames[0] = byteFrame(address, row.code,
                                halve(static_cast<int64_t>(state.maxCurrent) * percent / 100));
        return true;
    }
    case Arg::EndSensors: {
        // Both end sensors, or only the one the letter names.
        static constexpr int64_t kBoth = 0x09;
        static constexpr int64_t kOnly[] = {0x08, 0x01}; // S, R
        const int letter = letterOf(arg, "SR");
        if (!arg.empty() && letter < 0) {
            return false;
        }
        t.frames[0] = byteFrame(address, row.code, arg.empty() ? kBoth : kOnly[letter]);
        return true;
    }
    case Arg::MotorReset: {
        if (!arg.empty() && letterOf(arg, "Z") != 0) {
            return false;
        }
        t.frames[0] = byteFrame(address, arg.empty() ? row.code : row.code2, 0);
        return true;
    }
    case Arg::Standby:
    case Arg::ZeroMode: {
        const int letter = letterOf(arg, row.arg == Arg::Standby ? "NS" : "IA");
        if (letter < 0) {
            return false;
        }
        t.frames[0] = byteFrame(address, row.code, letter);
        return true;
    }
    case Arg::StartSpeed: {
        const auto w = readUnsigned(arg);
        if (!w || *w == 0) {
            return false;
        }
        const int64_t value = halve(k * kStartNumerator / (int64_t{s.s1} * s.s2 * *w));
        if (value < kStartMin || value > kStartMax) {
            return false;
        }
        char text[32];
        std::snprintf(text, sizeof text, "%02X%02X000000%02X00", address, row.code,
                      static_cast<unsigned>(value));
        t.frames[0] = text;
        return true;
    }
    case Arg::HighSpeed: {
        if (!splitPair(arg, a, b)) {
            return false;
        }
        const auto v = readUnsigned(a);
        const auto time = readUnsigned(b);
        const auto period = v ? periodOf(*v, k, s) : std::nullopt;
        if (!time || !period) {
            return false;
        }
        const int64_t ramp = halve(*time * kRampNumerator / (s.s3 * *period));
        if (ramp >= kRampLimit) {
            return false;
        }
        char text[32];
        std::snprintf(text, sizeof text, "%02X%02X000000%04X", address, row.code,
                      static_cast<unsigned>(*period));
        t.frames = {text, byteFrame(address, row.code2, ramp)};
        return true;
    }
    }
    return false;
}

} // namespace

Scales scalesOf(Model model) {
    return kScales[model == Model::Vrx34 ? 1 : 0];
}

int64_t halve(int64_t x) {
    return x % 2 != 0 ? (x + 2) / 2 : x / 2;
}

Translation translate(std::string_view command, int letterCase, Model model, FrameState& state,
                      const kv::AllowedControls& allowed) {
    Translation t;
    if (command.empty()) {
        t.kind = Translation::Kind::Nothing;
        return t;
    }
    const auto first = static_cast<uint8_t>(command.front());
    if (first < kv::kBlank) {
        t.kind = Translation::Kind::SingleByte;
        t.singleByte = first;
        return t;
    }
    if (command.size() >= 2 && upper(command[0]) == 'S' &&
        (upper(command[1]) == 'O' || upper(command[1]) == 'I')) {
        t.kind = Translation::Kind::SingleByte;
        t.singleByte = upper(command[1]) == 'O' ? kShiftOut : kShiftIn;
        return t;
    }
    if (startsPlainText(command)) {
        return plainText(command, allowed);
    }
    std::string_view body = command.substr(0, command.find_first_of(";\r"));
    if (body.find_first_not_of(" \t") == std::string_view::npos) {
        t.kind = Translation::Kind::Nothing;
        return t;
    }
    if (body.size() < kMnemonicLength) {
        return t;
    }
    unsigned address = kAllModules;
    if (body[0] >= '0' && body[0] <= '7') {
        const int low = hexDigit(body[1]);
        if (low < 0) {
            return t;
        }
        address = static_cast<unsigned>((body[0] - '0') * 16 + low);
        body.remove_prefix(kAddressDigits);
    }
    while (!body.empty() && common::isBlank(body.back())) {
        body.remove_suffix(1);
    }
    if (body.size() < kMnemonicLength) {
        return t;
    }
    const char m0 = applyCase(body[0], letterCase);
    const char m1 = applyCase(body[1], letterCase);
    const Row* row = rowOf(m0, m1);
    if (row == nullptr) {
        return t;
    }
    t.lowerCaseReply = m0 == 'q' || m0 == 'r';
    t.unitFactor = isLower(m1) ? 3 : 1;
    const std::string_view arg = common::trimStart(body.substr(kMnemonicLength));
    const FrameState before = state;
    Translation built = t;
    if (!build(*row, arg, t.unitFactor, address, model, state, built)) {
        state = before;
        return t;
    }
    built.kind = Translation::Kind::Frames;
    for (size_t i = 0; i < built.frames.size(); ++i) {
        built.reads[i] =
            !built.frames[i].empty() &&
            hexField(std::string_view(built.frames[i]).substr(2, 2)).value_or(0) >= kFirstRead;
    }
    return built;
}

std::optional<uint32_t> hexField(std::string_view field) {
    constexpr size_t kMaxDigits = 8;
    if (field.empty() || field.size() > kMaxDigits) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char c : field) {
        const int d = hexDigit(c);
        if (d < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<uint32_t>(d);
    }
    return value;
}

kv::PreparedFrame framed(std::string_view text, bool replyExpected) {
    kv::PreparedFrame frame;
    frame.replyExpected = replyExpected;
    frame.text.assign(text.begin(), text.end());
    char number[8];
    std::snprintf(number, sizeof number, "%03u", static_cast<unsigned>(frame.text.size()));
    frame.bytes.push_back(kv::kStx);
    frame.bytes.insert(frame.bytes.end(), number, number + 3);
    frame.bytes.insert(frame.bytes.end(), frame.text.begin(), frame.text.end());
    std::snprintf(number, sizeof number, "%02X",
                  static_cast<unsigned>(kv::checksumOf(frame.text.data(), frame.text.size())));
    frame.bytes.insert(frame.bytes.end(), number, number + 2);
    frame.bytes.push_back(kv::kEtx);
    return frame;
}

} // namespace linkor::vrx
