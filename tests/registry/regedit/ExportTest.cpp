// regedit's export format: the Windows-verified vectors byte for byte, value forms and wrapping,
// and values no regedit would write read back as they were.

#include "registry/regedit/RegFileExport.h"
#include "registry/regedit/RegFileRoots.h"
#include "tests/registry/regedit/RegFileTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace moxalo::regfile::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using registry::MemoryStore;
using registry::RegValue;
using testing::dword;

RegValue typed(registry::DWORD type, Bytes data) {
    return {type, std::move(data)};
}
RegValue wide(registry::DWORD type, std::string_view text) {
    return {type, text::utf8ToUtf16le(text)};
}

// The export's text lines, decoded from UTF-16LE after checking the byte order mark.
std::vector<std::string> exportedLines(MemoryStore& store, std::string_view path) {
    std::string bytes = exportRegFile(store, store.findPath(store.rootNode(), path), path);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    std::string text = text::utf16leToUtf8(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 2,
                                           bytes.size() - 2);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(RegFileExport, MatchesRegeditComplexTestByteForByte) {
    MemoryStore store;
    // Created out of order: the export sorts subkeys by name.
    const std::string base = "HKEY_CURRENT_USER\\Software\\Wine\\regedit_test";
    auto key = [&](const std::string& sub) { return store.createPath(base + sub); };
    store.setValue(key("\\Subkey4"), "", dword(0x12345678));
    store.setValue(key("\\Subkey4"), "43981", typed(0xABCD, {0x56, 0x61, 0x6c, 0x75, 0x65, 0x00}));
    store.setValue(key(""), "DWORD", dword(0x100));
    store.setValue(key(""), "String", sz("Your text here..."));
    store.setValue(key("\\Subkey1"), "Binary",
                   typed(registry::REG_BINARY, {0x11, 0x22, 0x33, 0x44}));
    store.setValue(key("\\Subkey1"), "Undefined hex",
                   typed(0x100, {0x25, 0x50, 0x41, 0x54, 0x48, 0x25, 0x00}));
    store.setValue(key("\\Subkey3a\\Subkey3b\\Subkey3c"), "String expansion",
                   wide(registry::REG_EXPAND_SZ, std::string("%HOME%\\%PATH%\0", 14)));
    store.setValue(key("\\Subkey3a\\Subkey3b\\Subkey3c"), "Zero data type",
                   typed(registry::REG_NONE, {0x56, 0x61, 0x6c, 0x75, 0x65, 0x00}));
    store.setValue(key("\\Subkey3a"), "Backslash", sz("Use \\\\ to escape a backslash"));
    store.setValue(key("\\Subkey2a"), "double\"quote", sz("\"Hello, World!\""));
    store.setValue(key("\\Subkey2a"), "single'quote", dword(8));
    store.setValue(key("\\Subkey2a\\Subkey2b"), "", sz("Default value name"));
    store.setValue(key("\\Subkey2a\\Subkey2b"), "Multiple strings",
                   wide(registry::REG_MULTI_SZ, std::string("Line1\0Line2\0Line3\0\0", 19)));
    std::string exported = exportRegFile(store, key(""), base);
    EXPECT_EQ(exported, readFixture("complex_test.reg"));
}

TEST(RegFileExport, ValueForms) {
    MemoryStore store;
    registry::NodeId k = store.createPath("HKEY_CURRENT_USER\\V");
    store.setValue(k, "Wine1a", typed(registry::REG_NONE, {}));
    store.setValue(k, "Wine1b", typed(registry::REG_SZ, {}));
    store.setValue(k, "Wine1c", typed(registry::REG_EXPAND_SZ, {}));
    store.setValue(k, "Wine1d", typed(registry::REG_BINARY, {}));
    store.setValue(k, "Wine1e", typed(registry::REG_DWORD, {}));
    store.setValue(k, "Wine1f", typed(registry::REG_MULTI_SZ, {}));
    store.setValue(k, "Wine1g", typed(0x100, {}));
    store.setValue(k, "Wine1h", typed(0xABCD, {}));
    store.setValue(k, "InnerNul", wide(registry::REG_SZ, std::string("abc\0def\0", 8)));
    store.setValue(k, "LeadingNul", typed(registry::REG_SZ, {0, 0, 0x61, 0}));
    store.setValue(k, "NoNul", wide(registry::REG_SZ, "abc"));
    store.setValue(k, "Imported", typed(registry::REG_DWORD, {0x40, 0x30, 0x20, 0x10}));
    store.setValue(k, "Short", typed(registry::REG_DWORD, {1, 2, 3}));
    store.setValue(k, "QWord", typed(registry::REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}));
    store.setValue(k, "a\"b\\c", sz("line\r\nx\t\xC3\xA9 \"q\" C:\\path"));
    EXPECT_THAT(exportedLines(store, "HKEY_CURRENT_USER\\V"),
                ::testing::ElementsAre(
                    "Windows Registry Editor Version 5.00", "", "[HKEY_CURRENT_USER\\V]",
                    "\"Wine1a\"=hex(0):", "\"Wine1b\"=\"\"", "\"Wine1c\"=hex(2):",
                    "\"Wine1d\"=hex:", "\"Wine1e\"=hex(4):", "\"Wine1f\"=hex(7):",
                    "\"Wine1g\"=hex(100):", "\"Wine1h\"=hex(abcd):", "\"InnerNul\"=\"abc\"",
                    "\"LeadingNul\"=\"\"", "\"NoNul\"=\"abc\"", "\"Imported\"=dword:10203040",
                    "\"Short\"=hex(4):01,02,03", "\"QWord\"=hex(b):01,00,00,00,00,00,00,00",
                    "\"a\\\"b\\\\c\"=\"line\\r\\nx\t\xC3\xA9 \\\"q\\\" C:\\\\path\"", ""));
}

