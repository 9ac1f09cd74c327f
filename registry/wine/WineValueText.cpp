#include "registry/wine/WineValueText.h"

#include "registry/wine/WineEscape.h"

#include <cstdio>

namespace moxalo::registry {

namespace {

// wineserver breaks a hex list after the comma that takes the line past this many characters.
constexpr std::size_t kHexWrapColumn = 76;

std::u16string unitsOf(const std::vector<std::uint8_t>& data) {
    std::u16string units(data.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    return units;
}

// Only strings of whole characters that end in a NUL are written as strings.
bool writtenAsString(const RegValue& value) {
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ && value.type != REG_MULTI_SZ)
        return false;
    const auto& d = value.data;
    return d.size() >= 2 && d.size() % 2 == 0 && d[d.size() - 2] == 0 && d[d.size() - 1] == 0;
}

std::string typeTag(const char* format, DWORD type) {
    char buffer[32];
    int n = std::snprintf(buffer, sizeof buffer, format, type);
    return std::string(buffer, static_cast<std::size_t>(n));
}

void appendHex(std::string& out, std::size_t column, const std::vector<std::uint8_t>& data) {
    static constexpr char digits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < data.size(); ++i) {
        out.push_back(digits[data[i] >> 4]);
        out.push_back(digits[data[i] & 0xF]);
        column += 2;
        if (i + 1 < data.size()) {
            out.push_back(',');
            if (++column > kHexWrapColumn) {
                out += "\\\n  ";
                column = 2;
            }
        }
    }
    out.push_back('\n');
}

} // namespace

std::string formatWineValue(std::string_view name, const RegValue& value) {
    std::string out = name.empty() ? "@=" : "\"" + escapeWineText(toUtf16(name), "\"\"") + "\"=";
    if (writtenAsString(value)) {
        if (value.type != REG_SZ)
            out += typeTag("str(%x):", value.type);
        // wineserver leaves out the string's terminating NUL; a name has none.
        std::u16string units = unitsOf(value.data);
        units.pop_back();
        out += "\"" + escapeWineText(units, "\"\"") + "\"\n";
        return out;
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        const auto& d = value.data;
        DWORD dw = d[0] | (d[1] << 8) | (d[2] << 16) | (DWORD(d[3]) << 24);
        return out + typeTag("dword:%08x\n", dw);
    }
    out += value.type == REG_BINARY ? std::string("hex:") : typeTag("hex(%x):", value.type);
    appendHex(out, out.size(), value.data);
    return out;
}

} // namespace moxalo::registry
