#pragma once
// Reading a string value of an open key: one query, into a buffer most texts fit, and a second
// with the size the first gave when the text is longer.

#include "registry/WinTypes.h"

#include <optional>
#include <string>
#include <string_view>

namespace moxalo::registry {

// Returns 0 with the text (its terminating NUL kept) for a REG_SZ or REG_EXPAND_SZ value,
// unexpanded; -1 for a value of another type; otherwise the registry's error code. `text` is
// left empty on any failure.
LONG QueryStringValue(HKEY key, const std::string& name, std::optional<std::string>& text);

// The text of the string value `name` of an open key, up to its first NUL; empty for a value
// of another type, or none.
std::string StringValueText(HKEY key, const std::string& name);

// The characters of `text` before its first NUL: names and values come back from the registry
// functions in buffers that may hold more after it.
std::string TrimNull(std::string_view text);

} // namespace moxalo::registry
