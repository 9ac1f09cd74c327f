#pragma once
// The platform's effects that a window causes and a test must see or answer: message boxes,
// file dialogs, the application-wide mouse pointer, a pass over the pending window events,
// opening a document or web page, starting a program from a command line, picking from a list.
// Windows call desktop(); tests install a recorder in its place.

#include "platform/process/CommandLine.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

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

// Window styles of a started program.
inline constexpr int vbHide = 0;
inline constexpr int vbNormalFocus = 1;

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
    // Asks the user to pick one of a short list of `items` under `label`; the index picked, or
    // -1 when the user cancelled.
    virtual int PickItem(QWidget* owner, const QString& title, const QString& label,
                         const QStringList& items) = 0;
    virtual void SetMousePointer(int code) = 0;
    // Lets the pending window events run once, without waiting.
    virtual void DoEvents() = 0;
    // Opens a document or web page with the desktop's default application, not waited for.
    virtual bool OpenUrl(const QString& url) = 0;
    // Whether the desktop has an application that opens the document at `path`.
    virtual bool CanOpen(const QString& path) = 0;
    // Starts a Windows command line ("regedit /e ...") with a window style (0 hidden, 1 normal)
    // and returns at once; false when it could not be started.
    virtual bool Shell(const QString& commandLine, int windowStyle) = 0;
    // The same, and `ended` runs among the window events once the program has ended, with its
    // exit status (-1 when it did not end normally). Should the window close first, the
    // program goes on.
    virtual bool ShellThen(const QString& commandLine, int windowStyle,
                           std::function<void(int status)> ended) = 0;
    // The same, but waits for the program to end, letting window events run meanwhile; its
    // exit status, or -1 when it could not be started or did not end normally. What it wrote to
    // its error output goes to `errors` (and on to the program's own).
    virtual int ShellAndWait(const QString& commandLine, int windowStyle, QString& errors) = 0;
};

Desktop& desktop();
// Where a message box for `owner` is centred, in screen coordinates: over the frame of its
// window, also before that window is first shown (maximised: the screen's work area). Empty
// when there is no such window, and the box goes where the window system puts it.
QRect anchorOf(const QWidget* owner);

// The programs of Windows that the real desktop's Shell functions start as stand-ins.
void setStandIns(process::StandIns programs);

// Puts `replacement` in place of the real desktop (tests); nullptr puts the real one back.
void setDesktop(Desktop* replacement);

} // namespace moxalo::ui
