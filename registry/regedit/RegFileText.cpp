#include "registry/regedit/RegFileText.h"

#include "base/ByteOrderMark.h"
#include "base/Utf16.h"

#include <algorithm>

namespace moxalo::regfile {

DecodedText decodeRegFile(std::string_view bytes, const text::CodePage& codePage) {
    DecodedText out;
    if (text::byteOrderMarkOf(bytes) == text::ByteOrderMark::Utf16le) {
        out.encoding = TextEncoding::Utf16le;
        std::string_view body = bytes.substr(text::kUtf16leMark.size());
        out.halfCharacterAtEnd = body.size() % 2 != 0;
        out.utf8 =
            text::utf16leToUtf8(reinterpret_cast<const std::uint8_t*>(body.data()), body.size());
        return out;
    }
    out.encoding = TextEncoding::Ansi;
    out.utf8 = codePage.toUtf8(bytes);
    return out;
}

bool LineReader::next(std::string_view& line) {
    if (pos_ >= text_.size())
        return false;
    // Two searches for one byte each beat one search for either, which tests every byte twice.
    std::string_view rest = text_.substr(pos_);
    std::size_t end = std::min(rest.find('\n'), rest.size());
    end = pos_ + std::min(rest.substr(0, end).find('\r'), end);
    line = text_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < text_.size())
        pos_ += text_.compare(pos_, 2, "\r\n") == 0 ? 2 : 1;
    ++number_;
    return true;
}

} // namespace moxalo::regfile
