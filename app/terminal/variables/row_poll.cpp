#include "row_poll.h"

#include <contract/request_codes.h>

namespace tamsel::terminal::variables {

namespace req = contract::req;

TRowPoll::TRowPoll(contract::TRequestSink& app, const contract::TagPollEntry& entry)
    : m_app(app), m_kind(entry.kind) {
    contract::TagPollEntry copy = entry;
    m_app.request(req::kPollAdd, 0, &copy);
}

TRowPoll::~TRowPoll() {
    if (m_withdrawn) {
        return;
    }
    std::int32_t kind = m_kind;
    m_app.request(req::kPollModeByKind, static_cast<std::uint16_t>(contract::kPollFree), &kind);
}

} // namespace tamsel::terminal::variables
