// Saving a tree as .reg text and reading it back gives the same keys, values and types.

#include "registry/regedit/RegFileExport.h"
#include "tests/platform/regfile/RegFileTestSupport.h"

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

// The string types' data in hex, of every length up to a few characters, with and without a
// final NUL character: what an export writes, read back, is written again the same, and the
// hex data read back is the value it was made from. regedit itself gives such data the NUL
// character it lacks.
TEST(RegFileRoundTrip, HexStringDataOfAnyLengthIsKept) {
    std::vector<std::vector<std::uint8_t>> datas;
    for (std::size_t length = 0; length <= 5; ++length) {
        datas.emplace_back(length, 0x41);
        datas.emplace_back(length, 0x00);
        std::vector<std::uint8_t> endsInNul(length, 0x42);
        if (std::size_t whole = length / 2 * 2; whole >= 2)
            endsInNul[whole - 2] = endsInNul[whole - 1] = 0;
        datas.push_back(endsInNul);
        // U+6E6F, which no 8-bit code page the file may be written in holds.
        std::vector<std::uint8_t> beyondCodePage;
        for (std::size_t i = 0; i < length; ++i)
            beyondCodePage.push_back(i % 2 == 0 ? 0x6F : 0x6E);
        datas.push_back(beyondCodePage);
    }
    const std::string path = "HKEY_CLASSES_ROOT\\.hex";
    for (registry::DWORD type :
         {registry::REG_SZ, registry::REG_EXPAND_SZ, registry::REG_MULTI_SZ}) {
        MemoryStore store;
        registry::NodeId key = store.createPath(path);
        for (std::size_t i = 0; i < datas.size(); ++i)
            store.setValue(key, "v" + std::to_string(i), {type, datas[i]});
        // regedit's export writes REG_SZ as "text", up to its first NUL; the rest in hex.
        const struct {
            std::function<std::string(MemoryStore&)> write;
            bool hexOnly;
        } exports[] = {
            {[&](MemoryStore& s) { return exportRegFile(s, s.findPath(s.rootNode(), path), path); },
             type != registry::REG_SZ},
            {[](MemoryStore& s) {
                 return exportRegFileTree(s, {5, true});
             },
             true},
            // An 8-bit file holds REG_SZ text in its code page, "?" for what it lacks.
            {[](MemoryStore& s) {
                 return exportRegFileTree(s, {4, false});
             },
             type != registry::REG_SZ},
        };
        for (const auto& write : exports) {
            std::string file = write.write(store);
            Imported back;
            back.result = importRegFile(file, back.store);
            EXPECT_TRUE(back.result.diagnostics.empty()) << back.diagnostics();
            EXPECT_EQ(write.write(back.store), file);
            for (std::size_t i = 0; i < datas.size() && write.hexOnly; ++i) {
                SCOPED_TRACE("type " + std::to_string(type) + ", value " + std::to_string(i));
                EXPECT_EQ(back.value(path, "v" + std::to_string(i)),
                          (registry::RegValue{type, datas[i]}));
            }
        }
    }
}

// A file put together by hand or by a script may have its keys in any order; each order gives
// the same tree, and so the same file when it is saved.
TEST(RegFileRoundTrip, KeysInAnyOrderMakeTheSameTree) {
    std::vector<std::string> sections;
    for (int i = 0; i < 40; ++i) {
        std::string n = std::to_string(i);
        sections.push_back("[HKEY_CLASSES_ROOT\\.e" + n + "]\r\n@=\"t" + n + "\"\r\n");
        sections.push_back("[HKEY_CLASSES_ROOT\\.e" + n + "\\OpenWithList\\app.exe]\r\n");
        sections.push_back("[HKEY_CLASSES_ROOT\\t" + n + "\\shell\\open\\command]\r\n@=\"x\"\r\n");
    }
    auto load = [&sections] {
        std::string body;
        for (const std::string& section : sections)
            body += "\r\n" + section;
        return importBody(body);
    };
    auto inOrder = load();
    std::string saved = exportRegFileTree(inOrder->store, {5, true});
    std::reverse(sections.begin(), sections.end());
    auto reversed = load();
    std::shuffle(sections.begin(), sections.end(), std::mt19937(3));
    auto shuffled = load();
    EXPECT_EQ(treeDifference(inOrder->store, reversed->store), "");
    EXPECT_EQ(treeDifference(inOrder->store, shuffled->store), "");
    EXPECT_EQ(exportRegFileTree(reversed->store, {5, true}), saved);
    EXPECT_EQ(exportRegFileTree(shuffled->store, {5, true}), saved);
}

} // namespace
} // namespace moxalo::regfile::test
