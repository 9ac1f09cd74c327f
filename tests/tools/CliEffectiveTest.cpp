// What moxalo-cli says really opens a file: resolve, list --effective, open-with, apps and
// wine-exports, in each of their formats, on a small registry made by hand and on a real
// user's hives.

#include "tests/support/CliRunner.h"
#include "tests/support/SharedHives.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

#ifdef MOXALO_TEST_QT_JSON
#include <QJsonDocument>
#include <QJsonObject>
#endif

using namespace moxalo::testing;

namespace {

// One user's registry as a .reg export holds it: the machine's classes, the user's choice of
// program for .txt and its Open With list, an application that claims .txt, and what Wine
// recorded of the .chm type it put on the desktop.
const char* const kUserRegistry =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.txt]\r\n@=\"txtfile\"\r\n"
    "\"PerceivedType\"=\"text\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.log]\r\n@=\"txtfile\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\txtfile]\r\n@=\"Text Document\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\txtfile\\shell\\open\\command]\r\n"
    "@=\"notepad.exe %1\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\txtfile\\shell\\print\\command]\r\n"
    "@=\"notepad.exe /p %1\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.chm]\r\n@=\"chm.file\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\chm.file\\shell\\open\\command]\r\n"
    "@=\"hh.exe %1\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.txt\\"
    "UserChoice]\r\n\"ProgId\"=\"txtfile\"\r\n\"Hash\"=\"AAAAAAAAAAA=\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.txt\\"
    "OpenWithList]\r\n\"a\"=\"NOTEPAD.EXE\"\r\n\"b\"=\"WORDPAD.EXE\"\r\n\"MRUList\"=\"ba\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\RegisteredApplications]\r\n"
    "\"Editor\"=\"Software\\\\Editor\\\\Capabilities\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Editor\\Capabilities]\r\n\"ApplicationName\"=\"Editor\"\r\n"
    "\"ApplicationDescription\"=\"Edits text\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Editor\\Capabilities\\FileAssociations]\r\n"
    "\".txt\"=\"EditorFile\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\FileOpenAssociations\\.chm]\r\n"
    "\"ProgID\"=\"chm.file\"\r\n\"MimeType\"=\"application/x-wine-extension-chm\"\r\n\r\n";

std::vector<std::string> split(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t end; (end = line.find(separator, start)) != std::string::npos; start = end + 1)
        fields.push_back(line.substr(start, end - start));
    fields.push_back(line.substr(start));
    return fields;
}

// The line that starts with `start`, "" when none does.
std::string lineStarting(const std::string& text, const std::string& start) {
    for (const std::string& line : lines(text)) {
        if (line.starts_with(start))
            return line;
    }
    return "";
}

// Whether `text` is one JSON document; only checked where the tests are built with Qt.
bool parsesAsJson(const std::string& text) {
#ifdef MOXALO_TEST_QT_JSON
    QJsonParseError error;
    QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    return error.error == QJsonParseError::NoError;
#else
    return text.starts_with("{") || text.starts_with("[");
#endif
}

struct UserRegistry {
    TempDir dir;
    std::string reg = dir.file("user registry.reg");
    UserRegistry() { writeFile(reg, kUserRegistry); }
    CliRun run(std::vector<std::string> args, std::vector<std::string> env = {}) {
        args.insert(args.begin(), {"--registry", reg});
        return cli(std::move(args), dir, std::move(env));
    }
};

} // namespace

