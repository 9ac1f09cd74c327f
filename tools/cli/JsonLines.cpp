#include "tools/cli/JsonLines.h"

namespace moxalo::cli {

std::string ReportLabel(const Invocation& inv, const ParsedOptions& options) {
    if (auto given = options.values.find("--label"); given != options.values.end())
        return given->second;
    std::string label;
    for (const auto& source : inv.chosen.sources)
        label += (label.empty() ? "" : " + ") + source.path;
    return label;
}

JsonWriter& BeginJsonLine(JsonWriter& json, const std::string& label, std::string_view record) {
    return json.beginObject(true).member("label", label).member("record", record);
}

void EndJsonLine(JsonWriter& json) {
    json.endObject();
    json.endLine();
}

} // namespace moxalo::cli
