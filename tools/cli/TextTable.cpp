#include "tools/cli/TextTable.h"

#include "tools/cli/TextFormats.h"

#include <algorithm>
#include <ostream>

namespace moxalo::cli {

std::size_t displayWidth(const std::string& text) {
    // Every byte but a continuation byte starts a character.
    return std::count_if(text.begin(), text.end(),
                         [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

void TextTable::add(std::vector<std::string> row) {
    for (std::string& cell : row)
        cell = TextField(cell);
    rows_.push_back(std::move(row));
}

void TextTable::print(std::ostream& out) const {
    std::vector<std::size_t> widths;
    for (const auto& row : rows_) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], displayWidth(row[c]));
    }
    for (const auto& row : rows_) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size())
                line += std::string(widths[c] - displayWidth(row[c]) + 2, ' ');
        }
        // An empty last cell leaves no blanks behind.
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << "\n";
    }
}

} // namespace moxalo::cli
