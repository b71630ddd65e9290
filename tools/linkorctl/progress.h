// A one-line progress indication on standard error, only when a person watches it there.
#pragma once

#include <string>

namespace linkorctl {

class Progress {
  public:
    Progress();
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    /// Replaces the line's text.
    void show(const std::string& text);
    /// Takes the line away, so that what follows starts on a clean line.
    void clear();
    bool active() const { return m_terminal; }

  private:
    bool m_terminal;
    bool m_shown = false;
};

} // namespace linkorctl
