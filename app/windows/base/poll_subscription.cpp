#include "poll_subscription.h"

#include <contract/request_codes.h>

namespace tamsel::windows {

namespace req = contract::req;

TPollSubscription::TPollSubscription(contract::TRequestSink& app, contract::TKV_WindowHandle owner,
                                     std::vector<contract::TagPollEntry> entries,
                                     std::int32_t resumeMode)
    : m_app(app), m_owner(owner), m_resumeMode(resumeMode) {
    for (contract::TagPollEntry& entry : entries) {
        add(entry);
    }
}

void TPollSubscription::add(contract::TagPollEntry entry) {
    entry.owner = m_owner;
    if (m_paused) {
        entry.mode = contract::kPollPaused;
    }
    m_app.request(req::kPollAdd, 0, &entry);
}

TPollSubscription::~TPollSubscription() {
    setMode(contract::kPollFree);
}

void TPollSubscription::pause() {
    if (!m_paused) {
        m_paused = true;
        setMode(contract::kPollPaused);
    }
}

void TPollSubscription::resume() {
    if (m_paused) {
        m_paused = false;
        setMode(m_resumeMode);
    }
}

void TPollSubscription::setMode(std::int32_t mode) {
    contract::TKV_WindowHandle owner = m_owner;
    m_app.request(req::kPollModeByOwner, static_cast<std::uint16_t>(mode), &owner);
}

} // namespace tamsel::windows
