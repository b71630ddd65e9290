/**
 * @file backup_file.h
 * The backup file: a text a person can read and a diff can compare. A version line first,
 * then the line it was taken on, then one section a module and one setting a line, and an
 * end line, so that a file cut short is told from a whole one.
 */
#pragma once

#include "backup/backup_model.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel::backup {

/// The text of a picture, as the file holds it.
std::string writePicture(const LinePicture& picture);

struct LoadMessage {
    int line = 0; ///< 1-based line of the file, 0 for the file as a whole
    std::string text;
};

struct LoadResult {
    LinePicture picture;
    std::vector<LoadMessage> messages;
    /// False when the text is no backup this program can read (no or a later version line);
    /// the picture is then empty.
    bool usable = false;
};

/**
 * @brief Reads the text of a backup file. Every line that cannot be taken as it stands
 *        gives a message and is left out: an unknown key, a value that is no number or
 *        outside its range, a second section of the same module, a setting given twice.
 *        A module whose section the file ends in without its end line is marked incomplete.
 */
LoadResult readPicture(std::string_view text);

/// Reads a file; a file that cannot be read gives one message and no usable picture.
LoadResult loadPicture(const std::filesystem::path& path);

/**
 * @brief Writes the text to @p path so that the file is either the old one or the whole new
 *        one: it is written beside it under another name, flushed to the disk and renamed.
 * @return an empty text, or why it could not be written.
 */
std::string saveAtomically(const std::filesystem::path& path, const std::string& text);

} // namespace tamsel::backup
