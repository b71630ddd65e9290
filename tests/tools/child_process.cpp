#include "child_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace toolstest {

namespace {

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& changes) {
    std::vector<std::string> out;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        if (changes.count(name) == 0) {
            out.push_back(entry);
        }
    }
    for (const auto& [name, value] : changes) {
        if (!value.empty()) {
            out.push_back(name + "=" + value);
        }
    }
    return out;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> out;
    for (std::string& t : texts) {
        out.push_back(t.data());
    }
    out.push_back(nullptr);
    return out;
}

} // namespace

Child::Child(const std::filesystem::path& program, const std::vector<std::string>& args,
             const ChildOptions& options) {
    std::vector<std::string> argv{program.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> env = mergedEnvironment(options.environment);
    std::vector<char*> argp = pointers(argv);
    std::vector<char*> envp = pointers(env);
    const std::string dir = options.workingDirectory.string();

    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe");
    }
    if (options.stderrTerminal) {
        if (openpty(&err[0], &err[1], nullptr, nullptr, nullptr) != 0) {
            throw std::runtime_error("openpty");
        }
        fcntl(err[0], F_SETFD, FD_CLOEXEC);
        fcntl(err[1], F_SETFD, FD_CLOEXEC);
    } else if (pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe");
    }
    const int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    m_pid = ::fork();
    if (m_pid == 0) {
        // Only calls that are safe between fork and exec in a threaded process.
        ::dup2(devNull, STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        if (!dir.empty() && ::chdir(dir.c_str()) != 0) {
            ::_exit(126);
        }
        ::execve(argp[0], argp.data(), envp.data());
        ::_exit(127);
    }
    ::close(devNull);
    ::close(out[1]);
    ::close(err[1]);
    m_out = out[0];
    m_err = err[0];
    if (m_pid < 0) {
        throw std::runtime_error("fork");
    }
}

Child::~Child() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0) {
        ::close(m_out);
    }
    if (m_err >= 0) {
        ::close(m_err);
    }
}

bool Child::pump(std::chrono::milliseconds wait) {
    pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
    const int n = ::poll(fds, 2, static_cast<int>(wait.count()));
    if (n <= 0) {
        return m_out >= 0 || m_err >= 0;
    }
    int* ends[2] = {&m_out, &m_err};
    std::string* sinks[2] = {&m_outcome.out, &m_outcome.err};
    for (int i = 0; i < 2; ++i) {
        if (*ends[i] < 0 || fds[i].revents == 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t got = ::read(*ends[i], buffer, sizeof buffer);
        if (got > 0) {
            sinks[i]->append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
            // A pseudo-terminal reports the end of its last writer as EIO.
            ::close(*ends[i]);
            *ends[i] = -1;
        }
    }
    return m_out >= 0 || m_err >= 0;
}

bool Child::waitOutput(const std::function<bool(const Outcome&)>& done,
                       std::chrono::steady_clock::duration limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done(m_outcome)) {
        if (std::chrono::steady_clock::now() >= end || !pump(50ms)) {
            return done(m_outcome);
        }
    }
    return true;
}

void Child::signal(int sig) {
    if (m_pid > 0) {
        ::kill(m_pid, sig);
    }
}

Outcome Child::finish(std::chrono::steady_clock::duration limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    for (;;) {
        const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid) {
            break;
        }
        if (std::chrono::steady_clock::now() >= end) {
            m_outcome.timedOut = true;
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            break;
        }
        pump(50ms);
    }
    m_pid = -1;
    // The rest of the output; a grandchild holding the pipes cannot keep this waiting.
    const auto drainEnd = std::chrono::steady_clock::now() + 5s;
    while (pump(50ms) && std::chrono::steady_clock::now() < drainEnd) {
    }
    m_outcome.exitCode = WIFEXITED(status) && !m_outcome.timedOut ? WEXITSTATUS(status) : -1;
    return m_outcome;
}

Outcome runProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                   const ChildOptions& options) {
    Child child(program, args, options);
    return child.finish();
}

} // namespace toolstest
