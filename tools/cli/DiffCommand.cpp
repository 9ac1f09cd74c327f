// `diff`: what differs between the chosen registry and a second one (--registry-b), type by
// type, as `diff` tells two files apart: status 0 when nothing does, 3 when something does.

#include "base/Utf16.h"
#include "catalogue/diff/RegistryDiff.h"
#include "runtime/ProgramFolder.h"
#include "tools/cli/Commands.h"
#include "tools/cli/JsonLines.h"
#include "tools/cli/JsonWriter.h"
#include "tools/cli/TextFormats.h"
#include "tools/cli/UserViewOptions.h"

#include <cstdlib>
#include <optional>
#include <ostream>

namespace moxalo::cli {

using namespace catalogue::diff;

namespace {

constexpr int kDifferent = 3;
constexpr const char* kRegistryB = "--registry-b";

// The arguments without --registry-b, which may be given more than once; its sources go to
// `sources`, in order.
Result<std::vector<std::string>> takeRegistryB(const std::vector<std::string>& args,
                                               std::vector<std::string>& sources) {
    std::vector<std::string> rest;
    const std::string withValue = std::string(kRegistryB) + "=";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool joined = arg.starts_with(withValue);
        if (arg != kRegistryB && !joined) {
            rest.push_back(arg);
            continue;
        }
        std::string source = joined                ? arg.substr(withValue.size())
                             : i + 1 < args.size() ? args[++i]
                                                   : std::string();
        if (source.empty())
            return fail(std::string(kRegistryB) + " needs a SOURCE");
        sources.push_back(std::move(source));
    }
    if (sources.empty())
        return fail("diff needs the registry to compare with: --registry-b SOURCE");
    return rest;
}

struct DiffArguments {
    std::vector<std::string> sourcesB;
    std::string format;
    std::optional<std::string> label;
};

Result<DiffArguments> parseDiffArguments(const std::vector<std::string>& args) {
    DiffArguments parsed;
    auto rest = takeRegistryB(args, parsed.sourcesB);
    if (!rest)
        return fail(rest.error());
    auto options = ParseOptions(*rest, {}, {"--format", "--label"});
    if (!options)
        return fail(options.error());
    Result<std::string> format = ChosenFormat(*options, {"text", "csv", "json", "jsonl"});
    if (!format)
        return fail(format.error());
    if (!options->positional.empty())
        return fail("diff takes no arguments but its options");
    parsed.format = *format;
    if (auto label = options->values.find("--label"); label != options->values.end())
        parsed.label = label->second;
    return parsed;
}

int readError(std::ostream& err, const std::string& message) {
    err << "moxalo-cli: " << message << "\n";
    return 1;
}

// The second registry, opened as the first was: the same code page, user and SID.
Result<runtime::ChosenRegistry> openRegistryB(const Invocation& inv,
                                              std::vector<std::string> sources, std::ostream& err) {
    runtime::SourceOptions options = inv.sources;
    options.registries = std::move(sources);
    auto chosen = runtime::openChosenRegistry(options, std::getenv, runtime::programFolder());
    if (chosen) {
        for (const auto& warning : chosen->warnings)
            err << "moxalo-cli: warning: " << text::displayText(warning) << "\n";
    }
    return chosen;
}

Result<Snapshot> snapshotOf(const runtime::ChosenRegistry& chosen) {
    catalogue::effective::UserView view(*chosen.registry, chosen.choice.sid);
    return takeSnapshot(*chosen.registry, view);
}

std::string sourcesOf(const runtime::ChosenRegistry& chosen) {
    std::string label;
    for (const auto& source : chosen.sources)
        label += (label.empty() ? "" : " + ") + source.path;
    return label;
}

std::string shown(const std::string& value) {
    return value.empty() ? "(none)" : TextField(value);
}

std::string aspectName(const Change& change) {
    return change.aspect ? std::string(aspectText(*change.aspect)) : std::string();
}

void printText(const std::vector<Change>& changes, std::ostream& out) {
    for (const Change& c : changes) {
        std::string type = TextField(c.type);
        if (c.kind == ChangeKind::Added)
            out << "+ " << type << " added"
                << (c.after.empty() ? "" : " (" + TextField(c.after) + ")");
        else if (c.kind == ChangeKind::Removed)
            out << "- " << type << " removed"
                << (c.before.empty() ? "" : " (" + TextField(c.before) + ")");
        else
            out << "~ " << type << " " << aspectName(c) << ": " << shown(c.before) << " -> "
                << shown(c.after);
        out << "\n";
    }
}

void printCsv(const std::vector<Change>& changes, std::ostream& out) {
    out << "Change,Type,Aspect,Before,After\n";
    for (const Change& c : changes)
        out << changeKindText(c.kind) << "," << CsvField(c.type) << "," << CsvField(aspectName(c))
            << "," << CsvField(c.before) << "," << CsvField(c.after) << "\n";
}

void writeMembers(JsonWriter& json, const Change& c) {
    json.member("change", changeKindText(c.kind))
        .member("type", c.type)
        .member("aspect", aspectName(c))
        .member("before", c.before)
        .member("after", c.after);
}

void printJson(const std::vector<Change>& changes, const std::string& format,
               const std::string& label, std::ostream& out) {
    JsonWriter json(out);
    if (format == "jsonl") {
        for (const Change& c : changes) {
            writeMembers(BeginJsonLine(json, label, "change"), c);
            EndJsonLine(json);
        }
        return;
    }
    json.beginArray();
    for (const Change& c : changes) {
        json.beginObject(true);
        writeMembers(json, c);
        json.endObject();
    }
    json.endArray();
    json.finish();
}

} // namespace

int runDiff(const Invocation& inv, std::ostream& out, std::ostream& err) {
    Result<DiffArguments> args = parseDiffArguments(inv.args);
    if (!args)
        return UsageError(err, args.error());
    auto chosenB = openRegistryB(inv, args->sourcesB, err);
    if (!chosenB)
        return readError(err, chosenB.error());
    Result<Snapshot> before = snapshotOf(inv.chosen);
    if (!before)
        return readError(err, before.error());
    Result<Snapshot> after = snapshotOf(*chosenB);
    if (!after)
        return readError(err, after.error());
    std::vector<Change> changes = compareSnapshots(*before, *after);
    if (args->format == "text")
        printText(changes, out);
    else if (args->format == "csv")
        printCsv(changes, out);
    else
        printJson(changes, args->format,
                  args->label.value_or(sourcesOf(inv.chosen) + " -> " + sourcesOf(*chosenB)), out);
    out.flush();
    return changes.empty() ? 0 : kDifferent;
}

} // namespace moxalo::cli
