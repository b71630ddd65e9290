#include "posix/thread_priority.h"

#include <sched.h>

#include <cerrno>
#include <cstring>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace linkor {

namespace {

struct PriorityName {
    const char* name;
    Priority priority;
};

constexpr PriorityName kNames[] = {
    {"NORMAL", Priority::Normal},   {"ABOVE", Priority::Above},
    {"HIGHEST", Priority::Highest}, {"CRITICAL", Priority::Critical},
    {"NORMALE", Priority::Normal},  {"SUPERIEURE", Priority::Above},
    {"HAUTE", Priority::Highest},   {"CRITIQUE", Priority::Critical}};

// Niceness of each priority; on Linux a thread's niceness is its own.
int niceOf(Priority priority) {
    switch (priority) {
    case Priority::Normal:
        return 0;
    case Priority::Above:
        return -5;
    case Priority::Highest:
        return -10;
    case Priority::Critical:
        return -20;
    }
    return 0;
}

id_t threadId() {
    return static_cast<id_t>(syscall(SYS_gettid));
}

} // namespace

std::optional<Priority> priorityOf(const char* name) {
    if (name == nullptr) {
        return std::nullopt;
    }
    for (const auto& entry : kNames) {
        if (std::strcmp(name, entry.name) == 0) {
            return entry.priority;
        }
    }
    return std::nullopt;
}

PriorityScope::PriorityScope(Priority priority) {
    if (priority == Priority::Normal) {
        return;
    }
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, threadId());
    if (errno != 0) {
        return;
    }
    const int wanted = niceOf(priority);
    if (wanted < current && setpriority(PRIO_PROCESS, threadId(), wanted) == 0) {
        m_previousNice = current;
        m_changed = true;
    }
}

void PriorityScope::restore() {
    if (m_changed) {
        setpriority(PRIO_PROCESS, threadId(), m_previousNice);
        m_changed = false;
    }
}

std::optional<Priority> exchangePriorityOf(const char* name) {
    const auto priority = priorityOf(name);
    if (!priority) {
        return std::nullopt;
    }
    const int policy = sched_getscheduler(0);
    return (policy == SCHED_FIFO || policy == SCHED_RR) ? Priority::Normal : *priority;
}

} // namespace linkor
