// The profile functions against the values, lists and file bytes that Windows gives.

#include "platform/profile/Profile.h"

#include "tests/support/TestRegistry.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace moxalo::profile {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

struct Copied {
    std::string text; // up to the NUL after the returned count, or beyond it for lists
    DWORD ret;
};

// What GetPrivateProfileStringA puts in a buffer of `size` bytes. The buffer is filled with
// '#' first, so that a missing NUL or a write beyond `size` shows.
Copied get(const std::string& file, const char* section, const char* key, const char* dflt,
           DWORD size = 260) {
    std::string buffer(size + 8, '#');
    DWORD ret = GetPrivateProfileStringA(section, key, dflt, buffer.data(), size, file.c_str());
    EXPECT_EQ(buffer.substr(size), std::string(8, '#')) << "written beyond the buffer";
    if (size > 0) {
        EXPECT_EQ(buffer[ret], '\0') << "no NUL after the returned count";
    }
    return {buffer.substr(0, ret), ret};
}

std::string value(const std::string& file, const char* section, const char* key,
                  const char* dflt = "<default>") {
    return get(file, section, key, dflt).text;
}

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st.st_ino;
}

std::string withLineEnds(std::string text, const std::string& end) {
    std::string out;
    for (char c : text)
        out += c == '\n' ? end : std::string(1, c);
    return out;
}

const char* const kSample = "top=before any section\n"
                            "[Section1]\n"
                            "  Key1 =  value one  \n"
                            "tab\t=\ttabbed\t\n"
                            "a=b=c\n"
                            "=emptyname\n"
                            "NoEquals\n"
                            "; comment=with equals\n"
                            "#hash=comment?\n"
                            "\n"
                            "dup=first\n"
                            "dup=second\n"
                            "quoted=\"quoted\"\n"
                            "single='single'\n"
                            "empty=\"\"\n"
                            "lone=\"\n"
                            "unbalanced=\"unbalanced\n"
                            "mixed='x\"\n"
                            "inner=\"a\"b\"\n"
                            "sp = \" spaced \" \n"
                            "[Broken=kept\n"
                            "\xC3\x84rger=umlaut\n"
                            "[ Spaced Section ]\n"
                            "k=v\n"
                            "[x]y]z\n"
                            "kx=vx\n"
                            "[section1]\n"
                            "dupsec=hidden\n"
                            "[ ]\n"
                            "blankname=v\n";

TEST(ProfileRead, FindsValuesWhateverTheLineEndsCaseAndBlanks) {
    const struct {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Section1", "Key1", "value one"},
        {" Section1 ", " key1 ", "value one"},
        {"SECTION1", "KEY1", "value one"},
        {"Section1", "tab", "tabbed"},
        {"Section1", "a", "b=c"},
        {"Section1", "NoEquals", "<default>"},
        {"Section1", "; comment", "<default>"},
        {"Section1", "#hash", "comment?"},
        {"Section1", "dup", "first"},
        {"Section1", "quoted", "quoted"},
        {"Section1", "single", "single"},
        {"Section1", "empty", ""},
        {"Section1", "lone", "\""},
        {"Section1", "unbalanced", "\"unbalanced"},
        {"Section1", "mixed", "'x\""},
        {"Section1", "inner", "a\"b"},
        {"Section1", "sp", " spaced "},
        {"Section1", "[Broken", "kept"},
        {"SECTION1", "\xC3\xA4RGER", "umlaut"},
        {"Section1", "", "<default>"},
        {"Section1", "missing", "<default>"},
        {"spaced section", "K", "v"},
        {"x]y", "kx", "vx"},
        {"Section1", "dupsec", "<default>"},
        {"", "blankname", "<default>"},
        {"", "top", "<default>"},
        {"Missing", "Key1", "<default>"},
    };
    TempDir dir;
    for (const char* end : {"\r\n", "\n", "\r"}) {
        std::string file = dir.file("sample.ini");
        writeFile(file, withLineEnds(kSample, end));
        for (const auto& c : cases)
            EXPECT_EQ(value(file, c.section, c.key), c.expected)
                << "[" << c.section << "] " << c.key << " with line ends "
                << (end[0] == '\n' ? "LF"
                    : end[1]       ? "CRLF"
                                   : "CR");
    }
    EXPECT_EQ(value(dir.file("missing.ini"), "Section1", "Key1"), "<default>");
}

