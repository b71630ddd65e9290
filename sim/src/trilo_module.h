#pragma once
// TRILO modules (type families 0x01-0x04) and MICROTRILO modules (family 0x10), which
// share the two-letter command language; MICROTRILO adds named variables.

#include "ascii_module.h"

namespace kvsim {

class TriloModule : public AsciiModule {
  public:
    explicit TriloModule(const ModuleSetup& setup);

  protected:
    Answer executeOne(std::string_view command, Clock::time_point now) override;
    /// Commands only some members of the family know; nothing when not one of them.
    virtual std::optional<Answer> extraCommand(std::string_view word, std::string_view arg,
                                               Clock::time_point now);
    void applyProfile(Clock::time_point now);
    long param(const char* name) const;
    std::uint32_t statusWord(Clock::time_point now);

  private:
    Answer status(Clock::time_point now);
    Answer parametersShort() const;
    Answer parametersLabelled() const;
    Answer memory(std::string_view arg) const;
    Answer automaticOutputs() const;
    Answer setOutputs(std::string_view arg);
    Answer setPositions(std::string_view arg);
    Answer motion(std::string_view word, std::string_view arg, Clock::time_point now);
    Answer writeParameter(std::string_view word, std::string_view arg, Clock::time_point now);
};

class MicroTriloModule : public TriloModule {
  public:
    explicit MicroTriloModule(const ModuleSetup& setup);

  protected:
    std::optional<Answer> extraCommand(std::string_view word, std::string_view arg,
                                       Clock::time_point now) override;

  private:
    Answer readVariables(std::string_view arg, Clock::time_point now);
    Answer assign(std::string_view arg, Clock::time_point now);
    std::optional<long> variable(const std::string& name, Clock::time_point now);
};

} // namespace kvsim
