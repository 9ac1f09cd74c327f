#pragma once
// The platform's effects that a window causes and a test must see or answer: message boxes,
// file dialogs, the application-wide mouse pointer, a pass over the pending window events,
// opening a document or web page, starting a program. Windows call desktop(); tests install
// a recorder in its place.

#include <QString>
#include <QStringList>

class QWidget;

namespace moxalo::ui {

// Message box styles and answers, as the program's texts give them.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbYesNo = 4;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
inline constexpr int vbOK = 1;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// Mouse pointer codes.
inline constexpr int vbDefault = 0;
inline constexpr int vbArrowHourglass = 13;

// What a file dialog is asked for, and what the user chose.
struct FileDialogRequest {
    bool save = true; // the Save form, else the Open form
    QString title;
    QStringList filters; // "Text (*.txt)", in order
    int filterIndex = 1; // 1-based, as the dialog holds it
    QString fileName;
};
struct FileDialogAnswer {
    bool cancelled = true;
    QString fileName;
    int filterIndex = 1;
};

class Desktop {
public:
    virtual ~Desktop() = default;
    // Shows a message box with the style's icon and buttons; returns the answer (vbOK, vbYes...).
    virtual int MsgBox(QWidget* owner, const QString& text, int style, const QString& title) = 0;
    virtual FileDialogAnswer FileDialog(QWidget* owner, const FileDialogRequest& request) = 0;
    virtual void SetMousePointer(int code) = 0;
    // Lets the pending window events run once, without waiting.
    virtual void DoEvents() = 0;
    // Opens a document or web page with the desktop's default application, not waited for.
    virtual bool OpenUrl(const QString& url) = 0;
    // Starts a program without waiting; `arguments` are passed as they are, never to a shell.
    virtual bool StartProgram(const QString& program, const QStringList& arguments,
                              int windowStyle) = 0;
};

Desktop& desktop();
// Puts `replacement` in place of the real desktop (tests); nullptr puts the real one back.
void setDesktop(Desktop* replacement);

} // namespace moxalo::ui