// The number of bytes on each line of one wrapped hex value (the line after the key line).
std::vector<std::size_t> bytesPerLine(const std::string& name, std::size_t count,
                                      registry::DWORD type) {
    MemoryStore store;
    registry::NodeId k = store.createPath("HKEY_CURRENT_USER\\W");
    store.setValue(k, name, typed(type, Bytes(count, 0xAB)));
    std::vector<std::string> lines = exportedLines(store, "HKEY_CURRENT_USER\\W");
    std::vector<std::size_t> counts;
    for (std::size_t i = 3; i + 1 < lines.size(); ++i) {
        const std::string& line = lines[i];
        counts.push_back(static_cast<std::size_t>(std::count(line.begin(), line.end(), 'b')));
        bool last = i + 2 == lines.size();
        EXPECT_EQ(line.ends_with(",\\"), !last) << line;
        if (i > 3) {
            EXPECT_TRUE(line.starts_with("  ab")) << line;
        }
        if (i > 3 && !last) {
            EXPECT_EQ(line.size(), 78u) << line;
        }
    }
    return counts;
}

TEST(RegFileExport, HexWrapsAtRegeditsLineLength) {
    using ::testing::ElementsAre;
    EXPECT_THAT(bytesPerLine("Multiple strings", 60, registry::REG_MULTI_SZ),
                ElementsAre(17, 25, 18));
    EXPECT_THAT(bytesPerLine("Bin", 48, registry::REG_BINARY), ElementsAre(23, 25));
    EXPECT_THAT(bytesPerLine("", 24, registry::REG_EXPAND_SZ), ElementsAre(23, 1));
    EXPECT_THAT(bytesPerLine("", 23, registry::REG_EXPAND_SZ), ElementsAre(23));
    EXPECT_THAT(bytesPerLine(std::string(77, 'n'), 27, registry::REG_BINARY),
                ElementsAre(1, 25, 1));
    // The length counts characters, not UTF-8 bytes: 16 two-byte letters leave room for 17 bytes.
    std::string umlauts;
    for (int i = 0; i < 16; ++i)
        umlauts += "\xC3\xBC";
    EXPECT_THAT(bytesPerLine(umlauts, 20, registry::REG_MULTI_SZ), ElementsAre(17, 3));
}

// Keys nest at most kMaxKeyDepth levels below the exported one, as deep as a .reg file is read.
TEST(RegFileExport, KeysNestedDeeperThanTheRegistryTakesAreRefused) {
    for (std::size_t depth : {kMaxKeyDepth - 1, kMaxKeyDepth}) {
        MemoryStore store;
        registry::NodeId top = store.createPath("HKEY_CURRENT_USER\\D");
        registry::NodeId at = top;
        for (std::size_t i = 0; i < depth; ++i)
            at = store.createKey(at, "k");
        std::string error;
        try {
            exportRegFile(store, top, "HKEY_CURRENT_USER\\D");
        } catch (const registry::StoreError& e) {
            error = e.what();
        }
        EXPECT_EQ(error.find("nested deeper than 512 levels") != std::string::npos,
                  depth == kMaxKeyDepth)
            << depth << ": " << error;
    }
}

// Values set through the store API rather than read from a file survive as well.
TEST(RegFileRoundTrip, ValuesRegeditWouldTruncateAreKept) {
    MemoryStore store;
    registry::NodeId key = store.createPath("HKEY_CLASSES_ROOT\\.odd");
    const registry::RegValue values[] = {
        {registry::REG_SZ, {}},
        {registry::REG_SZ, {0x00, 0x00, 0x61, 0x00, 0x00, 0x00}},
        {registry::REG_SZ, {0x00, 0xD8, 0x00, 0x00}}, // a lone surrogate
        {registry::REG_DWORD, {1, 2, 3, 4, 5}},
        {registry::REG_BINARY, std::vector<std::uint8_t>(300, 0x5A)},
    };
    for (std::size_t i = 0; i < std::size(values); ++i)
        store.setValue(key, "v" + std::to_string(i), values[i]);
    Imported back;
    back.result = importRegFile(exportRegFileTree(store, {5, true}), back.store);
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(back.value("HKEY_CLASSES_ROOT\\.odd", "v" + std::to_string(i)), values[i]) << i;
}

} // namespace
} // namespace moxalo::regfile::test
