// The VRX23 and VRX34 modules answer a read with eleven characters: two address
// digits, one kind character and eight data characters. This turns those answers back
// into the text replies callers read, and takes in the steps of the multi-step reads.
#pragma once

#include "frame/vrx_translate.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace linkor::vrx {

/// The length of every answer of a module to a frame.
constexpr size_t kAnswerLength = 11;

/// What the conversion needs to know of the command it converts for.
struct ReplyContext {
    bool plainText = false;
    bool lowerCaseReply = false;
    int unitFactor = 1;
    Model model = Model::Vrx23;
    unsigned maxCurrent = kDefaultMaxCurrent;
};

/// Converts the answers to one command into its reply text. `second` is the second
/// frame's answer, or the identity text of an identity read. Returns 0, or 0x0052 with
/// `out` empty when the answers do not convert.
int32_t convertReply(std::string_view first, std::string_view second, const ReplyContext& context,
                     std::string& out);

/// Takes in the answer to one step of a multi-step read: the maximum current, or four
/// characters of the identity appended to `identity`. False when the answer cannot be
/// read.
bool continueRead(FrameState& state, std::string_view answer, std::string& identity);

} // namespace linkor::vrx
