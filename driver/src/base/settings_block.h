// The in-band settings block "/WORD value WORD = value .../" that may open a command
// text. The words are read here once; each line type says what its words mean.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace linkor {

/// The reading position inside one settings block, for the line type that applies it.
class SettingsBlockScanner {
  public:
    /// `text` begins with the opening "/".
    explicit SettingsBlockScanner(const char* text) : m_text(text) {}

    char at() const { return m_text[m_pos]; }
    void advance() { ++m_pos; }
    void skipBlanks();
    /// Up to 20 characters, ending before the end of the text or a character of `stops`.
    std::string readWord(const char* stops);
    /// The value of a keyword: after up to 20 blanks and "=" signs, a word up to "/" or " ".
    std::string readValue();
    /// After blanks, an "=" and more blanks: true, the position on what is assigned.
    /// Without the "=", false and the position after the blanks.
    bool readAssignment();

    size_t position() const { return m_pos; }

  private:
    const char* m_text;
    size_t m_pos = 1; // after the opening "/"
};

/// What a line type does with one word of the block: read what follows it through the
/// scanner and apply it. LINKOR_OK goes on with the next word; any other status ends
/// the block with that status.
class SettingsWordHandler {
  public:
    virtual int32_t applyWord(const std::string& word, SettingsBlockScanner& scanner) = 0;

  protected:
    ~SettingsWordHandler() = default;
};

/// Reads the block at the start of `text` word by word through `handler`. `consumed`
/// receives the length read, so the command goes on at text + consumed. Settings read
/// before a failing word stay applied; a block that is not closed is refused.
int32_t scanSettingsBlock(const char* text, SettingsWordHandler& handler, size_t& consumed);

/// A non-negative decimal number written whole. Negative or overflowing values make no
/// sense for a time or a count and are refused.
bool readSettingCount(const std::string& value, int& out);

} // namespace linkor
