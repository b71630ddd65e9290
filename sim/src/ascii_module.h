#pragma once
// Modules of the text command languages (TRILO, MICROTRILO, VRX17, DVRX): a decimal
// address, then one or more commands separated by ",", answered in one reply.

#include "kv_module.h"

#include <string_view>

namespace kvsim {

class AsciiModule : public KvModule {
  public:
    explicit AsciiModule(const ModuleSetup& setup);

  protected:
    Target resolve(std::string_view text) const override;
    Answer execute(std::string_view rest, Clock::time_point now) override;
    /// One command of a command text, without blanks around it.
    virtual Answer executeOne(std::string_view command, Clock::time_point now) = 0;

    /// Marks the module's error and refuses the command.
    Answer fail(int code, Answer::Kind kind = Answer::Kind::NotExecuted);
};

} // namespace kvsim
