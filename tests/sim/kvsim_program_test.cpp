// The kvsim program: started as a person would start it, it publishes COMn, answers
// there, and removes the link when it is stopped.

#include "pty_client.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace simtest {
namespace {

struct Child {
    pid_t pid = -1;
    int out = -1; // standard output and standard error of the program
};

Child spawn(const std::vector<std::string>& args) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        throw std::runtime_error("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> argv;
    for (const auto& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    Child r;
    const int rc = posix_spawn(&r.pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (rc != 0) {
        throw std::runtime_error("posix_spawn failed");
    }
    r.out = pipeFds[0];
    return r;
}

// Output until @p marker appears, the program closes its output, or the time is up.
std::string readUntil(int fd, const std::string& marker, std::chrono::milliseconds timeout) {
    std::string text;
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (text.find(marker) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        char buf[512];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) {
            break;
        }
        text.append(buf, static_cast<std::size_t>(n));
    }
    return text;
}

int waitExit(pid_t pid) {
    int status = 0;
    for (int i = 0; i < 1000; ++i) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        ::usleep(10000);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

std::filesystem::path tempDir() {
    char pattern[] = "/tmp/kvsim-prog-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        throw std::runtime_error("mkdtemp");
    }
    return pattern;
}

TEST(Program, DemoLineOnCom3UntilStopped) {
    const auto dir = tempDir();
    const std::string log = (dir / "traffic.log").string();
    Child r = spawn({KVSIM_PROGRAM, "--ports", dir.string(), "--com", "3", "--log", log,
                     std::string(KVSIM_LINES_DIR) + "/demo.line"});
    const std::string banner = readUntil(r.out, "ready", 20s);
    ASSERT_NE(banner.find("kvsim: ready"), std::string::npos) << banner;
    EXPECT_NE(banner.find("VRX34"), std::string::npos) << banner;
    const auto link = dir / "COM3";
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    {
        PtyClient c(link, 9600);
        EXPECT_EQ(c.xonReply("00RV"), "00V 50 65029");
        c.setBaud(19200);
        EXPECT_EQ(c.exchange(bytes("10QX\r")), bytes("10QX\r 10X 00\r\n>"));
    }
    // A second line cannot take a name in use.
    Child second = spawn({KVSIM_PROGRAM, "--ports", dir.string(), "--com", "3",
                          std::string(KVSIM_LINES_DIR) + "/empty.line"});
    const std::string refused = readUntil(second.out, "in use", 20s);
    EXPECT_NE(waitExit(second.pid), 0);
    EXPECT_NE(refused.find("COM3 is in use"), std::string::npos) << refused;
    ::close(second.out);

    ::kill(r.pid, SIGTERM);
    EXPECT_EQ(waitExit(r.pid), 0);
    ::close(r.out);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    const int logFd = ::open(log.c_str(), O_RDONLY | O_CLOEXEC);
    const std::string logText = readUntil(logFd, "\x01", 2s); // to its end
    ::close(logFd);
    EXPECT_NE(logText.find(">> 02 30 30 34 30 30 52 56"), std::string::npos) << logText;
    EXPECT_NE(logText.find("<< 06 13"), std::string::npos) << logText;
    std::filesystem::remove_all(dir);
}

TEST(Program, BadLineFileIsReportedWithItsLine) {
    const auto dir = tempDir();
    const auto file = dir / "bad.line";
    {
        std::FILE* f = std::fopen(file.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("00 TRILO\n01 TRILO baud=12345\n", f);
        std::fclose(f);
    }
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{KVSIM_PROGRAM, "--ports", dir.string(), file.string()},
         file.string() + ":2: a TRILO module cannot run at 12345 baud"},
        {{KVSIM_PROGRAM, "--ports", dir.string(), (dir / "missing.line").string()},
         (dir / "missing.line").string() + ": cannot open the line file"},
        {{KVSIM_PROGRAM, "--com", "0", file.string()}, "--com takes a port number 1-255"},
        {{KVSIM_PROGRAM}, "Usage: kvsim"},
    };
    for (const Case& tc : cases) {
        Child r = spawn(tc.args);
        const std::string out = readUntil(r.out, "\n", 20s);
        EXPECT_NE(waitExit(r.pid), 0) << tc.message;
        EXPECT_NE(out.find(tc.message), std::string::npos) << out;
        ::close(r.out);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "COM1"));
    std::filesystem::remove_all(dir);
}

TEST(Program, ALineFileThatIsNoRegularFileOfSaneSizeIsRefused) {
    const auto dir = tempDir();
    const auto fifo = dir / "fifo.line";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto subdir = dir / "dir.line";
    std::filesystem::create_directory(subdir);
    const auto large = dir / "large.line";
    {
        std::FILE* f = std::fopen(large.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    std::filesystem::resize_file(large, 1024 * 1024 + 1);
    struct Case {
        std::string file;
        std::string message;
    };
    // Before, /dev/zero was read until memory ran out, a FIFO without a writer kept
    // the program waiting with its stop signals blocked, and a directory was a line
    // without modules.
    const Case cases[] = {
        {"/dev/zero", "/dev/zero: the line file is not a regular file but a character device"},
        {fifo.string(), fifo.string() + ": the line file is not a regular file but a FIFO"},
        {subdir.string(),
         subdir.string() + ": the line file is not a regular file but a directory"},
        {large.string(), large.string() + ": the line file is too large (1048577 bytes; at "
                                          "most 1048576)"},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.file);
        Child r = spawn({KVSIM_PROGRAM, "--ports", dir.string(), tc.file});
        const std::string out = readUntil(r.out, "\n", 20s);
        const int code = waitExit(r.pid);
        EXPECT_GT(code, 0) << "it must end by itself, with a failure";
        EXPECT_LT(code, 128) << "it must not be killed";
        EXPECT_NE(out.find(tc.message), std::string::npos) << out;
        ::close(r.out);
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir / "COM1")));
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace simtest
