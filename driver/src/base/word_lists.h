// How the line family puts the lists of its sub-drivers together.
#pragma once

#include <string>

namespace linkor {

/// Adds a later sub-driver's list: copied whole into an empty output, otherwise a blank
/// and the part after its first ":" (the whole list when it has none).
void mergeList(std::string& out, const std::string& list);

/// Keeps the first appearance of every blank-separated word (case-sensitive), joined by
/// single blanks; blanks before the first word stay as they were.
std::string uniqueWords(const std::string& text);

/// Copies a text into a caller's buffer. The buffers of the list functions carry no
/// size; `limit` is the size every caller is known to provide.
void copyOut(char* out, const std::string& text, size_t limit);

} // namespace linkor
