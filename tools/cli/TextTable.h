#pragma once
// Columns aligned for a reader: each as wide as its widest cell, two blanks between them, the
// last one not padded. Cells are shown as TextField() shows them, so that a row stays one line.

#include <iosfwd>
#include <string>
#include <vector>

namespace moxalo::cli {

class TextTable {
public:
    explicit TextTable(std::vector<std::string> heading) { add(std::move(heading)); }
    void add(std::vector<std::string> row);
    void print(std::ostream& out) const;

private:
    std::vector<std::vector<std::string>> rows_;
};

// The width a terminal gives UTF-8 text: one column per character (the scripts with wide
// characters are not what key names hold).
std::size_t displayWidth(const std::string& text);

} // namespace moxalo::cli
