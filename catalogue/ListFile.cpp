#include "catalogue/ListFile.h"

#include "base/AtomicFile.h"
#include "base/Utf16.h"
#include "catalogue/AppTexts.h"
#include "catalogue/DetailsReport.h"
#include "catalogue/Progress.h"

namespace moxalo::catalogue {

std::string DataLine(const CatalogueEntry& row) {
    return row.Extension + "\t" + row.TypeName + "\t" + row.InOpenWithList + "\t" + row.KeyPath;
}

std::string PlainRecord(const CatalogueEntry& row) {
    std::string crlf(kCrLf);
    return std::string(kListHeader) + crlf + crlf + DataLine(row) + crlf;
}

std::string ExtendedRecordHead(const CatalogueEntry& row) {
    std::string crlf(kCrLf);
    return std::string(kListHeader) + crlf + crlf + DataLine(row) + crlf + std::string(kStarLine);
}

std::string ExtendedRecord(const CatalogueEntry& row, const std::string& detailsBlock) {
    std::string crlf(kCrLf);
    return ExtendedRecordHead(row) + crlf + detailsBlock + crlf + std::string(kStarLine) + crlf;
}

Result<> Export_List(const std::vector<CatalogueEntry>& rows, const std::string& path) {
    std::string text;
    for (const auto& row : rows)
        text += PlainRecord(row);
    return fs::writeFileAtomically(path, text::intoDisplayText(std::move(text)));
}

Result<> Export_List_Extended(const std::vector<CatalogueEntry>& rows, const std::string& path,
                              ListSaveListener& listener) {
    listener.SaveStarted();
    std::string text;
    long long k = 0;
    for (const auto& row : rows) {
        ++k;
        listener.Progress(ProgressValue(k));
        listener.Caption(StatusCaption(" [ Saving: " + row.Extension + " ... ]"));
        listener.DoEvents();
        Export_Key_Details(row.Extension, row.TypeName);
        listener.Caption(
            StatusCaption(" [ Saving extended details for: " + row.Extension + " ... ]"));
        listener.DoEvents();
        text += ExtendedRecord(row, strKeyDetails);
    }
    if (Result<> written = fs::writeFileAtomically(path, text::intoDisplayText(std::move(text)));
        !written)
        return written;
    listener.SaveFinished(static_cast<long long>(rows.size()));
    return {};
}

std::string ExportCompleteText(const std::string& path) {
    return "Export complete, file saved as: " + path;
}

} // namespace moxalo::catalogue
