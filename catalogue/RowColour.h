#pragma once
// Rows of extensions with an Open-With list are drawn in blue, all others in black.

#include <cstdint>
#include <string_view>

namespace moxalo::catalogue {

// A Windows colour value, 0x00BBGGRR.
using ColourRef = std::uint32_t;
inline constexpr ColourRef kOpenWithColour = 0xFF0000;
inline constexpr ColourRef kPlainColour = 0;

// With the effective columns shown, a row whose user choice Windows would not honour (its hash
// fails, its ProgID dangles) is drawn on light red, which both text colours read on.
inline constexpr ColourRef kSuspectBackColour = 0xD0D0FF;

// Only the exact text "Yes" counts; "yes" or "YES" are black.
constexpr ColourRef RowColour(std::string_view inOpenWithList) {
    return inOpenWithList == "Yes" ? kOpenWithColour : kPlainColour;
}

} // namespace moxalo::catalogue