TEST(ProfileRead, DefaultLosesTrailingSpacesAndQuotes) {
    const struct {
        const char* dflt;
        const char* expected;
    } cases[] = {
        {nullptr, ""},
        {"default  ", "default"},
        {"one two  ", "one two"},
        {"\"quoted default\"", "quoted default"},
        {"\" spaced \"  ", " spaced "},
        {"  leading", "  leading"},
        {"tab\t", "tab\t"},
    };
    TempDir dir;
    std::string file = dir.file("test.ini");
    writeFile(file, "[s]\r\nk=v\r\n");
    for (const auto& c : cases) {
        std::string shown = c.dflt ? c.dflt : "NULL";
        EXPECT_EQ(value(file, "s", "missing", c.dflt), c.expected) << shown;
        EXPECT_EQ(value(file, "missing", "k", c.dflt), c.expected) << shown;
        EXPECT_EQ(value(dir.file("missing.ini"), "s", "k", c.dflt), c.expected) << shown;
    }
}

TEST(ProfileRead, CopiesAtMostOneByteLessThanTheBuffer) {
    TempDir dir;
    std::string file = dir.file("test.ini");
    writeFile(file, "[s]\r\nval=val1\r\na=a\r\none=  value one\r\nkey2=\"quoted\"\r\n");
    const struct {
        const char* key;
        DWORD size;
        const char* text;
        DWORD ret;
    } cases[] = {
        {"val", 5, "val1", 4},
        {"val", 4, "val", 3},
        {"a", 1, "", 0},
        {"a", 260, "a", 1},
        {"one", 2, "v", 1},
        {"one", 9, "value on", 8},
        {"one", 10, "value one", 9},
        // The closing quote comes off only if the copy reached it or fell one short.
        {"key2", 6, "quote", 5},
        {"key2", 7, "quote", 5},
        {"key2", 8, "quoted", 6},
        {"key2", 2, "q", 1},
        {"missing", 4, "def", 3},
    };
    for (const auto& c : cases) {
        Copied copied = get(file, "s", c.key, "default", c.size);
        EXPECT_EQ(copied.text, c.text) << c.key << " size " << c.size;
        EXPECT_EQ(copied.ret, c.ret) << c.key << " size " << c.size;
    }

    char untouched[4] = {'x', 'y', 'z', '\0'};
    EXPECT_EQ(GetPrivateProfileStringA("s", "val", "", untouched, 0, file.c_str()), 0u);
    EXPECT_STREQ(untouched, "xyz");
    EXPECT_EQ(GetPrivateProfileStringA("s", "val", "", nullptr, 10, file.c_str()), 0u);
}

