#pragma once
// A desktop for window tests: it records every message box, pointer change, URL and program
// start, answers message boxes, file dialogs and pick lists from a script, and lets events run
// for real.

#include "platform/ui/Desktop.h"

#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <vector>

namespace moxalo::testing {

struct ShownMessage {
    QString text;
    int style = 0;
    QString title;
};

class RecordingDesktop : public ui::Desktop {
public:
    RecordingDesktop() { ui::setDesktop(this); }
    ~RecordingDesktop() override { ui::setDesktop(nullptr); }

    int MsgBox(QWidget* owner, const QString& text, int style, const QString& title) override;
    ui::FileDialogAnswer FileDialog(QWidget* owner, const ui::FileDialogRequest& request) override;
    int PickItem(QWidget* owner, const QString& title, const QString& label,
                 const QStringList& items) override;
    void SetMousePointer(int code) override { pointers.push_back(code); }
    void DoEvents() override;
    bool OpenUrl(const QString& url) override;
    bool CanOpen(const QString&) override { return canOpen; }
    bool Shell(const QString& commandLine, int windowStyle) override;
    // Ends the program as runWaited says, once the events run again.
    bool ShellThen(const QString& commandLine, int windowStyle,
                   std::function<void(int status)> ended) override;
    int ShellAndWait(const QString& commandLine, int windowStyle, QString& errors) override;

    std::vector<ShownMessage> messages;
    std::deque<int> answers; // for message boxes; vbOK (or vbYes for Yes/No) when empty
    std::vector<ui::FileDialogRequest> dialogs;
    std::deque<ui::FileDialogAnswer> dialogAnswers; // cancelled when empty
    struct Pick {
        QString title;
        QString label;
        QStringList items;
    };
    std::vector<Pick> picks;
    std::deque<int> pickAnswers; // the index picked; cancelled (-1) when empty
    std::vector<int> pointers;
    std::vector<QString> urls;
    bool canOpen = true; // whether the desktop has a viewer for any document
    struct Started {
        QString commandLine;
        int windowStyle = 0;
        bool waited = false;
    };
    std::vector<Started> started;
    // What a program started and waited for does; exit status 0 when not set.
    std::function<int(const QString& commandLine)> runWaited;
    QString waitedErrors; // what such a program writes to its error output

private:
    QObject alive_; // a program's end not yet told goes with the desktop
};

} // namespace moxalo::testing
