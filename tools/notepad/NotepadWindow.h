#pragma once
// moxalo-notepad, the text editor the program starts as "notepad <file>" to show a backup:
// a read-only window over one file, captioned "<file name> - Moxalo Notepad".

#include "base/CodePage.h"

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

class QPlainTextEdit;

namespace moxalo::notepad {

inline constexpr const char* kTitle = "Moxalo Notepad";

class NotepadWindow : public QMainWindow {
    Q_OBJECT

public:
    // `text` as decoded; its lines may end in CR LF, LF or CR.
    NotepadWindow(const QString& path, const QString& text);

    QPlainTextEdit* Text1;
};

// The file the arguments after the program's name give. The program passes the path unquoted,
// after --command-line with the rest of its line, which is the path whatever it holds. Split by
// a user's shell instead, the pieces of a path with blanks are joined again with one blank each.
std::string pathFromArguments(const std::vector<std::string>& arguments);

// The code page of files that are neither marked nor UTF-8: MOXALO_CODEPAGE, the one the
// program reads the registry in, else Windows-1252.
text::CodePage codePageFromEnvironment();

// The window over the file, or nullptr after a message box naming the file and saying why it
// cannot be read.
std::unique_ptr<NotepadWindow> openFile(const std::string& path, const text::CodePage& ansi);

} // namespace moxalo::notepad
