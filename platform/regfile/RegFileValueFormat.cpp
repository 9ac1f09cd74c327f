#include "platform/regfile/RegFileValueFormat.h"

#include "platform/regfile/RegFileData.h"
#include "platform/registry/Utf16.h"

#include <cstdio>

namespace moxalo::regfile {

namespace {

using registry::RegValue;

// regedit breaks a hex line once it reaches this many characters (25 bytes after the indent).
constexpr std::size_t kHexLineWrap = 77;
constexpr std::string_view kHexIndent = "  ";

// The length regedit counts, in UTF-16 code units.
std::size_t utf16Units(std::string_view utf8) {
    std::size_t units = 0;
    for (char c : utf8) {
        auto b = static_cast<unsigned char>(c);
        units += (b & 0xC0) != 0x80;
        units += b >= 0xF0;
    }
    return units;
}

std::size_t firstNulUnit(const std::vector<std::uint8_t>& data) {
    std::size_t units = data.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        if (data[2 * i] == 0 && data[2 * i + 1] == 0)
            return i;
    }
    return units;
}

// Reading `"text"` back gives exactly these bytes: one final NUL and text that UTF-8 can hold.
bool quotedKeepsBytes(const std::vector<std::uint8_t>& data) {
    if (data.size() < 2 || data.size() % 2 != 0 || firstNulUnit(data) != data.size() / 2 - 1)
        return false;
    return registry::stringValueData(registry::utf16leToUtf8(data.data(), data.size() - 2)) == data;
}

std::string textBeforeNul(const std::vector<std::uint8_t>& data) {
    return registry::utf16leToUtf8(data.data(), 2 * firstNulUnit(data));
}

// The tag of hex data: "hex:", "hex(T):", or in a UTF-16 file "hex(0T):" for string data that
// regedit's reading of "hex(T):" would change (see HexTag::asStored), so that the value read
// back is the one written.
std::string hexTag(const RegValue& value, const ValueStyle& style) {
    if (value.type == registry::REG_BINARY)
        return "hex:";
    bool keep =
        style.unicode && isStringType(value.type) &&
        finishHexData(value.type, value.data, Encoding::Utf16le, style.codePage) != value.data;
    char tag[24];
    std::snprintf(tag, sizeof tag,
                  keep ? "hex(0%x):" : "hex(%x):", static_cast<unsigned>(value.type));
    return tag;
}

void appendHex(std::string& out, std::size_t lineLength, const RegValue& value,
               const ValueStyle& style) {
    std::string tag = hexTag(value, style);
    out += tag;
    lineLength += tag.size();
    std::string ansi;
    std::string_view bytes(reinterpret_cast<const char*>(value.data.data()), value.data.size());
    // In an 8-bit file regedit writes the text types in the code page and reads them back so.
    if (!style.unicode && isStringType(value.type)) {
        ansi = style.codePage.fromUtf16le(value.data);
        bytes = ansi;
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto byte = static_cast<unsigned char>(bytes[i]);
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
        if (i + 1 == bytes.size())
            break;
        out += ',';
        lineLength += 3;
        if (lineLength >= kHexLineWrap) {
            out += "\\\r\n";
            out += kHexIndent;
            lineLength = kHexIndent.size();
        }
    }
}

// Whole exports write hundreds of thousands of names and strings: escaped in place.
void appendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        if (c == '\r' || c == '\n')
            out += c == '\r' ? "\\r" : "\\n";
        else
            out += c;
    }
}

} // namespace

std::string escapeRegText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, text);
    return out;
}

void appendValueLine(std::string& out, std::string_view name, const RegValue& value,
                     const ValueStyle& style) {
    std::size_t lineStart = out.size();
    if (name.empty()) {
        out += "@=";
    } else {
        out += '"';
        appendEscaped(out, name);
        out += "\"=";
    }
    if (value.type == registry::REG_SZ && (!style.keepEveryByte || quotedKeepsBytes(value.data))) {
        out += '"';
        appendEscaped(out, textBeforeNul(value.data));
        out += '"';
    } else if (value.type == registry::REG_DWORD && value.data.size() == 4) {
        char digits[16];
        unsigned number = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                          static_cast<unsigned>(value.data[3]) << 24;
        std::snprintf(digits, sizeof digits, "dword:%08x", number);
        out += digits;
    } else {
        appendHex(out, utf16Units(std::string_view(out).substr(lineStart)), value, style);
    }
    out += "\r\n";
}

} // namespace moxalo::regfile
