// `audit`: the signs that a file association was hijacked, each with its severity, its key and
// value and why it matters; the findings a known program explains are counted, and listed with
// their reason under --show-allowed. The status tells a script whether anything at or above
// --min-severity (low unless given) is left: 3 when so, 0 when not.

#include "catalogue/KeyTime.h"
#include "catalogue/audit/Audit.h"
#include "catalogue/audit/Rules.h"
#include "tools/cli/JsonLines.h"
#include "tools/cli/TextFormats.h"
#include "tools/cli/UserViewOptions.h"

#include <map>
#include <ostream>

namespace moxalo::cli {

using namespace catalogue::audit;

namespace {

constexpr int kFindingsLeft = 3;

struct AuditOptions {
    std::string format;
    std::string label;
    Severity threshold = Severity::Low;
    bool showAllowed = false;
    std::string allowFile; // "" when none is given
};

std::string writtenText(const Finding& f) {
    return f.lastWritten ? catalogue::isoTime(*f.lastWritten) : "";
}

// "HIGH", as the text report heads each finding.
std::string loud(Severity severity) {
    std::string word(severityText(severity));
    for (char& c : word)
        c = static_cast<char>(c - 'a' + 'A');
    return word;
}

void printText(const std::vector<const Finding*>& listed, const AuditReport& report,
               std::size_t allowedUnlisted, std::ostream& out) {
    std::size_t allowed = allowedUnlisted;
    for (const Finding* f : listed) {
        out << loud(f->severity) << "  " << f->rule << (f->type.empty() ? "" : "  ")
            << TextField(f->type) << "\n"
            << "  key:     " << TextField(f->key) << "\n"
            << "  value:   " << (f->valueName.empty() ? "(default)" : TextField(f->valueName))
            << " = " << TextField(f->value) << "\n"
            << "  why:     " << f->why << "\n";
        if (f->lastWritten)
            out << "  written: " << writtenText(*f)
                << (f->cluster ? " (with the others of cluster " + std::to_string(f->cluster) + ")"
                               : "")
                << "\n";
        if (!f->allowedBy.empty())
            out << "  allowed: " << f->allowedBy << "\n";
        out << "\n";
    }
    std::map<Severity, int> counts;
    for (const Finding* f : listed)
        f->allowedBy.empty() ? ++counts[f->severity] : ++allowed;
    out << "Findings:";
    for (Severity s : {Severity::High, Severity::Medium, Severity::Low, Severity::Info})
        out << " " << counts[s] << " " << severityText(s) << (s == Severity::Info ? "" : ",");
    out << "\n";
    if (allowed > 0)
        out << "Allowed: " << allowed << ", which known programs explain"
            << (allowedUnlisted > 0 ? " (--show-allowed lists them with the reason)" : "") << "\n";
    if (!report.keyTimes)
        out << "Key times: none in these sources (a .reg file): UserChoice hashes cannot be "
               "checked, nor keys written together grouped\n";
}

void findingMembers(JsonWriter& json, const Finding& f) {
    json.member("severity", severityText(f.severity))
        .member("rule", f.rule)
        .member("type", f.type)
        .member("key", f.key)
        .member("valueName", f.valueName)
        .member("value", f.value)
        .member("why", f.why)
        .member("lastWritten", writtenText(f))
        .member("cluster", std::int64_t{f.cluster})
        .member("allowedBy", f.allowedBy);
}

void printJson(const std::vector<const Finding*>& listed, const AuditReport& report,
               std::ostream& out) {
    JsonWriter json(out);
    json.beginObject().member("keyTimes", report.keyTimes).key("findings").beginArray();
    for (const Finding* f : listed) {
        json.beginObject(true);
        findingMembers(json, *f);
        json.endObject();
    }
    json.endArray().endObject().finish();
}

void printJsonLines(const std::vector<const Finding*>& listed, const std::string& label,
                    std::ostream& out) {
    JsonWriter json(out);
    for (const Finding* f : listed) {
        BeginJsonLine(json, label, "finding");
        findingMembers(json, *f);
        EndJsonLine(json);
    }
}

void printCsv(const std::vector<const Finding*>& listed, std::ostream& out) {
    out << "severity,rule,type,key,valueName,value,why,lastWritten,cluster,allowedBy\n";
    for (const Finding* f : listed)
        out << severityText(f->severity) << "," << CsvField(f->rule) << "," << CsvField(f->type)
            << "," << CsvField(f->key) << "," << CsvField(f->valueName) << "," << CsvField(f->value)
            << "," << CsvField(f->why) << "," << writtenText(*f) << "," << f->cluster << ","
            << CsvField(f->allowedBy) << "\n";
}

std::string_view sarifLevel(Severity severity) {
    switch (severity) {
    case Severity::High:
        return "error";
    case Severity::Medium:
        return "warning";
    case Severity::Low:
    case Severity::Info:
        break;
    }
    return "note";
}

void printSarif(const std::vector<const Finding*>& listed, std::ostream& out) {
    JsonWriter json(out);
    json.beginObject()
        .member("$schema", "https://json.schemastore.org/sarif-2.1.0.json")
        .member("version", "2.1.0")
        .key("runs")
        .beginArray()
        .beginObject()
        .key("tool")
        .beginObject()
        .key("driver")
        .beginObject()
        .member("name", "moxalo")
        .member("version", MOXALO_VERSION)
        .key("rules")
        .beginArray();
    for (const RuleText& rule : auditRules()) {
        json.beginObject(true)
            .member("id", rule.id)
            .key("shortDescription")
            .beginObject()
            .member("text", rule.summary)
            .endObject()
            .key("help")
            .beginObject()
            .member("text", rule.help)
            .endObject()
            .endObject();
    }
    json.endArray().endObject().endObject().key("results").beginArray();
    for (const Finding* f : listed) {
        json.beginObject()
            .member("ruleId", f->rule)
            .member("level", sarifLevel(f->severity))
            .key("message")
            .beginObject(true)
            .member("text", f->why)
            .endObject()
            .key("locations")
            .beginArray()
            .beginObject(true)
            .key("logicalLocations")
            .beginArray()
            .beginObject()
            .member("fullyQualifiedName", f->key)
            .member("kind", "object")
            .endObject()
            .endArray()
            .endObject()
            .endArray()
            .key("properties")
            .beginObject(true)
            .member("severity", severityText(f->severity))
            .member("type", f->type)
            .member("valueName", f->valueName)
            .member("value", f->value)
            .member("lastWritten", writtenText(*f))
            .member("cluster", std::int64_t{f->cluster})
            .endObject();
        if (!f->allowedBy.empty()) {
            json.key("suppressions")
                .beginArray()
                .beginObject(true)
                .member("kind", "external")
                .member("justification", f->allowedBy)
                .endObject()
                .endArray();
        }
        json.endObject();
    }
    json.endArray().endObject().endArray().endObject().finish();
}

Result<AuditOptions> parseAuditOptions(const Invocation& inv) {
    auto parsed = ParseReportArguments(inv.args, "audit", {"text", "json", "csv", "sarif", "jsonl"},
                                       {"--show-allowed"}, {"--allow", "--min-severity"});
    if (!parsed)
        return fail(parsed.error());
    const ParsedOptions& options = parsed->options;
    AuditOptions chosen{parsed->format, ReportLabel(inv, options), Severity::Low,
                        options.flags.count("--show-allowed") > 0, ""};
    if (auto given = options.values.find("--min-severity"); given != options.values.end()) {
        auto severity = severityFrom(given->second);
        if (!severity)
            return fail("--min-severity takes info, low, medium or high");
        chosen.threshold = *severity;
    }
    if (auto file = options.values.find("--allow"); file != options.values.end())
        chosen.allowFile = file->second;
    return chosen;
}

} // namespace

int runAudit(const Invocation& inv, std::ostream& out, std::ostream& err) {
    Result<AuditOptions> options = parseAuditOptions(inv);
    if (!options)
        return UsageError(err, options.error());
    AllowList allow = AllowList::defaults();
    if (!options->allowFile.empty()) {
        if (Result<void> added = allow.addFile(options->allowFile); !added) {
            err << "moxalo-cli: " << added.error() << "\n";
            return 1;
        }
    }
    auto view = OpenUserView(inv);
    Result<AuditReport> report = catalogue::audit::runAudit(*view, allow);
    if (!report) {
        err << "moxalo-cli: " << report.error() << "\n";
        return 1;
    }
    std::vector<const Finding*> listed;
    std::size_t allowedUnlisted = 0;
    bool left = false;
    for (const Finding& f : report->findings) {
        if (f.severity < options->threshold)
            continue;
        left |= f.allowedBy.empty();
        if (f.allowedBy.empty() || options->showAllowed)
            listed.push_back(&f);
        else
            ++allowedUnlisted;
    }
    if (options->format == "json")
        printJson(listed, *report, out);
    else if (options->format == "jsonl")
        printJsonLines(listed, options->label, out);
    else if (options->format == "csv")
        printCsv(listed, out);
    else if (options->format == "sarif")
        printSarif(listed, out);
    else
        printText(listed, *report, allowedUnlisted, out);
    return left ? kFindingsLeft : 0;
}

} // namespace moxalo::cli
