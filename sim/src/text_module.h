#pragma once
// VRX17 and DVRX modules: a word command language with named variables ("REA #POS",
// "#HIGH_SPEED:=2000", "MOVE_TO 1000"). Variables have a full name and a short one; the
// short one is the first three letters, or for a name with "_" its first letter and the
// two letters after the first "_" (POSITION/POS, HIGH_SPEED/HSP).

#include "ascii_module.h"

#include <optional>
#include <string>

namespace kvsim {

class TextModule : public AsciiModule {
  public:
    explicit TextModule(const ModuleSetup& setup);

  protected:
    Answer executeOne(std::string_view command, Clock::time_point now) override;

  private:
    Answer readCommand(std::string_view arg, Clock::time_point now);
    Answer assign(std::string_view command, Clock::time_point now);
    Answer switchCommand(const std::string& word, const std::string& arg, Clock::time_point now);
    Answer move(const std::string& word, std::string_view arg, Clock::time_point now);
    std::uint32_t statusWord(Clock::time_point now);
    void applyProfile(Clock::time_point now);
    long clampToEnds(long target) const;

    bool m_vrx17;
    bool m_standby = false;
    bool m_optimized = false;
    bool m_sCurve = false;
    bool m_hardEnds = false;
    bool m_softEnds = false;
    int m_polarity = 0; // 0 off, 1 all, 2 inputs, 3 outputs
};

} // namespace kvsim
