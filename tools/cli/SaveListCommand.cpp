// `save-list [--extended] FILE`: the list files, written by the same code as the window's.

#include "catalogue/CatalogueScan.h"
#include "catalogue/ListFile.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Options.h"

#include <ostream>
#include <unistd.h>

namespace moxalo::cli {

using namespace catalogue;

namespace {

struct RowCollector : ScanListener {
    std::vector<CatalogueEntry> rows;
    void RowFound(const CatalogueEntry& row) override { rows.push_back(row); }
};

// A bar on the terminal while the extended list is written; nothing when stderr is piped.
class TerminalProgress : public ListSaveListener {
public:
    TerminalProgress(std::ostream& err, std::size_t total, bool shown)
        : err_(err), total_(total), shown_(shown) {}

    void Progress(int) override {
        ++done_;
        if (!shown_ || (done_ % 50 != 0 && done_ != total_))
            return;
        constexpr std::size_t kWidth = 40;
        std::size_t filled = total_ ? done_ * kWidth / total_ : kWidth;
        err_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] "
             << done_ << "/" << total_ << std::flush;
    }

    void SaveFinished(long long) override {
        if (shown_ && total_ > 0)
            err_ << "\n";
    }

private:
    std::ostream& err_;
    std::size_t total_;
    std::size_t done_ = 0;
    bool shown_;
};

} // namespace

int runSaveList(const Invocation& inv, std::ostream& out, std::ostream& err) {
    auto options = ParseOptions(inv.args, {"--extended", "--open-with-only"}, {});
    if (!options)
        return UsageError(err, options.error());
    if (options->positional.size() != 1)
        return UsageError(err, "save-list takes one FILE");
    const std::string& path = options->positional[0];
    RowCollector collector;
    Result<ScanOutcome> outcome =
        LoadList(options->flags.count("--open-with-only") ? "1" : "0", collector);
    if (!outcome) {
        err << "moxalo-cli: " << outcome.error() << "\n";
        return 1;
    }
    Result<> written;
    if (options->flags.count("--extended")) {
        TerminalProgress progress(err, collector.rows.size(), isatty(STDERR_FILENO) == 1);
        written = Export_List_Extended(collector.rows, path, progress);
    } else {
        written = Export_List(collector.rows, path);
    }
    if (!written) {
        err << "moxalo-cli: " << written.error() << "\n";
        return ReportProblems(outcome->problems, 1, err);
    }
    out << ExportCompleteText(path) << "\n";
    return ReportProblems(outcome->problems, 0, err);
}

} // namespace moxalo::cli
