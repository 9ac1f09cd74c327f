#include "tests/windows/RecordingDesktop.h"

#include <QCoreApplication>
#include <QTimer>

namespace moxalo::testing {

int RecordingDesktop::MsgBox(QWidget*, const QString& text, int style, const QString& title) {
    messages.push_back({text, style, title});
    if (!answers.empty()) {
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return (style & 0x0F) == ui::vbYesNo ? ui::vbYes : ui::vbOK;
}

ui::FileDialogAnswer RecordingDesktop::FileDialog(QWidget*, const ui::FileDialogRequest& request) {
    dialogs.push_back(request);
    if (dialogAnswers.empty())
        return {};
    ui::FileDialogAnswer answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    return answer;
}

int RecordingDesktop::PickItem(QWidget*, const QString& title, const QString& label,
                               const QStringList& items) {
    picks.push_back({title, label, items});
    if (pickAnswers.empty())
        return -1;
    int answer = pickAnswers.front();
    pickAnswers.pop_front();
    return answer;
}

void RecordingDesktop::DoEvents() {
    QCoreApplication::processEvents();
}

bool RecordingDesktop::OpenUrl(const QString& url) {
    urls.push_back(url);
    return true;
}

bool RecordingDesktop::Shell(const QString& commandLine, int windowStyle) {
    started.push_back({commandLine, windowStyle, false});
    return true;
}

bool RecordingDesktop::ShellThen(const QString& commandLine, int windowStyle,
                                 std::function<void(int status)> ended) {
    started.push_back({commandLine, windowStyle, false});
    QTimer::singleShot(
        0, &alive_, [this, commandLine, ended] { ended(runWaited ? runWaited(commandLine) : 0); });
    return true;
}

int RecordingDesktop::ShellAndWait(const QString& commandLine, int windowStyle, QString& errors) {
    started.push_back({commandLine, windowStyle, true});
    errors = waitedErrors;
    return runWaited ? runWaited(commandLine) : 0;
}

} // namespace moxalo::testing
