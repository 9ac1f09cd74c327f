#include "NameFold.h"

namespace moxalo::registry {

namespace {

// UTF-8 for U+00E0..U+00FE is C3 A0..C3 BE; the upper-case letters sit 0x20 lower, except
// that U+00F7 (division sign) has no case.
void foldInto(std::string& out, std::string_view name) {
    out.reserve(out.size() + name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        auto c = static_cast<unsigned char>(name[i]);
        if (c >= 'a' && c <= 'z') {
            out.push_back(static_cast<char>(c - 0x20));
        } else if (c == 0xC3 && i + 1 < name.size()) {
            auto d = static_cast<unsigned char>(name[i + 1]);
            out.push_back(static_cast<char>(c));
            out.push_back(static_cast<char>((d >= 0xA0 && d <= 0xBE && d != 0xB7) ? d - 0x20 : d));
            ++i;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
}

} // namespace

std::string foldName(std::string_view name) {
    std::string out;
    foldInto(out, name);
    return out;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && foldName(a) == foldName(b);
}

int compareNames(std::string_view a, std::string_view b) {
    return foldName(a).compare(foldName(b));
}

} // namespace moxalo::registry
