#include "frame/vrx_reply.h"

#include "kv/kv_reception.h"
#include "linkor_status.h"

#include <cctype>
#include <cstdio>
#include <optional>
#include <string>

namespace linkor::vrx {

namespace {

constexpr size_t kAddressDigits = 2;
constexpr size_t kKindAt = 2;
constexpr size_t kDataAt = 3;
constexpr size_t kDataDigits = 8;
constexpr size_t kIdentityBank = 64;
constexpr char kSecondOfTwoReads = '2';

// The arithmetic of the modules' units, as their answers carry them.
constexpr int64_t kStartNumerator = 2'000'000;
constexpr int64_t kPeriodNumerator = 16'000'000;
constexpr double kRampFactor = 0.0005;
constexpr int64_t kPercentScale = 200;

struct Kind {
    char code;
    char letter;
};
constexpr Kind kKinds[] = {{'0', 'P'}, {'1', 'X'}, {'3', 'B'}, {'4', 'V'},
                           {'5', 'L'}, {'7', 'A'}, {'B', 'F'}};

const Kind* kindOf(char code) {
    for (const Kind& k : kKinds) {
        if (k.code == static_cast<char>(std::toupper(static_cast<unsigned char>(code)))) {
            return &k;
        }
    }
    return nullptr;
}

char caseOf(char c, bool lowerCase) {
    return static_cast<char>(lowerCase ? std::tolower(static_cast<unsigned char>(c)) : c);
}

/// An answer of the fixed form: eleven characters led by two address digits.
bool wellFormed(std::string_view answer) {
    return answer.size() == kAnswerLength && hexField(answer.substr(0, kAddressDigits));
}

/// Eight data digits read as a signed 32-bit number, written in decimal.
bool signedData(std::string_view data, std::string& out) {
    const auto v = hexField(data);
    if (!v) {
        return false;
    }
    out += std::to_string(static_cast<int32_t>(*v));
    return true;
}

std::optional<unsigned> decimalDigit(char c) {
    if (c < '0' || c > '9') {
        return std::nullopt;
    }
    return static_cast<unsigned>(c - '0');
}

/// The compound answer of a settings read: start speed, high speed, ramp, current,
/// sliding and the standby and end-sensor modes.
bool settingsText(std::string_view first, std::string_view second, const ReplyContext& c,
                  std::string& out) {
    if (second.size() != kAnswerLength) {
        return false;
    }
    const auto r1 = hexField(first.substr(3, 2));
    const auto r2 = hexField(first.substr(7, 4));
    const auto a = hexField(second.substr(3, 2));
    const auto b = hexField(second.substr(5, 2));
    const auto standby = decimalDigit(second[7]);
    const auto sensors = decimalDigit(second[8]);
    const auto e = hexField(second.substr(9, 2));
    if (!r1 || !r2 || !a || !b || !standby || !sensors || !e) {
        return false;
    }
    // A module that reports zero for a divisor has no quantity to show; the answer is
    // taken as one that does not convert rather than divided by zero.
    const bool percent = c.lowerCaseReply;
    if (*r1 == 0 || *r2 == 0 || (percent && c.maxCurrent == 0)) {
        return false;
    }
    const Scales s = scalesOf(c.model);
    const int64_t k = c.unitFactor;
    const int64_t wl = halve(k * kStartNumerator / (int64_t{s.s1} * s.s2 * *r1));
    const int64_t wh = halve(k * kPeriodNumerator / (int64_t{s.s1} * *r2));
    const auto ramp =
        static_cast<int64_t>(static_cast<double>(int64_t{*a} * *r2 * s.s3) * kRampFactor);
    const int64_t wt = halve(ramp);
    const int64_t gi =
        percent ? halve(2 * int64_t{*b} * kPercentScale / c.maxCurrent) : 2 * int64_t{*b};
    std::string mode = percent ? "n mb " : "N MB ";
    if (*standby != 0) {
        mode[0] = caseOf('S', percent);
    }
    switch (*sensors) {
    case 1:
        mode[4] = caseOf('R', percent);
        break;
    case 8:
        mode[4] = caseOf('S', percent);
        break;
    case 9:
        break;
    default:
        mode[3] = caseOf('N', percent);
        break;
    }
    char text[160];
    std::snprintf(text, sizeof text,
                  percent ? " wl:%u wh:%u wt:%u gi:%u dg:%u md:%s"
                          : " WL:%u WH:%u WT:%u GI:%u DG:%u MD:%s",
                  static_cast<unsigned>(wl), static_cast<unsigned>(wh), static_cast<unsigned>(wt),
                  static_cast<unsigned>(gi), static_cast<unsigned>(*e), mode.c_str());
    out += text;
    return true;
}

bool convertKind(const Kind& kind, std::string_view first, std::string_view second,
                 const ReplyContext& c, std::string& out) {
    const std::string_view data = first.substr(kDataAt);
    switch (kind.letter) {
    case 'P':
    case 'F':
        return signedData(data, out);
    case 'X':
    case 'A':
        out += data;
        return true;
    case 'B': {
        if (!wellFormed(second) ||
            second.substr(0, kAddressDigits) != first.substr(0, kAddressDigits) ||
            second[kKindAt] != kSecondOfTwoReads) {
            return false;
        }
        const auto bn = hexField(data);
        const auto bp = hexField(second.substr(kDataAt));
        if (!bn || !bp) {
            return false;
        }
        char text[64];
        std::snprintf(text, sizeof text, c.lowerCaseReply ? " bn:%d bp:%d" : " BN:%d BP:%d",
                      static_cast<int32_t>(*bn), static_cast<int32_t>(*bp));
        out += text;
        return true;
    }
    case 'V':
        out += data;
        out += ' ';
        out += second;
        return true;
    case 'L':
        return settingsText(first, second, c, out);
    default:
        return false;
    }
}

} // namespace

int32_t convertReply(std::string_view first, std::string_view second, const ReplyContext& context,
                     std::string& out) {
    out.clear();
    if (context.plainText || first.empty()) {
        out = first;
        return LINKOR_OK;
    }
    const Kind* kind = wellFormed(first) ? kindOf(first[kKindAt]) : nullptr;
    if (kind != nullptr) {
        out = first.substr(0, kAddressDigits);
        out += caseOf('E', context.lowerCaseReply);
        out += caseOf(kind->letter, context.lowerCaseReply);
        out += ' ';
        if (convertKind(*kind, first, second, context, out) && out.size() <= kv::kMaxReplyLength) {
            return LINKOR_OK;
        }
    }
    out.clear();
    return LINKOR_REPLY_UNCONVERTIBLE;
}

bool continueRead(FrameState& state, std::string_view answer, std::string& identity) {
    if (!wellFormed(answer)) {
        return false;
    }
    if (state.step == Step::MaxCurrent) {
        const auto m = hexField(answer.substr(kDataAt, 2));
        if (!m) {
            return false;
        }
        state.maxCurrent = *m;
        return true;
    }
    const auto data = hexField(answer.substr(kDataAt, kDataDigits));
    if (!data) {
        return false;
    }
    // The two banks of a VRX34's identity are kept apart by a blank.
    if (identity.size() == kIdentityBank) {
        identity += ' ';
    }
    for (int shift = 24; shift >= 0; shift -= 8) {
        identity += static_cast<char>((*data >> shift) & 0xFF);
    }
    return true;
}

} // namespace linkor::vrx
