#pragma once
// One row of the file list: a registered extension.

#include <array>
#include <string>
#include <string_view>

namespace moxalo::catalogue {

struct CatalogueEntry {
    std::string Extension;      // without its dot: "txt"
    std::string TypeName;       // as the shell names the type; may be empty
    std::string InOpenWithList; // exactly "Yes" or "No"
    std::string KeyPath;        // "HKEY_CLASSES_ROOT\." followed by Extension

    // The row for the registry key `dottedName` (".txt").
    static CatalogueEntry For(std::string_view dottedName, std::string typeName, bool openWith);
    bool operator==(const CatalogueEntry&) const = default;
};

// The list's columns, in order; the view, the list files and the CLI all use these.
enum class Column { FileExt, FileType, OpenWithList, Location };
inline constexpr std::size_t kColumnCount = 4;

struct ColumnInfo {
    std::string_view key;
    std::string_view caption;
};
inline constexpr std::array<ColumnInfo, kColumnCount> kColumns{{
    {"FileExt", "File Extension"},
    {"FileType", "File Type"},
    {"OpenWithList", "In 'Open With' List"},
    {"location", "Location"},
}};

const std::string& CellText(const CatalogueEntry& entry, Column column);

} // namespace moxalo::catalogue
