#pragma once
// Reading one value of an open key as text: the size query, then the data query. Only string
// values (REG_SZ, REG_EXPAND_SZ, unexpanded) give text; every other type reads as nothing.

#include "platform/advapi/StringValue.h"
#include "registry/WinTypes.h"

#include <optional>
#include <string>
#include <string_view>

namespace moxalo::catalogue {

// A value read from the registry: nothing, or a text (which keeps its terminating NUL).
using Variant = std::optional<std::string>;

// Returns 0 with the text in vValue; -1 for a value of another type; otherwise the registry's
// error code. vValue is left empty on any failure.
registry::LONG QueryValueEx(registry::HKEY lhKey, const std::string& szValueName, Variant& vValue);
// The text of a value up to its first NUL; the empty text for nothing.
std::string ValueToText(const Variant& vValue);
using registry::TrimNull;

// The usual pair: QueryValueEx, then ValueToText.
std::string ReadValueText(registry::HKEY lhKey, const std::string& szValueName);

} // namespace moxalo::catalogue
