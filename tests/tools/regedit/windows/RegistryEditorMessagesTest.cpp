// The registry editor as the window's user meets it: it asks before an import, says what the
// import did, and every failure reaches the user in a message box, not only on stderr.

#include "registry/Registry.h"
#include "tests/support/Environments.h"
#include "tests/support/TestRegistry.h"
#include "tests/windows/RecordingDesktop.h"
#include "tools/regedit/Actions.h"
#include "tools/regedit/MessageBoxVoice.h"

#include <QTest>
#include <filesystem>
#include <sstream>

using namespace moxalo;
using namespace moxalo::testing;

class RegistryEditorMessagesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> dir;
    std::unique_ptr<RecordingDesktop> desktop;
    regedit::MessageBoxVoice voice;
    std::string err;

    int run(std::vector<std::string> args) {
        std::ostringstream out, errors;
        int status = regedit::run(args, noVariables, dir->file("program"), voice, out, errors);
        err = errors.str();
        moxalo::testing::mountRegistry(nullptr);
        return status;
    }
    std::vector<std::string> on(const std::string& source, std::vector<std::string> args) {
        args.insert(args.begin(), {"--registry", source});
        return args;
    }

private slots:
    void init() {
        dir = std::make_unique<TempDir>();
        desktop = std::make_unique<RecordingDesktop>();
    }
    void cleanup() {
        desktop.reset();
        dir.reset();
    }

    void anImportIsAskedForAndToldLineByLine() {
        std::string source = dir->file("classes.reg");
        writeFile(source, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.rtf]\r\n@=\"rtffile\"\r\n"
                          "\"Old\"=\"x\"\r\n\r\n[HKEY_CLASSES_ROOT\\.gone]\r\n");
        std::string file = dir->file("change.reg");
        writeFile(file, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.rtf]\r\n@=\"Word.RTF.8\"\r\n"
                        "\"Old\"=-\r\n\"Same\"=\"s\"\r\n\"bad\"=dword:123456789\r\n\r\n"
                        "[-HKEY_CLASSES_ROOT\\.gone]\r\n\r\n[HKEY_CLASSES_ROOT\\.new\\sub]\r\n");
        const std::string before = readFile(source);

        desktop->answers = {ui::vbNo};
        QCOMPARE(run(on(source, {"/I", file})), 1);
        QCOMPARE(desktop->messages.size(), std::size_t{1}); // the question, nothing after a no
        QCOMPARE(desktop->messages[0].style, ui::vbYesNo | ui::vbQuestion);
        QVERIFY(desktop->messages[0].text.contains(QString::fromStdString(source)));
        QVERIFY(err.find("cancelled") != std::string::npos);
        QCOMPARE(readFile(source), before);

        QCOMPARE(run(on(source, {"/I", file})), 0);
        QCOMPARE(desktop->messages.size(), std::size_t{3});
        QCOMPARE(desktop->messages[2].style, ui::vbInformation);
        QCOMPARE(desktop->messages[2].text.toStdString(),
                 file + " was imported into the registry.\n\n"
                        "Keys: 2 added, 1 deleted (with their subkeys).\n"
                        "Values: 1 added, 1 changed, 1 deleted.\n\n"
                        "1 line was skipped:\n"
                        "line 7: value \"bad\" skipped: dword: takes at most 8 hex digits");

        // The same file again changes nothing; /s neither asks nor tells.
        QCOMPARE(run(on(source, {"/s", file})), 0);
        QCOMPARE(desktop->messages.size(), std::size_t{3});
    }

    void everyFailureIsAMessageBoxNamingTheFileAndWhy() {
        std::string source = dir->file("classes.reg");
        writeFile(source, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.rtf]\r\n@=\"rtffile\"\r\n");
        std::string readOnly = dir->file("read-only.reg");
        writeFile(readOnly, readFile(source));
        std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
        std::string list = dir->file("types.mxo");
        writeFile(list, ".txt\tText Document\ttxtfile\r\n");
        struct Case {
            std::vector<std::string> args;
            std::string says;
        };
        const std::vector<Case> cases = {
            // Of the bundled sample: how to get a registry that can be written.
            {{"/I", list}, "the bundled sample registry"},
            {on(source, {"/s", dir->file("missing.reg")}), "missing.reg: cannot be read"},
            {on(source, {"/I", list}), "types.mxo: not imported:"},
            {on(source, {"/I", dir->path()}), "is a folder, not a .reg file"},
            // Told before the question, which would be asked for nothing.
            {on(readOnly, {"/I", source}), "read-only"},
            {on(source, {"/e", dir->file("no folder/x.reg"), "HKEY_CLASSES_ROOT\\.rtf"}),
             "no folder"},
        };
        for (const Case& c : cases) {
            desktop->messages.clear();
            QCOMPARE(run(c.args), 1);
            QCOMPARE(desktop->messages.size(), std::size_t{1});
            const ShownMessage& shown = desktop->messages[0];
            QCOMPARE(shown.style, ui::vbExclamation);
            QVERIFY2(shown.text.contains(QString::fromStdString(c.says)), qPrintable(shown.text));
            QVERIFY2(err.find(shown.text.toStdString()) != std::string::npos, err.c_str());
        }
    }
};

QTEST_MAIN(RegistryEditorMessagesTest)
#include "RegistryEditorMessagesTest.moc"