// A read of a value written: writes keep it readable however it was given.
TEST(ProfileWrite, ValuesReadBackAsWritten) {
    TempDir dir;
    std::string file = dir.file("test.ini");
    const struct {
        const char* section;
        const char* key;
        const char* written;
        const char* read;
    } cases[] = {
        {"Main", "Folder", "/home/user/My Files", "/home/user/My Files"},
        {"Main", "Empty", "", ""},
        {" Main ", " Padded ", "   lead and trail  ", "lead and trail"},
        {"Main", "Kept", "\" spaced \"", " spaced "},
        {"Main", "Equals", "a=b", "a=b"},
        {"Other", "Utf8", "\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(WritePrivateProfileStringA(c.section, c.key, c.written, file.c_str()), 0)
            << c.key;
        EXPECT_EQ(value(file, c.section, c.key), c.read) << c.key;
    }
    for (const auto& c : cases)
        EXPECT_EQ(value(file, c.section, c.key), c.read) << c.key << " after the others";
    EXPECT_EQ(readFile(file), "[Main]\r\nFolder=/home/user/My Files\r\nEmpty=\r\n"
                              "Padded=lead and trail  \r\nKept=\" spaced \"\r\nEquals=a=b\r\n"
                              "[Other]\r\nUtf8=\xC3\xA9t\xC3\xA9\r\n");
}

TEST(ProfileWrite, ChangesOnlyTheLinesItConcerns) {
    using namespace std::string_literals;
    const std::string before = "; settings\r\n  odd\0line  \r\n\r\n"s + "[Main]\r\n"
                                                                        "  Key1 =  value one  \r\n"
                                                                        "; the folder\r\n"
                                                                        "Other=x\r\n"
                                                                        "\r\n"
                                                                        "[Next]\r\n"
                                                                        "n=1";
    const struct {
        const char* section;
        const char* key;
        const char* value;
        const char* from;
        const char* to;
    } cases[] = {
        // Replaced in place; the key keeps its spelling and indentation.
        {"MAIN", "KEY1", "two", "  Key1 =  value one  \r\n", "  Key1 =two\r\n"},
        // Added after the section's last line, before the blank line that parts it from the next.
        {"main", "New", "added", "Other=x\r\n", "Other=x\r\nNew=added\r\n"},
        {"Next", "m", "2", "n=1", "n=1\r\nm=2\r\n"},
        {"Added", "k", "v", "n=1", "n=1\r\n[Added]\r\nk=v\r\n"},
    };
    TempDir dir;
    std::string file = dir.file("test.ini");
    for (const auto& c : cases) {
        writeFile(file, before);
        std::string expected = before;
        expected.replace(expected.find(c.from), std::string(c.from).size(), c.to);
        EXPECT_NE(WritePrivateProfileStringA(c.section, c.key, c.value, file.c_str()), 0);
        EXPECT_EQ(readFile(file), expected) << c.section << " " << (c.key ? c.key : "NULL");
    }
}

TEST(ProfileWrite, KeepsTheFileLineEndsAndEncoding) {
    TempDir dir;
    std::string file = dir.file("test.ini");
    writeFile(file, "[A]\nx=1\n\n;c\n[B]\ry=2\r");
    EXPECT_NE(WritePrivateProfileStringA("A", "x", "9", file.c_str()), 0);
    EXPECT_NE(WritePrivateProfileStringA("B", "z", "3", file.c_str()), 0);
    EXPECT_EQ(readFile(file), "[A]\nx=9\n\n;c\n[B]\ry=2\rz=3\r\n");

    writeFile(file, "\xEF\xBB\xBF[A]\r\nx=1\r\n");
    EXPECT_NE(WritePrivateProfileStringA("A", "x", "\xC3\xA9", file.c_str()), 0);
    EXPECT_EQ(readFile(file), "\xEF\xBB\xBF[A]\r\nx=\xC3\xA9\r\n");
    EXPECT_EQ(value(file, "A", "x"), "\xC3\xA9");

    using namespace std::string_literals;
    const std::string le = "\xFF\xFE[\0A\0]\0\r\0\n\0x\0=\0\xE9\0\r\0\n\0"s;
    const std::string be = "\xFE\xFF\0[\0A\0]\0\r\0\n\0x\0=\0\xE9\0\r\0\n"s;
    for (const std::string& utf16 : {le, be}) {
        writeFile(file, utf16);
        EXPECT_EQ(value(file, "a", "X"), "\xC3\xA9");
        EXPECT_NE(WritePrivateProfileStringA("A", "y", "\xE2\x82\xAC", file.c_str()), 0);
        std::string added = "y\0=\0\xAC\x20\r\0\n\0"s;
        if (utf16 == be)
            for (std::size_t i = 0; i + 1 < added.size(); i += 2)
                std::swap(added[i], added[i + 1]);
        EXPECT_EQ(readFile(file), utf16 + added);
        EXPECT_EQ(value(file, "A", "y"), "\xE2\x82\xAC");
    }
}

// Writing what is already there leaves the very same file: no new file is put in its place.
TEST(ProfileWrite, LeavesTheFileAloneWhenNothingChanges) {
    TempDir dir;
    std::string file = dir.file("test.ini");
    const std::string content = "[S]\r\n  Key =  same  \r\nq=\"x\"";
    writeFile(file, content);
    ino_t inode = inodeOf(file);
    const char* writes[][3] = {{"s", "KEY", "same"}, {"S", "Key", "  same"}, {"S", "q", "\"x\""}};
    for (auto [section, key, text] : writes) {
        EXPECT_NE(WritePrivateProfileStringA(section, key, text, file.c_str()), 0) << key;
        EXPECT_EQ(readFile(file), content) << key;
        EXPECT_EQ(inodeOf(file), inode) << key;
    }
}

TEST(ProfileWrite, RefusesWhatWouldNotReadBack) {
    TempDir dir;
    std::string file = dir.file("test.ini");
    const std::string content = "[S]\r\nk=v\r\n";
    writeFile(file, content);
    const char* writes[][3] = {
        {"S", "k", "line1\r\nline2"},
        {"S", "k", "a\nb"},
        {"S", "k", "a\rb"},
        {"S\nT", "k", "v"},
        {"S", "k\rx", "v"},
        {nullptr, "k", "v"},
        {"  ", "k", "v"},
        {"S", " ", "v"},
        {"S", "a=b", "v"},
        {"S", ";k", "v"},
        {"S", "[k]", "v"},
        // Deleting, which Windows does for a NULL key or value, is not offered.
        {"S", "k", nullptr},
        {"S", nullptr, "v"},
        {nullptr, nullptr, nullptr},
    };
    for (auto [section, key, text] : writes)
        EXPECT_EQ(WritePrivateProfileStringA(section, key, text, file.c_str()), 0)
            << (section ? section : "NULL") << " " << (key ? key : "NULL") << " "
            << (text ? text : "NULL");
    EXPECT_EQ(readFile(file), content);
    EXPECT_EQ(WritePrivateProfileStringA("S", "k", "v", ""), 0);
    EXPECT_EQ(WritePrivateProfileStringA("S", "k", "v", nullptr), 0);
    char buffer[8] = "#######";
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "d", buffer, sizeof buffer, file.c_str()),
              0u);
    EXPECT_EQ(buffer[0], '\0');
}

