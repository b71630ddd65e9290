// Status messages in the driver's two languages, and the language names.
#pragma once

#include <cstdint>
#include <optional>

namespace linkor {

enum class Language { French, English };

/// The message of a known status code, or null.
const char* findMessage(int32_t code, Language language);
/// The message given for any code that is not known.
const char* unknownCodeMessage(Language language);
/// The language of one of its exact names ("FR", "ENGLISH" …), or nullopt.
std::optional<Language> languageOf(const char* text);

} // namespace linkor
