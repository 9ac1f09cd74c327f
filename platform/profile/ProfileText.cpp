#include "platform/profile/ProfileText.h"

#include "base/ByteOrderMark.h"
#include "base/NameFold.h"
#include "base/Utf16.h"

#include <cstdint>
#include <utility>

namespace moxalo::profile {

using text::ByteOrderMark;

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Big-endian UTF-16 is little-endian with each pair of bytes swapped.
template <typename Bytes> void swapPairs(Bytes& bytes) {
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        std::swap(bytes[i], bytes[i + 1]);
}

std::string fromUtf16(std::string_view bytes, bool bigEndian) {
    std::string units(bytes);
    if (bigEndian)
        swapPairs(units);
    return text::utf16leToUtf8(reinterpret_cast<const std::uint8_t*>(units.data()), units.size());
}

std::string toUtf16(std::string_view text, bool bigEndian) {
    std::vector<std::uint8_t> units = text::utf8ToUtf16le(text);
    if (bigEndian)
        swapPairs(units);
    return std::string(units.begin(), units.end());
}

bool endsInLineBreak(std::string_view text) {
    return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

} // namespace

bool isBlank(char c) {
    return (c >= '\t' && c <= '\r') || c == ' ' || c == '\x1A';
}

std::string_view trimLeadingBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

std::string_view trimBlanks(std::string_view text) {
    text = trimLeadingBlanks(text);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

ProfileText::ProfileText(std::string_view bytes) {
    mark_ = text::byteOrderMarkOf(bytes);
    bytes.remove_prefix(text::bytesOf(mark_).size());
    const bool utf16 = mark_ == ByteOrderMark::Utf16le || mark_ == ByteOrderMark::Utf16be;
    text_ = utf16 ? fromUtf16(bytes, mark_ == ByteOrderMark::Utf16be) : std::string(bytes);
    parse();
}

std::string ProfileText::bytes() const {
    const bool utf16 = mark_ == ByteOrderMark::Utf16le || mark_ == ByteOrderMark::Utf16be;
    return std::string(text::bytesOf(mark_)) +
           (utf16 ? toUtf16(text_, mark_ == ByteOrderMark::Utf16be) : text_);
}

// A line ends at CR, LF or CRLF; a run of them makes empty lines, which are blank.
void ProfileText::parse() {
    lines_.clear();
    for (std::size_t begin = 0; begin < text_.size();) {
        std::size_t end = text_.find_first_of("\r\n", begin);
        std::size_t next = text_.size();
        if (end == std::string::npos)
            end = text_.size();
        else if (text_.compare(end, kCrLf.size(), kCrLf) == 0)
            next = end + 2;
        else
            next = end + 1;
        lines_.push_back({begin, end, next});
        begin = next;
    }

    sections_.clear();
    sections_.push_back({"", false, 0, 0, 0, {}});
    std::string_view text = text_;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view line =
            trimBlanks(text.substr(lines_[i].begin, lines_[i].end - lines_[i].begin));
        if (line.empty())
            continue;
        // The name runs to the last "]": "[x]y]z" is the section "x]y". A "[" line without
        // one is an ordinary line.
        std::size_t close = line.rfind(']');
        if (line.front() == '[' && close != std::string_view::npos) {
            sections_.back().end = i;
            sections_.push_back({std::string(trimBlanks(line.substr(1, close - 1))),
                                 true,
                                 i,
                                 i,
                                 lines_.size(),
                                 {}});
            continue;
        }
        ProfileSection& section = sections_.back();
        section.last = i;
        std::size_t equals = line.find('=');
        if (line.front() == ';' || equals == std::string_view::npos)
            continue;
        std::size_t valueBegin = static_cast<std::size_t>(line.data() - text.data()) + equals + 1;
        section.keys.push_back({std::string(trimBlanks(line.substr(0, equals))),
                                std::string(trimLeadingBlanks(line.substr(equals + 1))), i,
                                valueBegin});
    }
    sections_.back().end = lines_.size();
}

void ProfileText::replace(std::size_t begin, std::size_t end, std::string_view text) {
    text_.replace(begin, end - begin, text);
    parse();
}

const ProfileSection* ProfileText::findSection(std::string_view name) const {
    for (const ProfileSection& section : sections_)
        if (section.hasHeader && registry::sameName(section.name, name))
            return &section;
    return nullptr;
}

const ProfileKey* ProfileText::findKey(const ProfileSection& section, std::string_view name) {
    for (const ProfileKey& key : section.keys)
        if (registry::sameName(key.name, name))
            return &key;
    return nullptr;
}

bool ProfileText::setValue(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(value) + std::string(kCrLf);
    const ProfileSection* found = findSection(section);
    if (found == nullptr) {
        std::string added = endsInLineBreak(text_) || text_.empty() ? "" : std::string(kCrLf);
        added += "[" + std::string(section) + "]" + std::string(kCrLf) + line;
        replace(text_.size(), text_.size(), added);
        return true;
    }
    if (const ProfileKey* old = findKey(*found, key)) {
        if (old->value == value)
            return false;
        // What comes before the "=" stays: the key keeps its spelling and indentation.
        replace(old->valueBegin, lines_[old->line].end, value);
        return true;
    }
    // After the section's last line that is not blank, so that blank lines which part it from
    // the next section still do.
    const Line& last = lines_[found->last];
    if (last.next == last.end) // the last line of a file that does not end in a line break
        line.insert(0, kCrLf);
    replace(last.next, last.next, line);
    return true;
}

} // namespace moxalo::profile
