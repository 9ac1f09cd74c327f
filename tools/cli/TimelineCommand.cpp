// `timeline`: the association keys by when they were last written, the newest first.

#include "base/Utf16.h"
#include "catalogue/timeline/KeyTimeline.h"
#include "tools/cli/Commands.h"
#include "tools/cli/JsonLines.h"
#include "tools/cli/JsonWriter.h"
#include "tools/cli/TextFormats.h"
#include "tools/cli/TextTable.h"
#include "tools/cli/UserViewOptions.h"

#include <ostream>

namespace moxalo::cli {

using namespace catalogue::timeline;

namespace {

std::string untimedNote(const Timeline::Untimed& source) {
    if (source.timed == 0)
        return source.source + " keeps no key times (a .reg file keeps none): its keys are "
                               "listed last, without a time";
    return source.source + " keeps no time for " + std::to_string(source.untimed) + " of its " +
           std::to_string(source.untimed + source.timed) +
           " keys listed (Wine writes none for a key without values): they are listed last, "
           "without a time";
}

std::string writtenText(const KeyTime& key) {
    return key.written ? isoTime(*key.written) : std::string();
}

void printText(const Timeline& timeline, std::ostream& out) {
    for (const auto& source : timeline.untimedSources)
        out << "Note: " << text::displayText(untimedNote(source)) << ".\n";
    TextTable table({"Written (UTC)", "Key", "Types", "Source"});
    for (const KeyTime& key : timeline.keys)
        table.add(
            {key.written ? isoTime(*key.written) : "(no time)", key.key, key.types, key.source});
    table.print(out);
}

void printCsv(const Timeline& timeline, std::ostream& out) {
    out << "Written (UTC),Key,Types,Source\n";
    for (const KeyTime& key : timeline.keys)
        out << writtenText(key) << "," << CsvField(key.key) << "," << CsvField(key.types) << ","
            << CsvField(key.source) << "\n";
}

void writeMembers(JsonWriter& json, const KeyTime& key) {
    json.member("written", writtenText(key))
        .member("key", key.key)
        .member("types", key.types)
        .member("source", key.source);
}

void printJson(const Timeline& timeline, std::ostream& out) {
    JsonWriter json(out);
    json.beginObject();
    json.key("untimedSources").beginArray();
    for (const auto& source : timeline.untimedSources) {
        json.beginObject(true)
            .member("source", source.source)
            .member("untimed", static_cast<std::int64_t>(source.untimed))
            .member("timed", static_cast<std::int64_t>(source.timed))
            .member("note", untimedNote(source));
        json.endObject();
    }
    json.endArray();
    json.key("keys").beginArray();
    for (const KeyTime& key : timeline.keys) {
        json.beginObject(true);
        writeMembers(json, key);
        json.endObject();
    }
    json.endArray();
    json.endObject();
    json.finish();
}

void printJsonLines(const Timeline& timeline, const std::string& label, std::ostream& out) {
    JsonWriter json(out);
    for (const auto& source : timeline.untimedSources) {
        BeginJsonLine(json, label, "note")
            .member("source", source.source)
            .member("text", untimedNote(source));
        EndJsonLine(json);
    }
    for (const KeyTime& key : timeline.keys) {
        writeMembers(BeginJsonLine(json, label, "key"), key);
        EndJsonLine(json);
    }
}

} // namespace

int runTimeline(const Invocation& inv, std::ostream& out, std::ostream& err) {
    auto parsed = ParseReportArguments(inv.args, "timeline", {"text", "csv", "json", "jsonl"});
    if (!parsed)
        return UsageError(err, parsed.error());
    const std::string& format = parsed->format;
    Result<Timeline> timeline = buildTimeline(*inv.chosen.registry, inv.chosen.choice.sid);
    if (!timeline) {
        err << "moxalo-cli: " << timeline.error() << "\n";
        return 1;
    }
    for (const auto& source : timeline->untimedSources)
        err << "moxalo-cli: " << text::displayText(untimedNote(source)) << "\n";
    if (format == "text")
        printText(*timeline, out);
    else if (format == "csv")
        printCsv(*timeline, out);
    else if (format == "json")
        printJson(*timeline, out);
    else
        printJsonLines(*timeline, ReportLabel(inv, parsed->options), out);
    out.flush();
    return 0;
}

} // namespace moxalo::cli
