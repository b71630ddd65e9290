#pragma once
// Reading and replacing files without ever leaving a half-written one in the
// place of a user's file.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace tamsel::project {

/**
 * @brief The system calls a file replacement goes through. The program uses
 * the plain system calls; a test overrides one of them to make a save fail at
 * a chosen point.
 */
class FileSteps {
  public:
    virtual ~FileSteps() = default;
    virtual ssize_t write(int fd, const void* data, std::size_t size);
    virtual int sync(int fd);
    virtual int rename(const char* from, const char* to);
};

/// The system calls themselves.
FileSteps& systemFileSteps();

/// Files of the program are small; anything larger is not one of them (and a
/// device or a pipe named by mistake must not fill the memory).
inline constexpr std::size_t kMaxFileSize = 16u << 20;

/// The whole file as bytes; nullopt (and the reason in @p error) when it
/// cannot be read or is larger than kMaxFileSize.
std::optional<std::string> readFile(const std::filesystem::path& path, std::string& error);

/**
 * @brief Replaces @p target by @p bytes: they are written to @p temp, flushed
 * to disk, and renamed over the target, so that at every moment the target is
 * either the old file or the new one, whole.
 *
 * The new file keeps the old one's permission bits. On failure the temporary
 * file is removed, the target is untouched and @p error says why.
 */
bool replaceFile(const std::filesystem::path& target, const std::filesystem::path& temp,
                 std::string_view bytes, FileSteps& steps, std::string& error);

/// Writes @p bytes to @p path in place (for copies whose loss harms nothing).
bool writeFile(const std::filesystem::path& path, std::string_view bytes, FileSteps& steps,
               std::string& error);

/**
 * @brief A name beside @p file with another extension: ".ktp" (in any case)
 * is replaced, any other name gets the extension added, so that the copy
 * never has the name of the file itself.
 */
std::filesystem::path siblingWithExtension(const std::filesystem::path& file,
                                           std::string_view extension);

} // namespace tamsel::project
