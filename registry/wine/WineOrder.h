#pragma once
// The order in which wineserver keeps (and so writes) subkeys and values: by their names
// compared unit by unit in lower case, a shorter name before a longer one it begins. Windows
// compares in upper case instead, which puts "_" after the letters rather than before them.

#include <string>
#include <string_view>

namespace moxalo::registry {

// A name's form for that comparison; compare two of them with <. The lower-case mapping
// covers ASCII, Latin-1, Greek and Cyrillic capitals, where registry names have them.
std::u16string wineSortKey(std::string_view name);

} // namespace moxalo::registry
