#include "platform/registry/NameFold.h"

namespace moxalo::registry {

namespace {

// UTF-8 for U+00E0..U+00FE is C3 A0..C3 BE; the upper-case letters sit 0x20 lower, except
// that U+00F7 (division sign) has no case. Folding keeps the length of the text.
void foldInPlace(std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c >= 'a' && c <= 'z') {
            text[i] = static_cast<char>(c - 0x20);
        } else if (c == 0xC3 && i + 1 < text.size()) {
            auto d = static_cast<unsigned char>(text[++i]);
            if (d >= 0xA0 && d <= 0xBE && d != 0xB7)
                text[i] = static_cast<char>(d - 0x20);
        }
    }
}

} // namespace

std::string foldName(std::string_view name) {
    std::string out(name);
    foldInPlace(out);
    return out;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && foldName(a) == foldName(b);
}

int compareNames(std::string_view a, std::string_view b) {
    return foldName(a).compare(foldName(b));
}

} // namespace moxalo::registry
