// linkorctl run as a child process: its output collected, its life bounded.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace toolstest {

using namespace std::chrono_literals;

/// Generous: nothing here may depend on the machine being fast.
inline constexpr auto kRunLimit = 240s;

struct Outcome {
    int exitCode = -1; ///< -1 when the child did not end by itself in time, or was killed
    std::string out;
    std::string err;
    bool timedOut = false;
};

struct ChildOptions {
    std::filesystem::path workingDirectory;
    /// Variables set (or, with an empty value, left out) over this process's environment.
    std::map<std::string, std::string> environment;
    /// Standard error on a pseudo-terminal instead of a pipe, as a person at a terminal has it.
    bool stderrTerminal = false;
};

class Child {
  public:
    Child(const std::filesystem::path& program, const std::vector<std::string>& args,
          const ChildOptions& options);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    /// Collects output until @p done holds for the output so far, the child ends, or
    /// @p limit passes. @return whether @p done held.
    bool waitOutput(const std::function<bool(const Outcome&)>& done,
                    std::chrono::steady_clock::duration limit);
    void signal(int sig);
    /// Collects the rest and waits for the end, killing the child after @p limit.
    Outcome finish(std::chrono::steady_clock::duration limit = kRunLimit);

  private:
    bool pump(std::chrono::milliseconds wait);
    int m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    Outcome m_outcome;
};

/// Runs the program to its end.
Outcome runProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                   const ChildOptions& options);

} // namespace toolstest
