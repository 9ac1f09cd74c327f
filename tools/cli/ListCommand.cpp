// `list`: the catalogue, one line per registered extension as the scan finds it.

#include "catalogue/CatalogueScan.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Options.h"
#include "tools/cli/TextFormats.h"

#include <ostream>

namespace moxalo::cli {

using namespace catalogue;

namespace {

class RowPrinter : public ScanListener {
public:
    RowPrinter(std::ostream& out, std::string format) : out_(out), format_(std::move(format)) {}

    void ScanStarted() override {
        if (format_ == "csv") {
            for (std::size_t c = 0; c < kColumnCount; ++c)
                out_ << (c ? "," : "") << CsvField(kColumns[c].caption);
            out_ << "\n";
        } else if (format_ == "json") {
            out_ << "[";
        }
    }

    void RowFound(const CatalogueEntry& row) override {
        if (format_ == "json")
            PrintJson(row);
        else
            PrintColumns(row, format_ == "csv" ? "," : "\t");
        ++rows_;
    }

    void ScanFinished(long long) override {
        if (format_ == "json")
            out_ << (rows_ ? "\n]\n" : "]\n");
        out_.flush();
    }

private:
    void PrintColumns(const CatalogueEntry& row, const char* separator) {
        std::string line;
        for (std::size_t c = 0; c < kColumnCount; ++c) {
            const std::string& text = CellText(row, static_cast<Column>(c));
            line += c ? separator : "";
            line += format_ == "csv" ? CsvField(text) : TextField(text);
        }
        line += '\n';
        out_ << line;
    }

    void PrintJson(const CatalogueEntry& row) {
        out_ << (rows_ ? ",\n" : "\n") << "  {\"extension\": " << JsonString(row.Extension)
             << ", \"typeName\": " << JsonString(row.TypeName)
             << ", \"inOpenWithList\": " << JsonString(row.InOpenWithList)
             << ", \"keyPath\": " << JsonString(row.KeyPath) << "}";
    }

    std::ostream& out_;
    std::string format_;
    long long rows_ = 0;
};

} // namespace

int runList(const Invocation& inv, std::ostream& out, std::ostream& err) {
    auto options = ParseOptions(inv.args, {"--open-with-only"}, {"--format"});
    if (!options)
        return UsageError(err, options.error());
    std::string format = options->values.count("--format") ? options->values["--format"] : "text";
    if (format != "text" && format != "csv" && format != "json")
        return UsageError(err, "--format takes text, csv or json");
    if (!options->positional.empty())
        return UsageError(err, "list takes no arguments");
    RowPrinter printer(out, format);
    Result<ScanOutcome> outcome =
        LoadList(options->flags.count("--open-with-only") ? "1" : "0", printer);
    if (!outcome) {
        err << "moxalo-cli: " << outcome.error() << "\n";
        return 1;
    }
    return ReportProblems(outcome->problems, 0, err);
}

} // namespace moxalo::cli
