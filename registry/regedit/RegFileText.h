#pragma once
// The text of a .reg file: its encoding, chosen by the first two bytes as regedit does, and its
// lines, ended by CR LF, LF or a bare CR.

#include "base/CodePage.h"

#include <string>
#include <string_view>

namespace moxalo::regfile {

enum class Encoding {
    Utf16le, // starts with the byte order mark FF FE
    Ansi,    // anything else: 8-bit text in the Windows ANSI code page
};

struct DecodedText {
    Encoding encoding = Encoding::Ansi;
    std::string utf8;                // the whole file after the byte order mark
    bool halfCharacterAtEnd = false; // a UTF-16 file with an odd number of bytes
};

// Whatever its header says, a file without the byte order mark is read in `codePage`, as
// regedit reads it in the system's ANSI code page.
DecodedText decodeRegFile(std::string_view bytes, const text::CodePage& codePage);

class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}
    // The next line without its ending, or false at the end of the text.
    bool next(std::string_view& line);
    // The 1-based number of the line last returned.
    int lineNumber() const { return number_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

} // namespace moxalo::regfile
