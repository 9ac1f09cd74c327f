#pragma once
// The text of a .reg file: its encoding, chosen by the first two bytes as regedit does, and its
// lines, ended by CR LF, LF or a bare CR.

#include "base/CodePage.h"
#include "base/TextFile.h"

#include <string>
#include <string_view>

namespace moxalo::regfile {

// A .reg file is UTF-16LE after the byte order mark FF FE, or else 8-bit text: whatever its
// header says, a file without the mark is read in `codePage`, as regedit reads it in the
// system's ANSI code page.
using text::DecodedText;
using text::TextEncoding;
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
