#include "backup/backup_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamsel::backup {

namespace {

/// A descriptor closed when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    /// Closes now, so that a failing close is seen.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

  private:
    int m_fd;
};

std::string reason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

} // namespace

std::string saveAtomically(const std::filesystem::path& path, const std::string& text) {
    const std::filesystem::path dir =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    // The temporary file lies in the same directory, so that the rename cannot cross file
    // systems and either name always holds a whole file.
    std::string name = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
    Descriptor fd(::mkstemp(name.data()));
    if (fd.get() < 0) {
        return reason("cannot create a file in " + dir.string());
    }
    const auto drop = [&name] { ::unlink(name.c_str()); };
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd.get(), text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const std::string why = reason("cannot write " + name);
            drop();
            return why;
        }
        done += static_cast<std::size_t>(n);
    }
    // mkstemp gives 0600; a backup is an ordinary document.
    ::fchmod(fd.get(), 0644);
    if (::fsync(fd.get()) != 0 || !fd.close()) {
        const std::string why = reason("cannot write " + name);
        drop();
        return why;
    }
    if (::rename(name.c_str(), path.c_str()) != 0) {
        const std::string why = reason("cannot rename the new file to " + path.string());
        drop();
        return why;
    }
    Descriptor directory(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) {
        ::fsync(directory.get());
    }
    return {};
}

} // namespace tamsel::backup