TEST(ProfileWrite, FailsAndLeavesTheFileWhenItCannotBeWritten) {
    TempDir dir;
    const std::string content = "[S]\r\nk=v\r\n";

    std::string locked = dir.file("locked.ini");
    writeFile(locked, content);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
    EXPECT_EQ(WritePrivateProfileStringA("S", "k", "new", locked.c_str()), 0);
    EXPECT_EQ(readFile(locked), content);

    std::string folder = dir.file("folder");
    std::filesystem::create_directory(folder);
    std::string inFolder = folder + "/test.ini";
    writeFile(inFolder, content);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_exec);
    EXPECT_EQ(WritePrivateProfileStringA("S", "k", "new", inFolder.c_str()), 0);
    EXPECT_EQ(readFile(inFolder), content);
    EXPECT_EQ(WritePrivateProfileStringA("S", "k", "v", (folder + "/new.ini").c_str()), 0);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1)
        << "a temporary file was left behind";

    EXPECT_EQ(WritePrivateProfileStringA("S", "k", "v", dir.file("no/such/dir.ini").c_str()), 0);
    EXPECT_EQ(WritePrivateProfileStringA("S", "k", "v", folder.c_str()), 0) << "a folder";
    EXPECT_EQ(value(folder, "S", "k"), "<default>");
}

} // namespace
} // namespace moxalo::profile
