#include "platform/registry/wine/WineRegistryFile.h"

#include "platform/registry/Utf16.h"
#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

using namespace moxalo::registry;
using moxalo::testing::readFile;

namespace {

const std::string kFixtures = std::string(MOXALO_FIXTURES) + "/wine/";
const std::string kHeader = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n"
                            "\n#arch=win64\n";
// A time well after any in the fixtures: 2024-01-01 00:00:00 UTC as a FILETIME.
constexpr std::uint64_t kNewYear2024 = 133485408000000000ull;

struct Loaded {
    MemoryStore store;
    WineFileLayout layout;
    explicit Loaded(const std::string& text, const std::string& name = "test.reg") {
        readWineRegistry(text, name, store, layout);
    }
    NodeId key(std::string_view path) { return store.findPath(store.rootNode(), path); }
    RegValue value(std::string_view path, std::string_view name) {
        NodeId k = key(path);
        EXPECT_NE(k, kNoNode) << path;
        return k == kNoNode ? RegValue{} : store.findValue(k, name).value_or(RegValue{99, {}});
    }
    std::string written() { return writeWineRegistry(store, layout, kNewYear2024); }
};

std::vector<std::uint8_t> utf16z(std::u16string_view text) {
    std::vector<std::uint8_t> data;
    for (char16_t u : text) {
        data.push_back(static_cast<std::uint8_t>(u));
        data.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    data.insert(data.end(), {0, 0});
    return data;
}

std::string errorOf(const std::string& text) {
    try {
        Loaded loaded(text, "/p/user.reg");
    } catch (const StoreError& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(WineRegistryFile, UnchangedFilesComeBackByteForByte) {
    for (const char* name : {"system.reg", "user.reg"}) {
        std::string text = readFile(kFixtures + name);
        Loaded loaded(text);
        EXPECT_EQ(loaded.written(), text) << name;
    }
}

TEST(WineRegistryFile, ReadsEveryValueType) {
    Loaded loaded(readFile(kFixtures + "user.reg"));
    const std::string foo = "Software\\Classes\\.foo";
    EXPECT_EQ(loaded.value(foo, ""), (RegValue{REG_SZ, stringValueData("foofile")}));
    EXPECT_EQ(loaded.value(foo, "Dw"), (RegValue{REG_DWORD, {0xff, 0xff, 0, 0}}));
    EXPECT_EQ(loaded.value(foo, "Dword3"), (RegValue{REG_DWORD, {1, 2, 3}}));
    EXPECT_EQ(loaded.value(foo, "Empty"), (RegValue{REG_SZ, {0, 0}}));
    EXPECT_EQ(loaded.value(foo, "None"), (RegValue{REG_NONE, {}}));
    EXPECT_EQ(loaded.value(foo, "Odd"), (RegValue{0x100, {1, 2}}));
    EXPECT_EQ(loaded.value(foo, "Qword"), (RegValue{REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(loaded.value(foo, "Expand"),
              (RegValue{REG_EXPAND_SZ, stringValueData("%SystemRoot%\\system32")}));
    EXPECT_EQ(loaded.value(foo, "Multi"),
              (RegValue{REG_MULTI_SZ, utf16z(std::u16string(u"one\0\0two\0\0", 10))}));
    EXPECT_EQ(loaded.value(foo, "Str"),
              (RegValue{REG_SZ, stringValueData("a \"quoted\" C:\\path\\x")}));
    EXPECT_EQ(loaded.value(foo, "caf\u00e9"),
              (RegValue{REG_SZ, stringValueData("na\u00efve \u00fc \u00e9a")}));
    EXPECT_EQ(loaded.value(foo, "Ctl"), (RegValue{REG_SZ, utf16z(u"a\tb\nc\x1b\x01"
                                                                 u"7\x02x\x7f\a\b\v\f\r\x1f"
                                                                 u"0")}));
    EXPECT_EQ(loaded.value(foo, "Smile"), (RegValue{REG_SZ, stringValueData("\U0001F600!")}));
    EXPECT_EQ(loaded.value(foo, "Quote\"Bracket[]"), (RegValue{REG_SZ, stringValueData("x[y]z")}));
    RegValue wrapped = loaded.value(foo, "Bin");
    EXPECT_EQ(wrapped.type, REG_BINARY);
    ASSERT_EQ(wrapped.data.size(), 0x2au);
    EXPECT_EQ(wrapped.data[0x29], 0x29);
    EXPECT_EQ(loaded.value("Software\\Classes\\\u00c4pfel", ""),
              (RegValue{REG_SZ, stringValueData("a")}));
    EXPECT_EQ(loaded.value("Software\\Classes\\Br[ack]ets", ""),
              (RegValue{REG_SZ, stringValueData("b")}));
}

TEST(WineRegistryFile, CreatesTheKeysThatExistOnlyThroughTheirSubkeys) {
    Loaded loaded(readFile(kFixtures + "system.reg"));
    NodeId shell = loaded.key("Software\\Classes\\txtfile\\shell");
    ASSERT_NE(shell, kNoNode);
    EXPECT_FALSE(MemoryStore::node(shell)->listed);
    EXPECT_TRUE(
        MemoryStore::node(loaded.key("Software\\Classes\\txtfile\\shell\\open\\command"))->listed);
    EXPECT_TRUE(MemoryStore::node(loaded.key("Software\\Classes\\txtfile"))->listed);
    EXPECT_NE(loaded.key("SOFTWARE\\classes\\HTMLFILE"), kNoNode);
    EXPECT_FALSE(MemoryStore::node(loaded.key("Software\\Classes"))->listed);
}

TEST(WineRegistryFile, WritesKeysAndValuesInWineserversOrderAndForm) {
    Loaded loaded(kHeader);
    MemoryStore& s = loaded.store;
    s.setValue(s.createPath("Software\\Classes\\Zed"), "", {REG_SZ, stringValueData("z")});
    NodeId under = s.createPath("Software\\Classes\\_under");
    s.setValue(under, "v", {REG_DWORD, {1, 0, 0, 0}});
    s.setValue(under, "_v", {REG_BINARY, {}});
    s.setValue(under, std::string(60, 'n'), {REG_BINARY, std::vector<std::uint8_t>(20, 0xab)});
    s.createPath("Software\\Classes\\Zed\\shell\\open");
    EXPECT_EQ(loaded.written(),
              kHeader +
                  "\n[Software\\\\Classes\\\\_under] 1704067200\n#time=1da3c457689c000\n"
                  "\"_v\"=hex:\n"
                  "\"" +
                  std::string(60, 'n') +
                  "\"=hex:ab,ab,ab,ab,\\\n"
                  "  ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab\n"
                  "\"v\"=dword:00000001\n"
                  "\n[Software\\\\Classes\\\\Zed] 1704067200\n#time=1da3c457689c000\n@=\"z\"\n"
                  "\n[Software\\\\Classes\\\\Zed\\\\shell\\\\open] 1704067200\n"
                  "#time=1da3c457689c000\n");
}

TEST(WineRegistryFile, KeepsKeyOptionsAndWritesKeysWithAClassOrLink) {
    std::string text = kHeader +
                       "\n[Parent] 1700000000\n#time=1da1a1a1a1a1a1a\n#class=\"My \\\"class\\\"\"\n"
                       "\n[Parent\\\\Child] 1700000001\n#time=1da1a1a1a1a1a1b\n@=\"c\"\n";
    Loaded loaded(text);
    EXPECT_TRUE(loaded.layout.keys.at(MemoryStore::node(loaded.key("Parent"))).hasClass);
    EXPECT_EQ(loaded.written(), text);
    EXPECT_NE(
        errorOf(kHeader + "\n[K] 1\n#class=\"unterminated\n").find("line 7: malformed key class"),
        std::string::npos);
}

TEST(WineRegistryFile, ToleratesWhatTheLoaderToleratesElsewhere) {
    Loaded loaded(kHeader + ";; a comment\n#unknown=option\n\n  [A\\\\\\\\B] \r\n"
                            "  \"v\" = hex(2):41,00,\\\n\t42 , 00 ,00,00\r\n@=str:\"s\"\n"
                            "\"r\"=\"raw \xc3\xa9\"\n");
    EXPECT_EQ(loaded.value("A\\B", "v"), (RegValue{REG_EXPAND_SZ, stringValueData("AB")}));
    EXPECT_EQ(loaded.value("A\\B", ""), (RegValue{REG_SZ, stringValueData("s")}));
    EXPECT_EQ(loaded.value("A\\B", "r"), (RegValue{REG_SZ, stringValueData("raw \u00e9")}));
}

TEST(WineRegistryFile, BadInputNamesTheFileAndLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "/p/user.reg: line 1: not a Wine registry file"},
        {"REGEDIT4\n", "/p/user.reg: line 1: not a Wine registry file"},
        {"WINE REGISTRY Version 1\n", "line 1: not a Wine registry file"},
        {kHeader + "\n[Software\\\\Cla", "line 6: key line without a closing \"]\""},
        {kHeader + "\n[K] 1\n@=\"cut in the mid", "line 7: string without a closing quote"},
        {kHeader + "\n[K] 1\n\"v\"=hex:01,02,\\\n  03,\\\n",
         "line 8: the file ends in the middle of a value"},
        {kHeader + "\n[K] 1\n\"v\"=hex:01,2g\n", "line 7: malformed hex data"},
        {kHeader + "\n[K] 1\n\"v\"=hex:123\n", "line 7: malformed hex byte"},
        {kHeader + "\n[K] 1\n\"v\"=hex(zz):01\n", "line 7: malformed value type"},
        {kHeader + "\n[K] 1\n\"v\"=dword:123456789\n", "line 7: malformed dword"},
        {kHeader + "\n[K] 1\n\"v\"=str(1):\"x\"\n", "line 7: unknown value type"},
        {kHeader + "\n[K] 1\n\"v\"=\"x\" junk\n", "line 7: unexpected text after the string"},
        {kHeader + "\n[K] 1\n\"v\" \"x\"\n", "line 7: \"=\" missing after the value name"},
        {kHeader + "\n[K] 1\n\"v=\"x\"\n", "line 7: \"=\" missing"},
        {kHeader + "\n[K] one\n", "line 6: unexpected text after the key name"},
        {kHeader + "\n[\\\\K] 1\n", "line 6: key path starts with a backslash"},
        {kHeader + "\n[" + std::string(257, 'k') + "] 1\n", "line 6: key name longer than 256"},
        {kHeader + "@=\"before any key\"\n", "line 5: a value before the first key"},
        {kHeader + "\n[K] 1\nstray text\n", "line 7: unrecognized line"},
        {"WINE REGISTRY Version 2\n#arch=win16\n", "line 2: unknown architecture \"win16\""},
    };
    for (const auto& [text, message] : cases)
        EXPECT_NE(errorOf(text).find(message), std::string::npos) << errorOf(text);

    std::string deep = kHeader + "\n[k";
    for (int i = 0; i < 600; ++i)
        deep += "\\\\k";
    EXPECT_NE(errorOf(deep + "] 1\n").find("nested deeper than 512"), std::string::npos);
}
