#include "bench/KeyOrder.h"

#include "base/Utf16.h"
#include "bench/Dice.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace moxalo::bench {

namespace {

// Every section begins with an empty line and its key line; the header comes before the first.
constexpr std::string_view kSectionStart = "\r\n\r\n[";

// The sections of `text`: each from its empty line up to the next one's.
std::vector<std::string_view> sectionsOf(std::string_view text, std::size_t first) {
    std::vector<std::string_view> sections;
    for (std::size_t at = first; at != std::string_view::npos;) {
        std::size_t next = text.find(kSectionStart, at + 2);
        std::size_t end = next == std::string_view::npos ? text.size() : next + 2;
        sections.push_back(text.substr(at, end - at));
        at = next == std::string_view::npos ? next : next + 2;
    }
    return sections;
}

} // namespace

std::string reorderKeys(const std::string& exported, KeyOrder order, std::uint64_t seed) {
    if (order == KeyOrder::Sorted)
        return exported;
    auto bytes = reinterpret_cast<const std::uint8_t*>(exported.data());
    std::string text = text::utf16leToUtf8(bytes + 2, exported.size() - 2);
    std::size_t first = text.find(kSectionStart);
    if (first == std::string::npos)
        return exported;
    first += 2;
    // The last section ends with the file's closing empty line; every moved section needs one.
    if (text.ends_with("\r\n\r\n"))
        text.resize(text.size() - 2);
    std::vector<std::string_view> sections = sectionsOf(text, first);
    if (order == KeyOrder::Reverse) {
        std::reverse(sections.begin(), sections.end());
    } else {
        Dice dice(seed);
        for (std::size_t i = sections.size(); i > 1; --i)
            std::swap(sections[i - 1], sections[dice.below(i)]);
    }
    std::string reordered = text.substr(0, first);
    for (std::string_view section : sections)
        reordered += section;
    reordered += "\r\n";
    std::string out = "\xFF\xFE";
    text::appendUtf16le(out, reordered);
    return out;
}

} // namespace moxalo::bench
