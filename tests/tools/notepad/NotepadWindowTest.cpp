// moxalo-notepad's window: the file the program names, shown read-only whatever its encoding,
// and the message when it cannot be read.

#include "tools/notepad/NotepadWindow.h"

#include "base/Utf16.h"
#include "platform/process/CommandLine.h"
#include "platform/ui/Desktop.h"
#include "runtime/StandIns.h"
#include "tests/support/TestRegistry.h"
#include "tests/windows/RecordingDesktop.h"

#include <QPlainTextEdit>
#include <QtTest>
#include <cstdlib>
#include <filesystem>

using namespace moxalo;
using namespace moxalo::testing;
using moxalo::notepad::NotepadWindow;

namespace {

// "[HKEY_CLASSES_ROOT\.txt]", CR LF, "@="für"" in UTF-16LE with its mark, as regedit exports.
std::string exported() {
    auto units = text::utf8ToUtf16le("[HKEY_CLASSES_ROOT\\.txt]\r\n@=\"f\u00FCr\"\r\n");
    return "\xFF\xFE" + std::string(units.begin(), units.end());
}

} // namespace

class NotepadWindowTest : public QObject {
    Q_OBJECT

private slots:
    // A path passed unquoted is broken at its blanks and joined again; the program passes the
    // rest of its command line whole, which is the path whatever quotes or shell syntax it holds.
    void thePathIsTakenFromTheArgumentsAsItWasGiven() {
        QCOMPARE(notepad::pathFromArguments({"/opt/my", "tools/Backups/a", "b.reg"}),
                 std::string("/opt/my tools/Backups/a b.reg"));
        const std::string path = "/opt/my  tools/\"a\"  $(b); c\n.reg ";
        auto start = process::programStart("notepad " + path, runtime::standIns("/opt/moxalo"));
        QCOMPARE(notepad::pathFromArguments(start.arguments), path);
    }

    void showsTheFileReadOnlyWhateverItsLineEnds() {
        TempDir dir;
        const std::string path = dir.file("my tools/txt.reg");
        std::filesystem::create_directory(dir.file("my tools"));
        writeFile(path, exported());
        RecordingDesktop desktop;
        auto window = notepad::openFile(path, text::CodePage());
        QVERIFY(window != nullptr);
        QVERIFY(desktop.messages.empty());

        QCOMPARE(window->windowTitle(), QStringLiteral("txt.reg - Moxalo Notepad"));
        QCOMPARE(window->Text1->toPlainText(),
                 QStringLiteral("[HKEY_CLASSES_ROOT\\.txt]\n@=\"f\u00FCr\"\n"));
        QVERIFY(window->Text1->isReadOnly());

        NotepadWindow mixed("/x/a.txt", "one\r\ntwo\nthree\rfour");
        QCOMPARE(mixed.Text1->toPlainText(), QStringLiteral("one\ntwo\nthree\nfour"));
    }

    // An 8-bit file is read in the code page the program reads the registry in.
    void eightBitFilesInTheProgramsCodePage() {
        qputenv("MOXALO_CODEPAGE", "cp1251");
        QCOMPARE(notepad::codePageFromEnvironment().number(), std::string("1251"));
        qputenv("MOXALO_CODEPAGE", "cp-none");
        QCOMPARE(notepad::codePageFromEnvironment().number(), std::string("1252"));
        qputenv("MOXALO_CODEPAGE", "");

        TempDir dir;
        writeFile(dir.file("a.reg"), "f\xFCr \x80");
        auto window = notepad::openFile(dir.file("a.reg"), text::CodePage());
        QVERIFY(window != nullptr);
        QCOMPARE(window->Text1->toPlainText(), QStringLiteral("f\u00FCr \u20AC"));
    }

    void aFileThatCannotBeReadIsNamed() {
        TempDir dir;
        RecordingDesktop desktop;
        QVERIFY(notepad::openFile(dir.file("gone.reg"), text::CodePage()) == nullptr);
        QVERIFY(notepad::openFile(dir.path(), text::CodePage()) == nullptr);
        QCOMPARE(desktop.messages.size(), std::size_t(2));
        QCOMPARE(desktop.messages[0].style, ui::vbExclamation);
        QVERIFY(desktop.messages[0].text.contains(QString::fromStdString(dir.file("gone.reg"))));
        QVERIFY(desktop.messages[1].text.endsWith("\":\nIs a directory."));
    }
};

QTEST_MAIN(NotepadWindowTest)
#include "NotepadWindowTest.moc"
