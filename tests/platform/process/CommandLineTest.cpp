// Windows command lines split as CommandLineToArgvW splits them, and the program names that
// stand for the program's own stand-ins.

#include "platform/process/CommandLine.h"

#include "runtime/StandIns.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using moxalo::process::resolveProgram;
using moxalo::process::splitCommandLine;

namespace {

struct Split {
    const char* what;
    std::string line;
    std::vector<std::string> args;
};

void expectSplits(const std::vector<Split>& cases) {
    for (const Split& c : cases) {
        SCOPED_TRACE(std::string(c.what) + ": " + c.line);
        EXPECT_EQ(splitCommandLine(c.line), c.args);
    }
}

} // namespace

TEST(SplitCommandLine, BlanksAndQuotes) {
    expectSplits({
        {"runs of blanks and tabs separate", "p a  b\t \tc", {"p", "a", "b", "c"}},
        {"blanks at the end give no empty argument", "p a  \t", {"p", "a"}},
        {"quotes group", R"(p "a b" c)", {"p", "a b", "c"}},
        {"quotes inside an argument", R"(p a"b c"d e)", {"p", "ab cd", "e"}},
        {"empty quotes are an empty argument", R"(p "" x "")", {"p", "", "x", ""}},
        {"unterminated quote runs to the end", R"(p "a b  )", {"p", "a b  "}},
        {"doubled quote inside quotes", R"(p "a""b")", {"p", R"(a"b)"}},
        // The doubled quote ends the quoting: the blank after it separates.
        {"doubled quote ends the quoting", R"(p "a""b c")", {"p", R"(a"b)", "c"}},
        {"three quotes outside quotes", R"(p """a""")", {"p", R"("a")"}},
        {"three quotes inside quotes stay quoted", R"(p "a"""b c")", {"p", R"(a"b c)"}},
        {"four quotes", R"(p """" x)", {"p", R"(" x)"}},
    });
}

TEST(SplitCommandLine, Backslashes) {
    expectSplits({
        {"not before a quote they are literal",
         R"(p \\server\share a\b\)",
         {"p", R"(\\server\share)", R"(a\b\)"}},
        {"2n before a quote: n, and the quote groups", R"(p a\\\\"b c")", {"p", R"(a\\b c)"}},
        {"2n+1 before a quote: n and a literal quote", R"(p a\\\"b c)", {"p", R"(a\"b)", "c"}},
        {"one before a quote", R"(p a\"b)", {"p", R"(a"b)"}},
        {"escaped quote inside quotes", R"(p "a \"b\" c")", {"p", R"(a "b" c)"}},
        {"a folder's trailing backslash doubled before the closing quote",
         R"(p "C:\dir\\" x)",
         {"p", R"(C:\dir\)", "x"}},
        {"a single one escapes the closing quote", R"(p "C:\dir\" x)", {"p", R"(C:\dir" x)"}},
        {"at the end of the line", R"(p a\\)", {"p", R"(a\\)"}},
    });
}

TEST(ResolveProgram, TheStandInsAreInTheProgramFolderAndOtherNamesStayAsTheyAre) {
    const std::string folder = "/opt/my tools";
    for (const char* name : {"regedit", "REGEDIT", "RegEdit.exe", "regedit.EXE"})
        EXPECT_EQ(resolveProgram(name, moxalo::runtime::standIns(folder)),
                  "/opt/my tools/moxalo-regedit")
            << name;
    for (const char* name : {"notepad", "Notepad", "NOTEPAD.EXE", "notepad.Exe"})
        EXPECT_EQ(resolveProgram(name, moxalo::runtime::standIns(folder)),
                  "/opt/my tools/moxalo-notepad")
            << name;
    for (const char* name : {"xdg-open", "Regedit32", "notepad++", "regedit.exe.bak", "regedit.com",
                             "/usr/bin/regedit", R"(C:\Windows\notepad.exe)", "exe", ""})
        EXPECT_EQ(resolveProgram(name, moxalo::runtime::standIns(folder)), name) << name;
}

namespace {

// File names a stranger may send, each a way a command line can go wrong: runs of blanks, a
// tab, quotes with and without backslashes before them, a backslash at the end, shell syntax,
// a line break, non-ASCII letters.
const std::vector<std::string> kHostileNames = {
    "/home/u/My  Backups/a   b.reg", "/tmp/tab\there.reg",
    "/tmp/\"quoted\" name.reg",      "/tmp/back\\\"slash\\\\\".reg",
    "/tmp/ends in a backslash\\",    "/tmp/x; rm -rf ~ $(touch pwned) `id` & |.reg",
    "/tmp/line\nbreak\r\n.reg",      "/tmp/Ünïcödé Ελληνικά 日本.reg",
    "/tmp/\"\"double\"\" \"\".reg",  " /tmp/leading and trailing blanks ",
};

} // namespace

TEST(CommandLineQuoting, TheStandInsGetTheRestOfTheLineAsItIs) {
    using moxalo::process::programStart;
    for (const auto& name : kHostileNames) {
        auto start = programStart("regedit /I " + name, moxalo::runtime::standIns("/opt/moxalo"));
        EXPECT_EQ(start.program, "/opt/moxalo/moxalo-regedit");
        EXPECT_EQ(start.arguments, (std::vector<std::string>{"--command-line", "/I " + name}));
        EXPECT_EQ(moxalo::process::trailingFileName(name), name) << "unquoted, as it is";
    }
    auto notepad = programStart("\"NOTEPAD.EXE\"   a  b", moxalo::runtime::standIns("/opt/moxalo"));
    EXPECT_EQ(notepad.program, "/opt/moxalo/moxalo-notepad");
    EXPECT_EQ(notepad.arguments, (std::vector<std::string>{"--command-line", "a  b"}));
    // Any other program gets the line split, never through a shell.
    auto other = programStart("xdg-open \"a  b\" $(c)", moxalo::runtime::standIns("/opt/moxalo"));
    EXPECT_EQ(other.program, "xdg-open");
    EXPECT_EQ(other.arguments, (std::vector<std::string>{"a  b", "$(c)"}));
    // A file name given in quotes, as users write `regedit /s "C:\My Files\x.reg"`.
    EXPECT_EQ(moxalo::process::trailingFileName("\"C:\\My  Files\\x.reg\""),
              "C:\\My  Files\\x.reg");
}
