#pragma once
// The catalogue scan: every subkey of HKEY_CLASSES_ROOT whose name begins with "." is a
// registered extension and gives one row, handed out as soon as it is found.

#include "base/Result.h"
#include "catalogue/CatalogueEntry.h"
#include "platform/shell/ShellInfo.h"

#include <optional>
#include <string>
#include <vector>

namespace moxalo::catalogue {

// The one who shows the scan: the file list window, or the command line. The scan calls these
// in its own order; each has nothing to do by default.
class ScanListener {
public:
    virtual ~ScanListener() = default;
    // The list is emptied and disabled, the pointer busy, the bar shown at 0.
    virtual void ScanStarted() {}
    virtual void Progress(int /*value*/) {}
    virtual void RowFound(const CatalogueEntry& row) = 0;
    // Let queued window events run once.
    virtual void DoEvents() {}
    // Rows coloured, bar hidden at 0, list enabled, caption the count text, pointer normal.
    virtual void ScanFinished(long long /*rows*/) {}
    // "Error: 13 - Type mismatch": the scan ends here, with the rows so far left in place.
    virtual void ScanFailed(const std::string& /*message*/) {}
};

struct ScanOutcome {
    long long rows = 0;
    long long extensionKeysSeen = 0;
    // What could not be read of the registry during the scan (damaged keys and values): the
    // rows hold what could.
    std::vector<std::string> problems;
};

// `openWithSetting` is the text of the OpenWith setting ("0" when none is stored): a number
// other than 0 lists only extensions that have an Open-With list. A setting that is no number
// fails the scan before it starts, with the error the listener is told.
Result<ScanOutcome> LoadList(const std::string& openWithSetting, ScanListener& listener);

// The type name the scan gives the subkey `dottedName` (".txt"): what the shell leaves in the
// record after being asked twice, for the large and the small icon.
std::string ShellTypeName(const char* dottedName, shell::SHFILEINFOA& record);
std::string ShellTypeName(const std::string& dottedName);

} // namespace moxalo::catalogue
