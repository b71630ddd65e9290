#include "project/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamsel::project {

namespace fs = std::filesystem;

ssize_t FileSteps::write(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}

int FileSteps::sync(int fd) {
    return ::fsync(fd);
}

int FileSteps::rename(const char* from, const char* to) {
    return ::rename(from, to);
}

FileSteps& systemFileSteps() {
    static FileSteps steps;
    return steps;
}

namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int get() const { return m_fd; }
    /// Closing reports the last write errors of some file systems.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

  private:
    int m_fd;
};

std::string reason(std::string_view what, const fs::path& path) {
    return std::string(what) + " " + path.string() + ": " + std::strerror(errno);
}

bool writeAll(int fd, std::string_view bytes, FileSteps& steps) {
    while (!bytes.empty()) {
        const ssize_t n = steps.write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void syncDirectory(const fs::path& file) {
    // The rename itself is only durable once the directory is on disk; a
    // failure here leaves a complete file either way, so it is not reported.
    const fs::path dir = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::optional<std::string> readFile(const fs::path& path, std::string& error) {
    // Opened without blocking, so that a pipe named by mistake cannot hang the
    // program before it is found not to be a file.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        error = reason("cannot open", path);
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        error = reason("cannot read", path);
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        error = reason("not a file:", path);
        return std::nullopt;
    }
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    std::string bytes;
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = reason("cannot read", path);
            return std::nullopt;
        }
        if (n == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > kMaxFileSize) {
            errno = EFBIG;
            error = reason("cannot read", path);
            return std::nullopt;
        }
    }
}

bool replaceFile(const fs::path& target, const fs::path& temp, std::string_view bytes,
                 FileSteps& steps, std::string& error) {
    mode_t mode = 0644;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    }
    // A temporary file left by an interrupted save is stale: start afresh,
    // and never write through whatever may stand at that name.
    ::unlink(temp.c_str());
    Descriptor fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (fd.get() < 0) {
        error = reason("cannot create", temp);
        return false;
    }
    const auto fail = [&](std::string_view what) {
        error = reason(what, temp);
        ::unlink(temp.c_str());
        return false;
    };
    if (::fchmod(fd.get(), mode) != 0) {
        return fail("cannot set the permissions of");
    }
    if (!writeAll(fd.get(), bytes, steps)) {
        return fail("cannot write");
    }
    if (steps.sync(fd.get()) != 0) {
        return fail("cannot flush");
    }
    if (!fd.close()) {
        return fail("cannot close");
    }
    if (steps.rename(temp.c_str(), target.c_str()) != 0) {
        error = reason("cannot rename " + temp.string() + " to", target);
        ::unlink(temp.c_str());
        return false;
    }
    syncDirectory(target);
    return true;
}

bool writeFile(const fs::path& path, std::string_view bytes, FileSteps& steps, std::string& error) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
        error = reason("cannot create", path);
        return false;
    }
    if (!writeAll(fd.get(), bytes, steps) || steps.sync(fd.get()) != 0 || !fd.close()) {
        error = reason("cannot write", path);
        return false;
    }
    return true;
}

fs::path siblingWithExtension(const fs::path& file, std::string_view extension) {
    std::string name = file.filename().string();
    const std::string_view ktp = ".ktp";
    if (name.size() > ktp.size()) {
        const std::string tail = name.substr(name.size() - ktp.size());
        bool isKtp = true;
        for (std::size_t i = 0; i < ktp.size(); ++i) {
            const char c = tail[i];
            const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            isKtp = isKtp && lower == ktp[i];
        }
        if (isKtp) {
            name.resize(name.size() - ktp.size());
        }
    }
    name += extension;
    return file.parent_path() / name;
}

} // namespace tamsel::project
