#pragma once
// --format jsonl: one JSON object per line, for reports gathered from many machines and read
// together with jq or sqlite3. Every line begins with the same two members, "label" (the machine
// or source it came from) and "record" (what the line is: "type", "finding", "change", "key"),
// then the record's own, as the command's --format json names them. Lines are written as they
// are found, and a line never spans two.

#include "tools/cli/Commands.h"
#include "tools/cli/JsonWriter.h"
#include "tools/cli/Options.h"

#include <string>
#include <string_view>

namespace moxalo::cli {

// The --label given, else the sources' paths as chosen, joined by " + ".
std::string ReportLabel(const Invocation& inv, const ParsedOptions& options);

// Starts a line's object with its label and record; the caller adds members, then ends it with
// EndJsonLine.
JsonWriter& BeginJsonLine(JsonWriter& json, const std::string& label, std::string_view record);
void EndJsonLine(JsonWriter& json);

} // namespace moxalo::cli
