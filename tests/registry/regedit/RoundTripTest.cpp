// Saving a tree as .reg text and reading it back gives the same keys, values and types.

#include "registry/regedit/RegFileExport.h"
#include "tests/registry/regedit/RegFileTestSupport.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace moxalo::regfile::test {
namespace {

using registry::MemoryStore;

// Compares two trees key by key; returns the first difference, or "".
std::string firstDifference(MemoryStore& storeA, MemoryStore::Node& a, MemoryStore& storeB,
                            MemoryStore::Node& b, const std::string& path) {
    if (a.name != b.name || a.listed != b.listed)
        return path + ": name or listed flag differs";
    if (a.values != b.values)
        return path + ": values differ";
    const auto& childrenA = storeA.children(a);
    const auto& childrenB = storeB.children(b);
    if (childrenA.size() != childrenB.size())
        return path + ": subkey count differs";
    for (std::size_t i = 0; i < childrenA.size(); ++i) {
        std::string d = firstDifference(storeA, *childrenA[i], storeB, *childrenB[i],
                                        path + "\\" + std::string(childrenA[i]->name));
        if (!d.empty())
            return d;
    }
    return {};
}

std::string treeDifference(MemoryStore& a, MemoryStore& b) {
    return firstDifference(a, *MemoryStore::node(a.rootNode()), b, *MemoryStore::node(b.rootNode()),
                           "");
}

const char* const kSource =
    "[HKEY_CLASSES_ROOT\\.txt]\r\n"
    "@=\"txtfile\"\r\n"
    "\"Quoted\"=\"a \\\"quoted\\\" C:\\\\path\\\\x\"\r\n"
    "\"lf\"=\"a\\nb\\rc\"\r\n"
    "\"Accents\"=\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\"\r\n"
    "\"\xC3\x9C name]\"=dword:0000002a\r\n"
    "[HKEY_CLASSES_ROOT\\txtfile\\shell\\open\\command]\r\n"
    "@=\"notepad.exe \\\"%1\\\"\"\r\n"
    "[HKEY_CLASSES_ROOT\\empty listed]\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.log]\r\n"
    "\"Bin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,\\\r\n"
    "  19,1a,1b,1c,1d,1e,1f,20\r\n"
    "\"Empty\"=hex:\r\n"
    "\"None\"=hex(0):01\r\n"
    "\"QWord\"=hex(b):01,02,03,04,05,06,07,08\r\n"
    "\"Custom\"=hex(abcd):ff\r\n"
    "\"EmptyDword\"=hex(4):\r\n"
    "\"EmptySz\"=hex(1):\r\n"
    "\"ShortDword\"=hex(4):01,02\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\x]y]\r\n"
    "@=\"]\"\r\n"
    "[HKEY_USERS\\S-1-5-18\\Deep\\Er\\Key]\r\n"
    "[HKEY_CURRENT_CONFIG]\r\n"
    "\"OnRoot\"=\"1\"\r\n";

// Data written in the file's own encoding, so it reads back unchanged.
std::string encodedStringTypes(bool unicode) {
    if (unicode)
        return "\"Expand\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,00,00\r\n"
               "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
               "\"InnerNul\"=hex(1):61,00,00,00,62,00,00,00\r\n";
    return "\"Expand\"=hex(2):25,50,41,54,48,25,00\r\n"
           "\"Multi\"=hex(7):61,00,62,00,00\r\n"
           "\"InnerNul\"=hex(1):61,00,62,00\r\n";
}

TEST(RegFileRoundTrip, ReadWriteReadKeepsTheTree) {
    for (ExportFormat format : {ExportFormat{5, true}, ExportFormat{4, false}}) {
        SCOPED_TRACE(format.version);
        std::string body = kSource + std::string("[HKEY_CLASSES_ROOT\\strings]\r\n") +
                           encodedStringTypes(format.unicode);
        auto first = importBody(body, format.unicode);
        ASSERT_TRUE(first->result.diagnostics.empty()) << first->diagnostics();
        std::string saved = exportRegFileTree(first->store, format);
        Imported second;
        second.result = importRegFile(saved, second.store);
        EXPECT_TRUE(second.result.diagnostics.empty()) << second.diagnostics();
        EXPECT_EQ(second.result.version, format.version);
        EXPECT_EQ(second.result.unicode, format.unicode);
        EXPECT_EQ(treeDifference(first->store, second.store), "");
        EXPECT_EQ(exportRegFileTree(second.store, format), saved) << "a second save is identical";
        EXPECT_EQ(second.value("HKEY_CLASSES_ROOT\\strings", "InnerNul"),
                  (registry::RegValue{registry::REG_SZ, {0x61, 0, 0, 0, 0x62, 0, 0, 0}}));
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
