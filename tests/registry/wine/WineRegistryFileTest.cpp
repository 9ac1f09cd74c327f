#include "registry/wine/WineRegistryFile.h"

#include "base/Utf16.h"
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
    std::vector<WineDiagnostic> diagnostics;
    explicit Loaded(const std::string& text, const std::string& name = "test.reg") {
        diagnostics = readWineRegistry(text, name, store, layout);
    }
    // "line: message" a line each.
    std::string problems() const {
        std::string out;
        for (const auto& d : diagnostics)
            out += std::to_string(d.line) + ": " + d.message + "\n";
        return out;
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

// A trailing NUL was once taken for a string's terminator in names too, and each save lost one.
TEST(WineRegistryFile, NamesEndingInNulKeepThemThroughSaves) {
    const std::string text = "WINE REGISTRY Version 2\n\n[a\\0\\0] 1700000000\n"
                             "\"v\\0\"=\"x\\0\"\n";
    Loaded first(text);
    std::string written = first.written();
    EXPECT_NE(written.find("[a\\0\\0]"), std::string::npos) << written;
    EXPECT_NE(written.find("\"v\\0\"=\"x\\0\"\n"), std::string::npos) << written;
    Loaded second(written);
    EXPECT_EQ(second.written(), written);
    // The key is kept, and told of: no path reaches it (see UnnameableKey.h).
    EXPECT_EQ(second.problems(),
              "3: key \"a\\0\\0\": its name holds a NUL character, which no "
              "key's name can; the key is listed as \"a\xEF\xBF\xBD\xEF\xBF\xBD\", "
              "which names no key\n");
}

// A CR kept at the end of a key line was written back before the "\n", and the next reading
// took the two for the line's end: each save changed the file.
TEST(WineRegistryFile, ASecondSaveWritesWhatTheFirstDid) {
    Loaded first("WINE REGISTRY Version 2\r\r\n[a] 1700000000\r\r\n#time=1\r\r\n@=\"x\"\r\r\n");
    EXPECT_EQ(first.problems(), "");
    std::string written = first.written();
    // The lines before the first key come back as they were.
    EXPECT_EQ(written, "WINE REGISTRY Version 2\r\r\n\n[a] 1700000000\n#time=1\n@=\"x\"\n");
    EXPECT_EQ(Loaded(written).written(), written);
}

// Escapes in names and strings are WineEscape's; here, what each type's data reads as.
TEST(WineRegistryFile, ReadsEveryValueType) {
    Loaded loaded(readFile(kFixtures + "user.reg"));
    const std::string foo = "Software\\Classes\\.foo";
    EXPECT_EQ(loaded.value(foo, ""), (RegValue{REG_SZ, moxalo::text::stringValueData("foofile")}));
    EXPECT_EQ(loaded.value(foo, "Dw"), (RegValue{REG_DWORD, {0xff, 0xff, 0, 0}}));
    EXPECT_EQ(loaded.value(foo, "Dword3"), (RegValue{REG_DWORD, {1, 2, 3}}));
    EXPECT_EQ(loaded.value(foo, "Empty"), (RegValue{REG_SZ, {0, 0}}));
    EXPECT_EQ(loaded.value(foo, "None"), (RegValue{REG_NONE, {}}));
    EXPECT_EQ(loaded.value(foo, "Odd"), (RegValue{0x100, {1, 2}}));
    EXPECT_EQ(loaded.value(foo, "Qword"), (RegValue{REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(loaded.value(foo, "Expand"),
              (RegValue{REG_EXPAND_SZ, moxalo::text::stringValueData("%SystemRoot%\\system32")}));
    EXPECT_EQ(loaded.value(foo, "Multi"),
              (RegValue{REG_MULTI_SZ, utf16z(std::u16string(u"one\0\0two\0\0", 10))}));
    RegValue wrapped = loaded.value(foo, "Bin");
    EXPECT_EQ(wrapped.type, REG_BINARY);
    ASSERT_EQ(wrapped.data.size(), 0x2au);
    EXPECT_EQ(wrapped.data[0x29], 0x29);
}

TEST(WineRegistryFile, WritesKeysAndValuesInWineserversOrderAndForm) {
    Loaded loaded(kHeader);
    MemoryStore& s = loaded.store;
    s.setValue(s.createPath("Software\\Classes\\Zed"), "",
               {REG_SZ, moxalo::text::stringValueData("z")});
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

    // Option lines are kept as they read once CRs and leading blanks are gone, wherever they
    // stand in the section and however the file ends.
    Loaded options(kHeader + "\n[A] 1\n#time=1\n#time=2\n@=\"a\"\n"
                             "\n[B] 2\r\n#time=3\r\n#class=\"b\"\n"
                             "\n[C] 3\n  #time=4\n#time=5\r\n#class=\"c\"\n#time=6\n"
                             "\n[E] 5\n#time=8\n\"v\"=\"1\"\n#time=9\n"
                             "\n[D] 4\n#time=7");
    EXPECT_EQ(options.written(), kHeader + "\n[A] 1\n#time=1\n#time=2\n@=\"a\"\n"
                                           "\n[B] 2\n#time=3\n#class=\"b\"\n"
                                           "\n[C] 3\n#time=4\n#time=5\n#class=\"c\"\n#time=6\n"
                                           "\n[D] 4\n#time=7\n"
                                           "\n[E] 5\n#time=8\n#time=9\n\"v\"=\"1\"\n");

    // wineserver leaves the class out and keeps the key.
    Loaded broken(kHeader + "\n[K] 1\n#class=\"unterminated\n\"v\"=\"1\"\n");
    EXPECT_EQ(broken.problems(), "7: key option skipped: malformed key class\n");
    EXPECT_FALSE(broken.layout.keys.at(MemoryStore::node(broken.key("K"))).hasClass);
    EXPECT_EQ(broken.written(), kHeader + "\n[K] 1\n\"v\"=\"1\"\n");
}

TEST(WineRegistryFile, ToleratesWhatTheLoaderToleratesElsewhere) {
    Loaded loaded(kHeader + ";; a comment\n#unknown=option\n\n  [A\\\\\\\\B] \r\n"
                            "  \"v\" = hex(2):41,00,\\\n\t42 , 00 ,00,00\r\n@=str:\"s\"\n"
                            "\"r\"=\"raw \xc3\xa9\"\n");
    EXPECT_EQ(loaded.value("A\\B", "v"),
              (RegValue{REG_EXPAND_SZ, moxalo::text::stringValueData("AB")}));
    EXPECT_EQ(loaded.value("A\\B", ""), (RegValue{REG_SZ, moxalo::text::stringValueData("s")}));
    EXPECT_EQ(loaded.value("A\\B", "r"),
              (RegValue{REG_SZ, moxalo::text::stringValueData("raw \u00e9")}));
}

TEST(WineRegistryFile, RefusesOnlyWhatWineserverRefusesWhole) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "/p/user.reg: line 1: not a Wine registry file"},
        {"REGEDIT4\n", "/p/user.reg: line 1: not a Wine registry file"},
        {"WINE REGISTRY Version 1\n", "line 1: not a Wine registry file"},
        {"WINE REGISTRY Version 2\n#arch=win16\n", "line 2: unknown architecture \"win16\""},
    };
    for (const auto& [text, message] : cases)
        EXPECT_NE(errorOf(text).find(message), std::string::npos) << errorOf(text);
}

// Each case is a value line that is skipped; the value after it is still read.
TEST(WineRegistryFile, AMalformedValueLineIsSkippedAndReported) {
    const std::pair<std::string, std::string> cases[] = {
        {"@=\"cut in the mid", "value skipped: the string has no closing quote"},
        {"\"v\"=hex:01,2g", "value skipped: malformed hex data"},
        {"\"v\"=hex:123", "value skipped: malformed hex byte"},
        {"\"v\"=hex(zz):01", "value skipped: malformed value type"},
        {"\"v\"=\"x\" junk", "value skipped: unexpected text after the string"},
        {"\"v\" \"x\"", "value skipped: \"=\" missing after the value name"},
        {"\"v", "value skipped: the value name has no closing quote"},
        {"\"" + std::string(16384, 'n') + "\"=\"x\"",
         "value skipped: the value name is longer than 16383 characters"},
    };
    for (const auto& [line, message] : cases) {
        SCOPED_TRACE(line.substr(0, 40));
        Loaded loaded(kHeader + "\n[K] 1\n" + line + "\n\"after\"=\"ok\"\n");
        EXPECT_EQ(loaded.problems(), "7: " + message + "\n");
        EXPECT_EQ(loaded.value("K", "after"),
                  (RegValue{REG_SZ, moxalo::text::stringValueData("ok")}));
        EXPECT_EQ(MemoryStore::node(loaded.key("K"))->values.size(), 1u);
    }
}

// What wineserver keeps of a file with broken lines, which is also what is written back.
TEST(WineRegistryFile, ADamagedFileKeepsEverythingElse) {
    const std::pair<std::string, bool> lines[] = {
        {"", true},
        {"[Good] 1700000000", true},
        {"#time=1", true},
        {"\"a\"=\"1\"", true},
        {"\"bad\"=dword:xyz", false},
        {"\"b\"=\"2\"", true},
        {"", true},
        {"[Bad\\\\Cla 1700000000", false},
        {"#time=2", false},
        {"\"lost\"=\"x\"", false},
        {"", false},
        {"[Next] 1700000000", true},
        {"#time=3", true},
        {"\"c\"=\"3\"", true},
        {"\"cut\"=hex:01,\\", false},
        {"\"swallowed\"=\"y\"", false},
        {"\"h\"=hex:01,02", true},
        {"\"t\"=str(9):\"x\"", false},
        {"junk", false},
        {"", true},
        {"[Odd] soon", true},
        {"#time=4", true},
        {"@=\"4\"", true},
    };
    std::string text = kHeader;
    std::string kept = kHeader;
    for (const auto& [line, keep] : lines) {
        text += line + "\n";
        kept += keep ? line + "\n" : "";
    }
    Loaded loaded(text);
    EXPECT_EQ(loaded.problems(),
              "9: value skipped: malformed dword\n"
              "12: key not read: the closing \"]\" is missing; the values after it are skipped\n"
              "14: value skipped: its key (line 12) was not read\n"
              "19: value skipped: malformed hex data (on line 20)\n"
              "22: value skipped: unknown value type\n"
              "23: line skipped: it is not a key, a value or a comment\n"
              "25: the text after the key name is not a time; the key is read\n");
    EXPECT_EQ(loaded.value("Good", "b"), (RegValue{REG_SZ, moxalo::text::stringValueData("2")}));
    EXPECT_EQ(loaded.value("Next", "h"), (RegValue{REG_BINARY, {1, 2}}));
    EXPECT_EQ(loaded.value("Odd", ""), (RegValue{REG_SZ, moxalo::text::stringValueData("4")}));
    EXPECT_EQ(loaded.key("Bad"), kNoNode);
    EXPECT_EQ(loaded.written(), kept);
}
