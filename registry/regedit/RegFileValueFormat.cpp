#include "registry/regedit/RegFileValueFormat.h"

#include "base/Utf16.h"
#include "registry/regedit/RegFileData.h"

#include <cstdio>
#include <cstring>

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
    return text::stringValueData(text::utf16leToUtf8(data.data(), data.size() - 2)) == data;
}

std::string textBeforeNul(const std::vector<std::uint8_t>& data) {
    return text::utf16leToUtf8(data.data(), 2 * firstNulUnit(data));
}

// The bytes that stand after the tag: in an 8-bit file regedit writes the text types in the
// code page and reads them back so.
std::string hexBytes(const RegValue& value, const ValueStyle& style) {
    if (!style.unicode && isStringType(value.type))
        return style.codePage.fromUtf16le(value.data);
    return {value.data.begin(), value.data.end()};
}

// Whether reading `bytes` back under "hex(T):" gives other data than the value's, as regedit's
// reading of string data does (see HexTag::asStored).
bool readsBackOtherwise(const RegValue& value, const std::string& bytes, const ValueStyle& style) {
    if (!isStringType(value.type))
        return false;
    std::vector<std::uint8_t> read(bytes.begin(), bytes.end());
    TextEncoding encoding = style.unicode ? TextEncoding::Utf16le : TextEncoding::Ansi;
    return finishHexData(value.type, std::move(read), encoding, style.codePage) != value.data;
}

// "hex:", "hex(T):", or "hex(0T):" with the stored bytes as they are for string data that
// regedit's reading of "hex(T):" would change, so that the value read back is the one written.
void appendHex(std::string& out, std::size_t lineLength, const RegValue& value,
               const ValueStyle& style) {
    std::string bytes = hexBytes(value, style);
    bool asStored = readsBackOtherwise(value, bytes, style);
    if (asStored)
        bytes.assign(value.data.begin(), value.data.end());
    char tag[24];
    if (value.type == registry::REG_BINARY)
        std::snprintf(tag, sizeof tag, "hex:");
    else
        std::snprintf(tag, sizeof tag,
                      asStored ? "hex(0%x):" : "hex(%x):", static_cast<unsigned>(value.type));
    out += tag;
    lineLength += std::strlen(tag);
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
