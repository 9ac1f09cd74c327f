#pragma once
// An INI file's text and where its sections and keys lie in it, so that a change touches only
// the bytes it concerns: Windows keeps a profile file's formatting, comments and blank lines.

#include "base/ByteOrderMark.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace moxalo::profile {

// Blanks as profile files know them: tab to CR, space, and DOS's end-of-file mark 0x1A, which
// old editors leave behind.
bool isBlank(char c);
std::string_view trimBlanks(std::string_view text);
std::string_view trimLeadingBlanks(std::string_view text);

struct ProfileKey {
    std::string name;  // trimmed
    std::string value; // trimmed; quotes around it are still there
    std::size_t line;
    std::size_t valueBegin; // where the text after the "=" starts
};

// A section and its lines, blank lines and comments included. Lines are counted from 0.
struct ProfileSection {
    std::string name;
    bool hasHeader;    // false for the lines before the first section
    std::size_t first; // the header, or line 0
    std::size_t last;  // the last line that is not blank
    std::size_t end;   // one past the last line before the next header
    // Lines with "=" in order, except comments (";"); a line without "=" names nothing.
    std::vector<ProfileKey> keys;
};

class ProfileText {
public:
    // Text that starts with a byte order mark is read in that encoding.
    explicit ProfileText(std::string_view bytes = {});

    // The text in the encoding it came in, its byte order mark in front.
    std::string bytes() const;

    // The lines before the first section come first, then every section in file order.
    const std::vector<ProfileSection>& sections() const { return sections_; }
    // The first section so named, matched without regard to case, or nullptr. The lines before
    // the first section are never found: they have no name.
    const ProfileSection* findSection(std::string_view name) const;
    // The first key so named in `section`, or nullptr.
    static const ProfileKey* findKey(const ProfileSection& section, std::string_view name);

    // Whether the text changed. Names and value come trimmed, neither holding a line break. A
    // new line ends in CRLF.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);

private:
    struct Line {
        std::size_t begin;
        std::size_t end;  // where its line break starts
        std::size_t next; // after its line break
    };

    void parse();
    // Puts `text` in place of the bytes [begin, end) and finds the lines again.
    void replace(std::size_t begin, std::size_t end, std::string_view text);

    // How the file's bytes hold its text; a changed file is written back the same way.
    text::ByteOrderMark mark_ = text::ByteOrderMark::None;
    std::string text_; // UTF-8, or the file's own bytes when it has no byte order mark
    std::vector<Line> lines_;
    std::vector<ProfileSection> sections_;
};

} // namespace moxalo::profile
