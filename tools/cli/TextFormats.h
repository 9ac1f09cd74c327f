#pragma once
// Quoting for the machine-readable outputs.

#include <string>
#include <string_view>

namespace moxalo::cli {

// A JSON string literal, quotes included.
std::string JsonString(std::string_view text);
// A CSV field, quoted when it holds a comma, a quote or a line break.
std::string CsvField(std::string_view text);

} // namespace moxalo::cli
