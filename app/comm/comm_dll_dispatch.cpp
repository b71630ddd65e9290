// The request codes of "KVTamsel_01" that the application routes to this object.
#include "comm_dll.h"

namespace tkv {

namespace {
constexpr const char* kClosedNote = "Not in normal use";
}

bool TKV_CommDLL::request(int32_t code, int32_t high, void* record) {
    if (record == nullptr && code != kReqCloseLine) {
        return false;
    }
    switch (code) {
    case kReqCodedCommand:
        return sendCodedCommand(*static_cast<TagCodedCommand*>(record));
    case kReqFreeTextKept:
    case kReqFreeText:
        return sendFreeText(*static_cast<TagFreeText*>(record));
    case kReqWrite:
        return writeRequest(*static_cast<TagRequest*>(record));
    case kReqCloseLine:
        close();
        trace(kClosedNote);
        return true;
    case kReqIdentity:
        getInformation(kInfoIdentity, static_cast<char*>(record));
        return true;
    case kReqAddPollEntry:
        return addPollEntry(*static_cast<const TagPollEntry*>(record));
    case kReqModeByOwner:
        setModeByOwner(*static_cast<const TKV_WindowHandle*>(record), high);
        return true;
    case kReqModeByKind:
        setModeByKind(*static_cast<const int32_t*>(record), high);
        return true;
    case kReqLastCommand:
        getInformation(kInfoLastCommand, static_cast<char*>(record));
        return true;
    case kReqStatusMessage:
        getInformation(kInfoStatusMessage, static_cast<char*>(record), kCodeFromBuffer);
        return true;
    case kReqConfigLists:
        *static_cast<const TagConfigDLL**>(record) = &config();
        return true;
    case kReqCombinations:
        *static_cast<int32_t*>(record) = static_cast<int32_t>(getValue(kValueCombinations));
        return true;
    case kReqProbeAsk:
        return probeAsk(*static_cast<TagProbe*>(record));
    case kReqProbeReset:
        return probeReset(*static_cast<TagProbe*>(record));
    case kReqProbeSend:
        return probeSend(*static_cast<TagProbe*>(record));
    default:
        return false;
    }
}

} // namespace tkv
