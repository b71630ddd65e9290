// The request codes of "KVTamsel_01" that this object runs: one table, read both by the
// dispatcher's routing (handles) and by request itself, so that the two cannot disagree.
#include "comm/comm_dll.h"

#include <algorithm>
#include <iterator>

namespace tkv {

namespace {

constexpr const char* kClosedNote = "Not in normal use";

struct Route {
    std::uint16_t code;
    /// Whether the request runs without a record.
    bool recordOptional;
    bool (*run)(TKV_CommDLL& comm, int32_t high, void* record);
};

template <typename Record> Record& as(void* record) {
    return *static_cast<Record*>(record);
}

bool textInformation(TKV_CommDLL& comm, int32_t which, void* record, int32_t code = 0) {
    comm.getInformation(which, static_cast<char*>(record), code);
    return true;
}

constexpr Route kRoutes[] = {
    {req::kCodedCommand, false,
     [](TKV_CommDLL& c, int32_t, void* r) { return c.sendCodedCommand(as<TagCodedCommand>(r)); }},
    {req::kFreeTextKept, false,
     [](TKV_CommDLL& c, int32_t, void* r) { return c.sendFreeText(as<TagFreeText>(r)); }},
    {req::kWriteRequest, false,
     [](TKV_CommDLL& c, int32_t, void* r) { return c.writeRequest(as<TagRequest>(r)); }},
    {req::kFreeText, false,
     [](TKV_CommDLL& c, int32_t, void* r) { return c.sendFreeText(as<TagFreeText>(r)); }},
    {req::kCloseLine, true,
     [](TKV_CommDLL& c, int32_t, void*) {
         c.closeAndTrace(kClosedNote);
         return true;
     }},
    {req::kDriverIdentity, false,
     [](TKV_CommDLL& c, int32_t, void* r) { return textInformation(c, kInfoIdentity, r); }},
    {req::kPollAdd, false,
     [](TKV_CommDLL& c, int32_t, void* r) { return c.addPollEntry(as<const TagPollEntry>(r)); }},
    {req::kPollModeByOwner, false,
     [](TKV_CommDLL& c, int32_t high, void* r) {
         c.setModeByOwner(as<const TKV_WindowHandle>(r), high);
         return true;
     }},
    {req::kPollModeByKind, false,
     [](TKV_CommDLL& c, int32_t high, void* r) {
         c.setModeByKind(as<const int32_t>(r), high);
         return true;
     }},
    {req::kLastCommandSent, false,
     [](TKV_CommDLL& c, int32_t, void* r) { return textInformation(c, kInfoLastCommand, r); }},
    {req::kStatusMessage, false,
     [](TKV_CommDLL& c, int32_t, void* r) {
         return textInformation(c, kInfoStatusMessage, r, kCodeFromBuffer);
     }},
    {req::kCapabilityLists, false,
     [](TKV_CommDLL& c, int32_t, void* r) {
         as<const TagConfigDLL*>(r) = &c.config();
         return true;
     }},
    {req::kCombinationCount, false,
     [](TKV_CommDLL& c, int32_t, void* r) {
         as<int32_t>(r) = static_cast<int32_t>(c.getValue(kValueCombinations));
         return true;
     }},
    {req::kProbeAsk, false,
     [](TKV_CommDLL& c, int32_t, void* r) { return c.probeAsk(as<TagProbe>(r)); }},
    {req::kProbeReset, false,
     [](TKV_CommDLL& c, int32_t, void* r) { return c.probeReset(as<TagProbe>(r)); }},
    {req::kProbeSend, false,
     [](TKV_CommDLL& c, int32_t, void* r) { return c.probeSend(as<TagProbe>(r)); }},
};

const Route* routeOf(int32_t code) {
    const auto* found = std::find_if(std::begin(kRoutes), std::end(kRoutes),
                                     [code](const Route& route) { return route.code == code; });
    return found == std::end(kRoutes) ? nullptr : found;
}

} // namespace

bool TKV_CommDLL::handles(int32_t code) {
    return routeOf(code) != nullptr;
}

bool TKV_CommDLL::request(int32_t code, int32_t high, void* record) {
    const Route* route = routeOf(code);
    if (route == nullptr || (record == nullptr && !route->recordOptional)) {
        return false;
    }
    return route->run(*this, high, record);
}

} // namespace tkv
