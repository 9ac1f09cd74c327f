#pragma once
// The list files: the plain list (a header, an empty line and the row's data line, for every
// row) and the extended list (each record also carries the extension's details block).
// Text is UTF-8 without a byte-order mark; every line ends in CR LF.

#include "base/Result.h"
#include "catalogue/CatalogueEntry.h"

#include <string>
#include <vector>

namespace moxalo::catalogue {

std::string DataLine(const CatalogueEntry& row);
std::string PlainRecord(const CatalogueEntry& row);
// Header, CR LF, CR LF, data line, CR LF, star line: what stands before the details block.
std::string ExtendedRecordHead(const CatalogueEntry& row);
std::string ExtendedRecord(const CatalogueEntry& row, const std::string& detailsBlock);

// What the extended save shows while it runs; the window drives its pointer, bar and caption
// from these, the command line its progress bar.
class ListSaveListener {
public:
    virtual ~ListSaveListener() = default;
    virtual void SaveStarted() {}
    virtual void Progress(int /*value*/) {}
    virtual void Caption(const std::string& /*caption*/) {}
    virtual void DoEvents() {}
    virtual void SaveFinished(long long /*rows*/) {}
};

// Both write the whole file or nothing: the text goes to a temporary file renamed over `path`.
// They fail with a message naming the file and the reason when it cannot be written.
Result<> Export_List(const std::vector<CatalogueEntry>& rows, const std::string& path);
Result<> Export_List_Extended(const std::vector<CatalogueEntry>& rows, const std::string& path,
                              ListSaveListener& listener);

// "Export complete, file saved as: " followed by the path.
std::string ExportCompleteText(const std::string& path);

} // namespace moxalo::catalogue
