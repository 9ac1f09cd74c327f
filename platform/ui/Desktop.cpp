#include "platform/ui/Desktop.h"

#include "platform/process/CommandLine.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QScreen>
#include <QUrl>
#include <cstdio>

namespace moxalo::ui {

namespace {

// Set once by the program before its first window.
process::StandIns standIns;

QMessageBox::Icon iconOf(int style) {
    switch (style & 0x70) {
    case vbQuestion:
        return QMessageBox::Question;
    case vbExclamation:
        return QMessageBox::Warning;
    case vbInformation:
        return QMessageBox::Information;
    case 16:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// A box is centred over the window it speaks for, also while that window is still being
// built and not yet shown, as during the first scan: the window system would put it in a
// corner of the screen.
class CentredBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        QRect area = anchorOf(parentWidget());
        if (area.isValid())
            move(area.center() - rect().center());
    }
};

class QtDesktop : public Desktop {
public:
    int MsgBox(QWidget* owner, const QString& text, int style, const QString& title) override {
        CentredBox box(iconOf(style), title, text, QMessageBox::NoButton, owner);
        if ((style & 0x0F) == vbYesNo) {
            box.addButton(QMessageBox::Yes);
            box.addButton(QMessageBox::No);
            return box.exec() == QMessageBox::Yes ? vbYes : vbNo;
        }
        box.addButton(QMessageBox::Ok);
        box.exec();
        return vbOK;
    }

    FileDialogAnswer FileDialog(QWidget* owner, const FileDialogRequest& request) override {
        QFileDialog dialog(owner, request.title);
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setNameFilters(request.filters);
        if (request.filterIndex >= 1 && request.filterIndex <= request.filters.size())
            dialog.selectNameFilter(request.filters[request.filterIndex - 1]);
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
        FileDialogAnswer answer;
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return answer;
        answer.cancelled = false;
        answer.fileName = dialog.selectedFiles().first();
        answer.filterIndex =
            static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter())) + 1;
        return answer;
    }

    int PickItem(QWidget* owner, const QString& title, const QString& label,
                 const QStringList& items) override {
        // A list rather than a drop-down: every choice in sight at once.
        QInputDialog dialog(owner);
        dialog.setWindowTitle(title);
        dialog.setLabelText(label);
        dialog.setComboBoxItems(items);
        dialog.setComboBoxEditable(false);
        dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
        if (!items.isEmpty())
            dialog.setTextValue(items.first());
        if (dialog.exec() != QDialog::Accepted)
            return -1;
        return static_cast<int>(items.indexOf(dialog.textValue()));
    }

    void SetMousePointer(int code) override {
        while (QApplication::overrideCursor() != nullptr)
            QApplication::restoreOverrideCursor();
        if (code == vbArrowHourglass)
            QApplication::setOverrideCursor(Qt::BusyCursor);
    }

    void DoEvents() override { QCoreApplication::processEvents(); }

    bool OpenUrl(const QString& url) override {
        return QDesktopServices::openUrl(QUrl::fromUserInput(url));
    }

    // The freedesktop way: the default application xdg-mime knows for the file's type.
    bool CanOpen(const QString& path) override {
        QString type = QMimeDatabase().mimeTypeForFile(path).name();
        QProcess query;
        query.start("xdg-mime", {"query", "default", type});
        if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit)
            return false;
        return !query.readAllStandardOutput().trimmed().isEmpty();
    }

    bool Shell(const QString& commandLine, int) override {
        QStringList arguments;
        QString program = programOf(commandLine, arguments);
        return !program.isEmpty() && QProcess::startDetached(program, arguments);
    }

    bool ShellThen(const QString& commandLine, int,
                   std::function<void(int status)> ended) override {
        QStringList arguments;
        QString program = programOf(commandLine, arguments);
        if (program.isEmpty())
            return false;
        // Owned by no window, so that closing the program does not stop the one it started;
        // its output goes where the program's own goes.
        auto* child = new QProcess;
        child->setProcessChannelMode(QProcess::ForwardedChannels);
        QObject::connect(child, &QProcess::finished, child,
                         [child, ended](int code, QProcess::ExitStatus status) {
                             child->deleteLater();
                             ended(status == QProcess::NormalExit ? code : -1);
                         });
        child->start(program, arguments);
        if (!child->waitForStarted()) {
            delete child;
            return false;
        }
        return true;
    }

    int ShellAndWait(const QString& commandLine, int, QString& errors) override {
        QStringList arguments;
        QString program = programOf(commandLine, arguments);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        QEventLoop loop;
        QObject::connect(&child, &QProcess::finished, &loop, &QEventLoop::quit);
        QObject::connect(&child, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
        child.start(program, arguments);
        if (!child.waitForStarted())
            return -1;
        if (child.state() != QProcess::NotRunning)
            loop.exec();
        QByteArray written = child.readAllStandardError();
        std::fwrite(written.constData(), 1, static_cast<std::size_t>(written.size()), stderr);
        errors = QString::fromUtf8(written);
        return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    }

private:
    // The program to run and its arguments.
    static QString programOf(const QString& commandLine, QStringList& arguments) {
        auto start = process::programStart(commandLine.toStdString(), standIns);
        for (const auto& argument : start.arguments)
            arguments << QString::fromStdString(argument);
        return QString::fromStdString(start.program);
    }
};

Desktop* replacement = nullptr;

} // namespace

QRect anchorOf(const QWidget* owner) {
    const QWidget* window = owner != nullptr ? owner->window() : nullptr;
    if (window == nullptr || window->isVisible())
        return window != nullptr ? window->frameGeometry() : QRect();
    const QScreen* screen = window->screen();
    if (window->isMaximized() && screen != nullptr)
        return screen->availableGeometry();
    return window->testAttribute(Qt::WA_Moved) ? QRect(window->pos(), window->size()) : QRect();
}

Desktop& desktop() {
    static QtDesktop real;
    return replacement != nullptr ? *replacement : real;
}

void setStandIns(process::StandIns programs) {
    standIns = std::move(programs);
}

void setDesktop(Desktop* r) {
    replacement = r;
}

} // namespace moxalo::ui
