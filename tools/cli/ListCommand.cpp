// `list`: the catalogue, one line per registered extension as the scan finds it; with
// --effective, what really opens each one beside it.

#include "catalogue/CatalogueScan.h"
#include "catalogue/effective/AssociationTexts.h"
#include "tools/cli/Commands.h"
#include "tools/cli/JsonLines.h"
#include "tools/cli/JsonWriter.h"
#include "tools/cli/Options.h"
#include "tools/cli/TextFormats.h"
#include "tools/cli/UserViewOptions.h"

#include <array>
#include <ostream>

namespace moxalo::cli {

using namespace catalogue;
using effective::Association;

namespace {

class RowPrinter : public ScanListener {
public:
    // `view` is null without --effective.
    // `label` names the source on each line of jsonl.
    RowPrinter(std::ostream& out, std::string format, std::string label, effective::UserView* view)
        : out_(out), json_(out), format_(std::move(format)), label_(std::move(label)), view_(view) {
    }

    void ScanStarted() override {
        if (format_ == "csv") {
            std::string line;
            for (std::size_t c = 0; c < kColumnCount; ++c)
                line += (c ? "," : "") + CsvField(kColumns[c].caption);
            if (view_) {
                // The columns --effective adds, after the list's own, as the window shows them.
                for (const char* caption : effective::kEffectiveCaptions)
                    line += "," + CsvField(caption);
            }
            out_ << line << "\n";
        } else if (format_ == "json") {
            json_.beginArray();
        }
    }

    void RowFound(const CatalogueEntry& row) override {
        Association association = resolve(row);
        if (format_ == "json" || format_ == "jsonl")
            PrintJson(row, association);
        else
            PrintColumns(row, association, format_ == "csv" ? "," : "\t");
    }

    void ScanFinished(long long) override {
        if (format_ == "json") {
            json_.endArray();
            json_.finish();
        }
        out_.flush();
    }

    // What could not be read while resolving.
    std::vector<std::string> problems;

private:
    Association resolve(const CatalogueEntry& row) {
        if (!view_)
            return {};
        Result<Association> resolved = view_->resolve("." + row.Extension);
        if (!resolved) {
            // A registry that cannot be read fails every row alike: told once.
            if (problems.empty() || problems.back() != resolved.error())
                problems.push_back(resolved.error());
            return {};
        }
        return std::move(*resolved);
    }

    std::string field(const std::string& text) const {
        return format_ == "csv" ? CsvField(text) : TextField(text);
    }

    void PrintColumns(const CatalogueEntry& row, const Association& a, const char* separator) {
        std::string line;
        for (std::size_t c = 0; c < kColumnCount; ++c)
            line += (c ? separator : "") + field(CellText(row, static_cast<Column>(c)));
        if (view_) {
            for (const std::string& cell : effective::cellsOf(a).cells)
                line += separator + field(cell);
        }
        line += '\n';
        out_ << line;
    }

    void PrintJson(const CatalogueEntry& row, const Association& a) {
        if (format_ == "jsonl")
            BeginJsonLine(json_, label_, "type");
        else
            json_.beginObject(true);
        json_.member("extension", row.Extension)
            .member("typeName", row.TypeName)
            .member("inOpenWithList", row.InOpenWithList)
            .member("keyPath", row.KeyPath);
        if (view_) {
            json_.member("defaultApp", a.defaultApp)
                .member("progId", a.progId)
                .member("via", effective::viaText(a.via))
                .member("choice", effective::choiceText(a.choice))
                .member("dangling", a.dangling)
                .member("seenByWine", a.seenByWine);
        }
        if (format_ == "jsonl")
            EndJsonLine(json_);
        else
            json_.endObject();
    }

    std::ostream& out_;
    JsonWriter json_;
    std::string format_;
    std::string label_;
    effective::UserView* view_;
};

} // namespace

int runList(const Invocation& inv, std::ostream& out, std::ostream& err) {
    auto parsed = ParseReportArguments(inv.args, "list", {"text", "csv", "json", "jsonl"},
                                       {"--open-with-only", "--effective"});
    if (!parsed)
        return UsageError(err, parsed.error());
    const ParsedOptions& options = parsed->options;
    // One view for the whole list: what it reads once (the user's SID, the roots) serves every
    // extension.
    std::unique_ptr<effective::UserView> view;
    if (options.flags.count("--effective"))
        view = OpenUserView(inv);
    RowPrinter printer(out, parsed->format, ReportLabel(inv, options), view.get());
    Result<ScanOutcome> outcome =
        LoadList(options.flags.count("--open-with-only") ? "1" : "0", printer);
    if (!outcome) {
        err << "moxalo-cli: " << outcome.error() << "\n";
        return 1;
    }
    std::vector<std::string> problems = std::move(outcome->problems);
    problems.insert(problems.end(), printer.problems.begin(), printer.problems.end());
    return ReportProblems(problems, 0, err);
}

} // namespace moxalo::cli
