// The descriptor owner closes what it holds exactly once, wherever it has moved to.
#include <common/unique_fd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

bool isOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF;
}

struct Pipe {
    Pipe() { EXPECT_EQ(::pipe2(fds, O_CLOEXEC), 0); }
    int fds[2] = {-1, -1};
};

TEST(UniqueFd, ClosesOnDestructionAndReset) {
    Pipe p;
    {
        const common::UniqueFd read(p.fds[0]);
        EXPECT_TRUE(read.valid());
        EXPECT_EQ(read.get(), p.fds[0]);
    }
    EXPECT_FALSE(isOpen(p.fds[0]));
    common::UniqueFd write(p.fds[1]);
    write.reset();
    EXPECT_FALSE(write.valid());
    EXPECT_FALSE(isOpen(p.fds[1]));
}

TEST(UniqueFd, MovingHandsOverTheDescriptor) {
    Pipe p;
    common::UniqueFd first(p.fds[0]);
    common::UniqueFd second(std::move(first));
    EXPECT_FALSE(first.valid());
    EXPECT_EQ(second.get(), p.fds[0]);
    common::UniqueFd third(p.fds[1]);
    third = std::move(second); // the write end is closed, the read end kept
    EXPECT_FALSE(isOpen(p.fds[1]));
    EXPECT_TRUE(isOpen(p.fds[0]));
    EXPECT_EQ(third.get(), p.fds[0]);
}

} // namespace
