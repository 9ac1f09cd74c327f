#include "registry/UnnameableKey.h"

namespace moxalo::registry {

namespace {

constexpr std::string_view kUnnameable("\\\0", 2);

} // namespace

// Every name a store lists is looked at: two searches for one byte each beat one for either.
std::string_view unnameableBecause(std::string_view name) {
    if (name.find('\\') != std::string_view::npos)
        return "holds a backslash, which no key's name can";
    if (name.find('\0') != std::string_view::npos)
        return "holds a NUL character, which no key's name can";
    return {};
}

std::string standInName(std::string_view name) {
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD
    std::string out;
    for (char c : name) {
        if (kUnnameable.find(c) != std::string_view::npos)
            out += kReplacement;
        else
            out += c;
    }
    return out;
}

std::string unnameableReport(std::string_view name) {
    return "its name " + std::string(unnameableBecause(name)) + "; the key is listed as \"" +
           standInName(name) + "\", which names no key";
}

} // namespace moxalo::registry
