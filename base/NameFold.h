#pragma once
// Registry names compare without regard to case. Folding maps a UTF-8 name to the form used
// for comparing and hashing, as Windows and Wine do whatever the locale: each UTF-16 unit of
// the name is upper-cased by Unicode's simple mapping, so a character beyond U+FFFF (a pair of
// surrogates) keeps its case. Bytes that are not valid UTF-8 are kept as they are. A folded
// name can be shorter than the name: "ı" (U+0131) folds to "I".

#include <cstdint>
#include <string>
#include <string_view>

namespace moxalo::registry {

std::string foldName(std::string_view name);
// Whether the folded forms are equal.
bool sameName(std::string_view a, std::string_view b);
// A hash of the folded form, made without building it when the name is ASCII: names that are
// the same by sameName() hash alike.
std::size_t hashName(std::string_view name);
// Negative, zero or positive, comparing the folded forms byte by byte.
int compareNames(std::string_view a, std::string_view b);
// The first eight bytes of the folded form as one number (a shorter form padded with zeros):
// names whose numbers differ compare as the numbers do, so that sorting compares whole names
// only where these agree.
std::uint64_t foldedPrefix(std::string_view name);

// For hashed containers keyed by names: looked up with any spelling, and without a copy.
struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return hashName(name); }
};
struct SameName {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return sameName(a, b); }
};

} // namespace moxalo::registry
