#pragma once
// Quoting for the machine-readable outputs.

#include <string>
#include <string_view>

namespace moxalo::cli {

// A JSON string literal, quotes included; a lone surrogate (see Utf16.h) is written as its
// \u escape.
std::string JsonString(std::string_view text);
// A CSV field, quoted when it holds a comma, a quote or a line break; shown as text::displayText()
// shows it.
std::string CsvField(std::string_view text);
// A field of the TAB-separated text output, shown as text::displayText() shows it: a TAB, CR or LF
// inside it is written as \t, \r or \n, so that each row stays one line of four columns.
std::string TextField(std::string_view text);

} // namespace moxalo::cli
