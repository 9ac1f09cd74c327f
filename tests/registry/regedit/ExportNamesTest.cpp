// Names in an export: each one written is read back as itself, and one that a .reg file cannot
// carry stops the export with a message naming it.

#include "registry/regedit/RegFileExport.h"
#include "tests/registry/regedit/RegFileTestSupport.h"
#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

namespace moxalo::regfile::test {
namespace {

using registry::MemoryStore;
using registry::NodeId;

// Key names that look like the syntax around them in a key line, and the longest there are.
const std::vector<std::string> kKeyNames = {
    "]", "[", "\"", ";x", "=", "-", "-x", "[-HKEY_CLASSES_ROOT]", "x ", " x", "\t", "a]b[c", "@",
    "#", "x]\t;comment", "HKEY_CLASSES_ROOT", "/", "%", "a\"b\"c", "ü日本\U0001F600",
    "\xEF\xBB\xBF", std::string(255, 'k'),
    // Halves of surrogate pairs alone, as the program's text keeps them (see Utf16.h).
    "\xED\xA0\x80", "a\xED\xB3\xBF", "\xED\xB0\x80\xED\xA0\x80"};
// Value names that look like the syntax of a value line, line breaks included.
const std::vector<std::string> kValueNames = {
    "a\r\nb",      "\r", "\n", "\"",   "\\",
    "\\\"",        "=",  "@",  "a]",   ";c",
    "x ",          "\t", "-",  "\"=-", std::string(16383, 'v'),
    "\xED\xA0\x80"};

// What regedit /e writes for HKEY_CLASSES_ROOT of `store`, whose top keys are the roots.
std::string exportClasses(MemoryStore& store) {
    return exportRegFile(store, store.findPath(store.rootNode(), "HKEY_CLASSES_ROOT"),
                         "HKEY_CLASSES_ROOT");
}

// The message `write` stops with, or "" when it is written.
template <typename Write> std::string refusal(Write write) {
    try {
        write();
    } catch (const registry::StoreError& e) {
        return e.what();
    }
    return "";
}

TEST(RegFileExportNames, ExportImportExportGivesTheSameFile) {
    MemoryStore store;
    NodeId classes = store.createPath("HKEY_CLASSES_ROOT");
    for (const std::string& name : kKeyNames) {
        NodeId key = store.createKey(classes, name);
        store.createKey(key, name);
        for (const std::string& value : kValueNames)
            store.setValue(key, value, testing::sz(name));
    }
    std::string first = exportClasses(store);
    Imported back;
    back.result = importRegFile(first, back.store);
    EXPECT_EQ(back.diagnostics(), "");
    for (const std::string& name : kKeyNames) {
        NodeId key = back.key("HKEY_CLASSES_ROOT\\" + name);
        ASSERT_NE(key, registry::kNoNode) << name;
        EXPECT_EQ(back.store.childCount(key), 1u) << name;
        EXPECT_EQ(back.store.childName(key, 0), name);
        EXPECT_EQ(moxalo::testing::valueNames(back.store, key),
                  std::vector<std::string>(kValueNames.begin(), kValueNames.end()));
    }
    EXPECT_EQ(back.store.childCount(back.key("HKEY_CLASSES_ROOT")), kKeyNames.size());
    EXPECT_EQ(exportClasses(back.store), first);
    // The .reg store writes itself the same way.
    Imported again;
    again.result = importRegFile(exportRegFileTree(back.store, {5, true}), again.store);
    EXPECT_EQ(again.diagnostics(), "");
    EXPECT_EQ(exportClasses(again.store), first);
}

TEST(RegFileExportNames, ANameThatCannotBeReadBackStopsTheExport) {
    const std::string lineBreak =
        ": its name holds a line break, which would end the key's line in a .reg file";
    const std::string tooLong = ": its name is longer than the 255 characters a key name may have";
    struct Case {
        std::string key;   // below HKEY_CLASSES_ROOT\.a
        std::string value; // a value of .a
        std::string message;
    };
    const std::vector<Case> cases = {
        {"x\r\ny", "", "cannot write HKEY_CLASSES_ROOT\\.a\\x\\r\\ny" + lineBreak},
        {"\n", "", "cannot write HKEY_CLASSES_ROOT\\.a\\\\n" + lineBreak},
        {"\r[-HKEY_CLASSES_ROOT", "",
         "cannot write HKEY_CLASSES_ROOT\\.a\\\\r[-HKEY_CLASSES_ROOT" + lineBreak},
        {std::string(256, 'k'), "",
         "cannot write HKEY_CLASSES_ROOT\\.a\\" + std::string(256, 'k') + tooLong},
        {std::string(255, 'k'), std::string("a\0b", 3),
         "cannot write HKEY_CLASSES_ROOT\\.a: the name of its value \"a\\0b\" holds a NUL "
         "character, which a .reg file cannot carry"},
        {"k", std::string(16384, 'v'),
         "cannot write HKEY_CLASSES_ROOT\\.a: the name of its value \"" + std::string(16384, 'v') +
             "\" is longer than the 16383 characters a value name may have"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.substr(0, 80));
        MemoryStore store;
        NodeId a = store.createPath("HKEY_CLASSES_ROOT\\.a");
        store.createKey(a, c.key);
        if (!c.value.empty())
            store.setValue(a, c.value, testing::sz("x"));
        EXPECT_EQ(refusal([&] { exportClasses(store); }), c.message);
        EXPECT_EQ(refusal([&] { exportRegFileTree(store, {5, true}); }), c.message);
    }
}

} // namespace
} // namespace moxalo::regfile::test
