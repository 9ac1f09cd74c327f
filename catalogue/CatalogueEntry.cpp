#include "catalogue/CatalogueEntry.h"

#include "catalogue/AppTexts.h"

namespace moxalo::catalogue {

CatalogueEntry CatalogueEntry::For(std::string_view dottedName, std::string typeName,
                                   bool openWith) {
    CatalogueEntry entry;
    entry.Extension = std::string(dottedName.substr(dottedName.empty() ? 0 : 1));
    entry.TypeName = std::move(typeName);
    entry.InOpenWithList = openWith ? "Yes" : "No";
    entry.KeyPath = std::string(kClassesRootPrefix) + std::string(dottedName);
    return entry;
}

const std::string& CellText(const CatalogueEntry& entry, Column column) {
    switch (column) {
    case Column::FileExt:
        return entry.Extension;
    case Column::FileType:
        return entry.TypeName;
    case Column::OpenWithList:
        return entry.InOpenWithList;
    case Column::Location:
        break;
    }
    return entry.KeyPath;
}

} // namespace moxalo::catalogue
