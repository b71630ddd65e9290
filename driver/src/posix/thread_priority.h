// Exchange priorities of the calling thread. Raising is best effort: a refusal by the
// system (no privilege) is silent, and the thread keeps running at its own priority.
#pragma once

#include <optional>

namespace linkor {

enum class Priority { Normal, Above, Highest, Critical };

/// The priority of a name ("NORMAL", "ABOVE", "HIGHEST", "CRITICAL" or the French
/// "NORMALE", "SUPERIEURE", "HAUTE", "CRITIQUE"), exact; nullopt otherwise.
std::optional<Priority> priorityOf(const char* name);

/// The priority an exchange asks for by `name`: nullopt for an unknown name, and
/// Normal in a real-time process, which is already above every priority named.
std::optional<Priority> exchangePriorityOf(const char* name);

/// Raises the calling thread to a priority for its lifetime, then puts it back.
class PriorityScope {
  public:
    explicit PriorityScope(Priority priority);
    ~PriorityScope() { restore(); }
    PriorityScope(const PriorityScope&) = delete;
    PriorityScope& operator=(const PriorityScope&) = delete;
    void restore();

  private:
    int m_previousNice = 0;
    bool m_changed = false;
};

} // namespace linkor
