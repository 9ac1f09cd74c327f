// The profile functions against the values, lists and file bytes that Windows gives.

#include "platform/profile/Profile.h"

#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>
#include <string>

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

std::string withLineEnds(std::string text, const std::string& end) {
    std::string out;
    for (char c : text)
        out += c == '\n' ? end : std::string(1, c);
    return out;
}

const char* const kSample = "top=before any section\n"
                            "[Section1]\n"
                            "  Key1 =  value one  \n"
                            "a=b=c\n"
                            "=emptyname\n"
                            "NoEquals\n"
                            "; comment=with equals\n"
                            "#hash=comment?\n"
                            "\n"
                            "dup=first\n"
                            "dup=second\n"
                            "quoted=\"quoted\"\n"
                            "empty=\"\"\n"
                            "unbalanced=\"unbalanced\n"
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
        {"Section1", "a", "b=c"},
        {"Section1", "; comment", "<default>"},
        {"Section1", "#hash", "comment?"},
        {"Section1", "dup", "first"},
        {"Section1", "quoted", "quoted"},
        {"Section1", "unbalanced", "\"unbalanced"},
        {"Section1", "inner", "a\"b"},
        {"Section1", "sp", " spaced "},
        {"Section1", "[Broken", "kept"},
        {"SECTION1", "\xC3\xA4RGER", "umlaut"},
        {"Section1", "", "<default>"},
        {"spaced section", "K", "v"},
        {"x]y", "kx", "vx"},
        {"Section1", "dupsec", "<default>"},
        {"", "blankname", "<default>"},
        {"", "top", "<default>"},
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
        {"a", 1, "", 0},
        {"one", 9, "value on", 8},
        {"one", 10, "value one", 9},
        // The closing quote comes off only if the copy reached it or fell one short.
        {"key2", 6, "quote", 5},
        {"key2", 7, "quote", 5},
        {"key2", 8, "quoted", 6},
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
        {" Main ", " Padded ", "   lead and trail  ", "lead and trail"},
        {"Main", "Kept", "\" spaced \"", " spaced "},
        {"Other", "Utf8", "\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(WritePrivateProfileStringA(c.section, c.key, c.written, file.c_str()), 0)
            << c.key;
        EXPECT_EQ(value(file, c.section, c.key), c.read) << c.key;
    }
    for (const auto& c : cases)
        EXPECT_EQ(value(file, c.section, c.key), c.read) << c.key << " after the others";
    EXPECT_EQ(readFile(file), "[Main]\r\nFolder=/home/user/My Files\r\n"
                              "Padded=lead and trail  \r\nKept=\" spaced \"\r\n"
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

TEST(ProfileWrite, RefusesWhatWouldNotReadBack) {
    TempDir dir;
    std::string file = dir.file("test.ini");
    const std::string content = "[S]\r\nk=v\r\n";
    writeFile(file, content);
    const char* writes[][3] = {
        {"S", "k", "line1\r\nline2"},
        {"S\nT", "k", "v"},
        {nullptr, "k", "v"},
        {"  ", "k", "v"},
        {"S", "a=b", "v"},
        {"S", ";k", "v"},
        // Deleting, which Windows does for a NULL key or value, is not offered.
        {"S", "k", nullptr},
        {"S", nullptr, "v"},
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

} // namespace
} // namespace moxalo::profile
