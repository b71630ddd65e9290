// Any reply a module may give to the read of any family and kind, taken apart into the
// request's own data record, each record allocated at its exact size.
#include <comm/comm_codes.h>
#include <comm/comm_records.h>
#include <comm/reply_parsers.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr size_t kReplyBuffer = 255;

/// One type code of every family, in the order the first input byte picks them.
constexpr int32_t kTypes[] = {0x0100, 0x0205, 0x0309, 0x0409, 0x1002,
                              0x3001, 0x4001, 0x5000, 0x6020, 0xFF00};
constexpr int32_t kKinds[] = {
    tkv::kKindStatus,           tkv::kKindParameters,    tkv::kKindSpecificGroup,
    tkv::kKindPowerOnFunction,  tkv::kKindEndSensorCell, tkv::kKindSlidingShort,
    tkv::kKindSpecificLabelled, tkv::kKindAutoOutput,    tkv::kKindV2334Read,
    tkv::kKindMotionRead,       tkv::kKindVariable,      tkv::kKindVariableBase + 5};

template <typename Record> void parseInto(tkv::TagRequest& request, const char* reply) {
    const auto record = std::make_unique<Record>();
    request.data = record.get();
    tkv::cmdset::parseReply(request, reply);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    tkv::TagRequest request;
    request.typeCode = kTypes[data[0] % std::size(kTypes)];
    request.kind = kKinds[(data[0] / std::size(kTypes)) % std::size(kKinds)];
    request.subIndex = data[1] % 12;
    request.address = 3;
    // The reply as the driver hands it over: NUL-terminated, in a buffer it bounds.
    const size_t length = std::min(size - 2, kReplyBuffer - 1);
    const auto reply = std::make_unique<char[]>(length + 1);
    std::memcpy(reply.get(), data + 2, length);
    reply[length] = '\0';

    switch (request.kind) {
    case tkv::kKindStatus:
        parseInto<tkv::TagStatus>(request, reply.get());
        break;
    case tkv::kKindParameters:
        parseInto<tkv::TagParamBlock>(request, reply.get());
        break;
    case tkv::kKindV2334Read:
        parseInto<tkv::TagV2334Settings>(request, reply.get());
        break;
    case tkv::kKindMotionRead:
        parseInto<tkv::TagMotion>(request, reply.get());
        break;
    case tkv::kKindVariable:
    case tkv::kKindVariableBase + 5:
        parseInto<tkv::TagVariableValue>(request, reply.get());
        break;
    default:
        parseInto<tkv::TagSpecificMode>(request, reply.get());
        break;
    }
    return 0;
}
