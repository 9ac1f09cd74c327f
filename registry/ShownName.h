#pragma once
// How messages show a name that may hold anything a registry file can: a line break, a NUL, a
// backslash within the name, half of a surrogate pair. The text stays on one line, is valid
// UTF-8, and tells which character is there.

#include <string>
#include <string_view>

namespace moxalo::registry {

// `name` with "\" written "\\"; CR, LF, TAB and NUL as "\r", "\n", "\t" and "\0"; any other
// control character, and a byte that is not UTF-8, as "\xHH"; a lone surrogate as "\uD800".
std::string shownName(std::string_view name);
// A "\"-separated path of such names: the same, but the separators stay as they are.
std::string shownPath(std::string_view path);

} // namespace moxalo::registry