TEST(CliEffective, ResolveTellsEachStepWithItsKeyInAlignedColumnsAndInJson) {
    UserRegistry r;
    CliRun run = r.run({"resolve", ".txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(r.run({"resolve", "txt"}).out, run.out) << "the dot is optional";
    std::vector<std::string> out = lines(run.out);
    ASSERT_GE(out.size(), 3u) << run.out;
    // Every step's value starts under the heading's "Value", its key under "Key".
    std::size_t valueColumn = out[0].find("Value"), keyColumn = out[0].find("Key");
    ASSERT_TRUE(out[0].starts_with("Step ")) << out[0];
    std::string choice = lineStarting(run.out, "UserChoice ");
    ASSERT_NE(choice, "") << run.out;
    EXPECT_EQ(choice.substr(valueColumn, 8), "txtfile ") << run.out;
    EXPECT_EQ(choice.substr(keyColumn).rfind("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion"
                                             "\\Explorer\\FileExts\\.txt\\UserChoice",
                                             0),
              0u)
        << run.out;
    // A .reg file keeps no key times: the hash can be neither verified nor failed.
    EXPECT_NE(lineStarting(run.out, "Choice:").find("cannot be checked"), std::string::npos)
        << run.out;
    EXPECT_NE(lineStarting(run.out, "ProgID:").find("txtfile"), std::string::npos);
    EXPECT_NE(lineStarting(run.out, "Command:").find("notepad.exe %1"), std::string::npos);

    run = r.run({"resolve", "txt", "--verb", "print", "--format", "json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(parsesAsJson(run.out)) << run.out;
    EXPECT_NE(run.out.find("\"verb\": \"print\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"command\": \"notepad.exe /p %1\""), std::string::npos);
    EXPECT_NE(run.out.find("\"choice\": \"cannot be checked\""), std::string::npos);
    EXPECT_NE(run.out.find("\"hops\": [\n    {\"step\": "), std::string::npos);

    // What nothing opens is an answer: what was looked at, and no class.
    run = r.run({"resolve", ".nothing"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(lineStarting(run.out, "ProgID:").find("(none)"), std::string::npos) << run.out;
    EXPECT_NE(lineStarting(run.out, "Via:").find("none"), std::string::npos) << run.out;

    EXPECT_EQ(r.run({"resolve"}).status, 2);
    EXPECT_EQ(r.run({"resolve", "txt", "log"}).status, 2);
    EXPECT_EQ(r.run({"resolve", "txt", "--format", "csv"}).status, 2);
    EXPECT_EQ(r.run({"resolve", "txt", "--verb"}).status, 2);
}

TEST(CliEffective, ListEffectiveAddsFourColumnsToTheListAsItWas) {
    UserRegistry r;
    CliRun plain = r.run({"list"});
    CliRun effective = r.run({"list", "--effective"});
    ASSERT_EQ(effective.status, 0) << effective.err;
    std::vector<std::string> before = lines(plain.out), after = lines(effective.out);
    ASSERT_EQ(after.size(), before.size());
    ASSERT_EQ(before.size(), 3u) << plain.out;
    for (std::size_t i = 0; i < after.size(); ++i) {
        std::vector<std::string> fields = split(after[i], '\t');
        ASSERT_EQ(fields.size(), 8u) << after[i];
        EXPECT_TRUE(after[i].starts_with(before[i] + "\t")) << after[i];
    }

    CliRun csv = r.run({"list", "--effective", "--format", "csv"});
    std::vector<std::string> rows = lines(csv.out);
    ASSERT_EQ(rows.size(), 4u) << csv.out;
    EXPECT_EQ(rows[0],
              lines(r.run({"list", "--format", "csv"}).out)[0] + ",Default app,ProgID,Via,Choice");
    // .txt by the user's choice, .log by the machine's classes, .chm too.
    std::string txt = lineStarting(csv.out, "txt,"), log = lineStarting(csv.out, "log,");
    EXPECT_TRUE(txt.ends_with(",txtfile,UserChoice,cannot be checked")) << csv.out;
    EXPECT_TRUE(log.ends_with(",txtfile,machine class,none")) << csv.out;

    CliRun json = r.run({"list", "--format", "json", "--effective"});
    EXPECT_TRUE(parsesAsJson(json.out)) << json.out;
    EXPECT_NE(json.out.find("\"progId\": \"txtfile\", \"via\": \"UserChoice\", \"choice\": "
                            "\"cannot be checked\", \"dangling\": false, \"seenByWine\": true}"),
              std::string::npos)
        << json.out;
    EXPECT_EQ(r.run({"list", "--format", "json"}).out.find("progId"), std::string::npos);

    // JSON Lines: each row alone on its line, an object of its own, named by the label.
    std::vector<std::string> jsonl =
        lines(r.run({"list", "--effective", "--format", "jsonl", "--label", "pc \"7\""}).out);
    ASSERT_EQ(jsonl.size(), 3u);
    for (const std::string& line : jsonl) {
        EXPECT_TRUE(parsesAsJson(line)) << line;
        EXPECT_TRUE(line.starts_with("{\"label\": \"pc \\\"7\\\"\", \"record\": \"type\", "))
            << line;
    }
    EXPECT_NE(lineStarting(r.run({"list", "--format", "jsonl"}).out, "{").find(r.reg),
              std::string::npos);
}

TEST(CliEffective, OpenWithAppsAndWineExportsTellWhereEachEntryCameFrom) {
    UserRegistry r;
    CliRun run = r.run({"open-with", "txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    // The current choice first, the user's list in its MRU order, the claiming app last.
    std::size_t choice = run.out.find("txtfile"), wordpad = run.out.find("WORDPAD.EXE"),
                notepad = run.out.find("NOTEPAD.EXE"), editor = run.out.find("EditorFile");
    EXPECT_LT(choice, wordpad) << run.out;
    EXPECT_LT(wordpad, notepad) << run.out;
    EXPECT_LT(notepad, editor) << run.out;
    EXPECT_NE(editor, std::string::npos) << run.out;
    EXPECT_TRUE(lines(run.out)[1].starts_with("1  txtfile ")) << run.out;
    run = r.run({"open-with", ".txt", "--format", "json"});
    EXPECT_TRUE(parsesAsJson(run.out)) << run.out;
    EXPECT_NE(run.out.find("{\"handler\": \"NOTEPAD.EXE\", \"source\": "), std::string::npos);

    run = r.run({"apps"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Editor\n"), std::string::npos) << run.out;
    EXPECT_NE(lineStarting(run.out, "  Scope:").find("HKCU"), std::string::npos) << run.out;
    EXPECT_NE(lineStarting(run.out, "  file").find(".txt  EditorFile"), std::string::npos)
        << run.out;
    run = r.run({"apps", "--format", "json"});
    EXPECT_TRUE(parsesAsJson(run.out)) << run.out;
    EXPECT_NE(run.out.find("{\"name\": \".txt\", \"progId\": \"EditorFile\"}"), std::string::npos);

    // Wine wrote the .chm type's desktop file; Wine's rules leave out what runs Notepad.
    std::string dataHome = r.dir.file("data home");
    std::filesystem::create_directories(dataHome + "/applications");
    writeFile(dataHome + "/applications/wine-extension-chm.desktop", "[Desktop Entry]\n");
    run = r.run({"wine-exports"}, {"XDG_DATA_HOME=" + dataHome});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> chm = split(lineStarting(run.out, ".chm "), ' ');
    std::erase(chm, "");
    ASSERT_GE(chm.size(), 6u) << run.out;
    EXPECT_EQ(std::vector<std::string>(chm.end() - 4, chm.end()),
              (std::vector<std::string>{"yes", "yes", "yes", "no"}))
        << run.out;
    EXPECT_NE(lineStarting(run.out, ".txt ").find(" no "), std::string::npos) << run.out;
    run = r.run({"wine-exports", "--format", "json"}, {"XDG_DATA_HOME=relative"});
    EXPECT_TRUE(parsesAsJson(run.out)) << run.out;
    EXPECT_NE(run.out.find("\"xdgDataHome\": \"" + r.dir.file(".local/share") + "\""),
              std::string::npos)
        << "a relative XDG_DATA_HOME is ignored, as the XDG rules say: " << run.out;
    EXPECT_EQ(r.run({"apps", "extra"}).status, 2);
}

TEST(CliEffective, ResolveOnARealUsersHives) {
    MOXALO_NEED_SHARED_HIVES();
    TempDir dir;
    const std::vector<std::string> pair{"--registry", sharedHive("win10-NTUSER.DAT"), "--registry",
                                        sharedHive("win10-UsrClass.dat")};
    std::vector<std::string> args = pair;
    args.insert(args.end(), {"resolve", ".txt", "--format", "json"});
    CliRun run = cli(args, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(parsesAsJson(run.out)) << run.out;
    EXPECT_NE(run.out.find("\"progId\": \"txtfile\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"via\": \"UserChoice\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"choice\": \"hash verified\""), std::string::npos) << run.out;

    // The choice of a ProgID only the machine's SOFTWARE could resolve, which is not read.
    args = pair;
    args.insert(args.end(), {"list", "--effective", "--format", "csv"});
    run = cli(args, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(lineStarting(run.out, "jpg,")
                    .ends_with(",AppX43hnxtbyyps62jhe9sqpdzxn1790zetc,UserChoice,hash verified"))
        << lineStarting(run.out, "jpg,");
    // A choice of a ProgID in none of the classes read is marked as the window marks it.
    EXPECT_TRUE(lineStarting(run.out, "pdf,")
                    .ends_with(",MSEdgePDF,UserChoice,\"hash verified, "
                               "dangling\""))
        << lineStarting(run.out, "pdf,");
}
