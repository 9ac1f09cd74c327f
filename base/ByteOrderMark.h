#pragma once
// The byte order marks a text file may start with, and which one it starts with: one sniffer
// for every reader of text (.reg files, profile files, the text editor's files, sources).

#include <string_view>

namespace moxalo::text {

enum class ByteOrderMark { None, Utf8, Utf16le, Utf16be };

inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16leMark = "\xFF\xFE";
inline constexpr std::string_view kUtf16beMark = "\xFE\xFF";

// The bytes of `mark`; empty for None.
constexpr std::string_view bytesOf(ByteOrderMark mark) {
    switch (mark) {
    case ByteOrderMark::Utf8:
        return kUtf8Mark;
    case ByteOrderMark::Utf16le:
        return kUtf16leMark;
    case ByteOrderMark::Utf16be:
        return kUtf16beMark;
    case ByteOrderMark::None:
        break;
    }
    return {};
}

// The mark `bytes` start with.
constexpr ByteOrderMark byteOrderMarkOf(std::string_view bytes) {
    for (ByteOrderMark mark :
         {ByteOrderMark::Utf8, ByteOrderMark::Utf16le, ByteOrderMark::Utf16be}) {
        if (bytes.starts_with(bytesOf(mark)))
            return mark;
    }
    return ByteOrderMark::None;
}

} // namespace moxalo::text
