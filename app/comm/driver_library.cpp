#include "comm/driver_library.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tkv {

namespace {

// The ELF flavour of this program: the only one it can load.
using FileHeader = ElfW(Ehdr);
using ProgramHeader = ElfW(Phdr);
#if defined(__LP64__)
constexpr unsigned char kOwnClass = ELFCLASS64;
#else
constexpr unsigned char kOwnClass = ELFCLASS32;
#endif
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr unsigned char kOwnData = ELFDATA2LSB;
#else
constexpr unsigned char kOwnData = ELFDATA2MSB;
#endif
#if defined(__x86_64__)
constexpr unsigned kOwnMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr unsigned kOwnMachine = EM_AARCH64;
#elif defined(__i386__)
constexpr unsigned kOwnMachine = EM_386;
#elif defined(__arm__)
constexpr unsigned kOwnMachine = EM_ARM;
#else
constexpr unsigned kOwnMachine = EM_NONE; // not checked
#endif

/// Reads exactly @p size bytes at @p offset.
bool readAt(int fd, void* out, std::size_t size, off_t offset) {
    auto* bytes = static_cast<char*>(out);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, bytes + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

/// Whether [offset, offset + size) lies inside a file of @p fileSize bytes.
bool fits(std::uint64_t offset, std::uint64_t size, std::uint64_t fileSize) {
    return offset <= fileSize && size <= fileSize - offset;
}

std::string cutShort(std::uint64_t needed, std::uint64_t fileSize) {
    char text[160];
    std::snprintf(
        text, sizeof text, "the file is cut short: its headers need %llu bytes, it has %llu",
        static_cast<unsigned long long>(needed), static_cast<unsigned long long>(fileSize));
    return text;
}

} // namespace

std::string TKV_DriverLibrary::checkFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return std::strerror(errno);
    }
    if (!S_ISREG(st.st_mode)) {
        return "it is not a regular file";
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return std::strerror(errno);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        return "it is not a regular file";
    }
    const auto fileSize = static_cast<std::uint64_t>(st.st_size);
    FileHeader header{};
    if (fileSize < EI_NIDENT || !readAt(fd, header.e_ident, EI_NIDENT, 0) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) {
        return "it is not a shared library (no ELF header)";
    }
    if (header.e_ident[EI_CLASS] != kOwnClass || header.e_ident[EI_DATA] != kOwnData) {
        return "it is a library for another kind of machine";
    }
    if (fileSize < sizeof header || !readAt(fd, &header, sizeof header, 0)) {
        return cutShort(sizeof header, fileSize);
    }
    if (header.e_type != ET_DYN) {
        return "it is not a shared library (an ELF file of another type)";
    }
    if (kOwnMachine != EM_NONE && header.e_machine != kOwnMachine) {
        return "it is a library for another kind of machine";
    }
    if (header.e_phentsize != sizeof(ProgramHeader) || header.e_phnum == 0) {
        return "its program headers are damaged";
    }
    const std::uint64_t programHeaders =
        static_cast<std::uint64_t>(header.e_phnum) * header.e_phentsize;
    if (!fits(header.e_phoff, programHeaders, fileSize)) {
        return cutShort(header.e_phoff + programHeaders, fileSize);
    }
    std::vector<ProgramHeader> segments(header.e_phnum);
    if (!readAt(fd, segments.data(), programHeaders, static_cast<off_t>(header.e_phoff))) {
        return cutShort(header.e_phoff + programHeaders, fileSize);
    }
    for (const ProgramHeader& segment : segments) {
        if (segment.p_type == PT_LOAD && !fits(segment.p_offset, segment.p_filesz, fileSize)) {
            return cutShort(segment.p_offset + segment.p_filesz, fileSize);
        }
    }
    const std::uint64_t sectionHeaders =
        static_cast<std::uint64_t>(header.e_shnum) * header.e_shentsize;
    if (header.e_shoff != 0 && !fits(header.e_shoff, sectionHeaders, fileSize)) {
        return cutShort(header.e_shoff + sectionHeaders, fileSize);
    }
    return {};
}

TKV_DriverLibrary TKV_DriverLibrary::load(const std::string& path, int& error,
                                          std::string& reason) {
    error = 0;
    reason = checkFile(path);
    if (!reason.empty()) {
        struct stat st {};
        error = ::stat(path.c_str(), &st) != 0 ? errno : ENOEXEC;
        return {};
    }
    // Loaded with its symbols kept local: two copies of the driver loaded from two
    // directories stay apart.
    common::LoadedLibrary library(path);
    if (!library.loaded()) {
        reason = library.error();
        // dlopen keeps no error number; the file's own state gives the closest one, and a
        // file that exists but does not load is not an executable library.
        struct stat st {};
        error = ::stat(path.c_str(), &st) != 0 ? errno : ENOEXEC;
        return {};
    }
    return TKV_DriverLibrary(std::move(library));
}

} // namespace tkv
