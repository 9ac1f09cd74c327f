#include "tools/notepad/NotepadWindow.h"

#include "base/TextFile.h"
#include "platform/process/CommandLine.h"
#include "platform/ui/Desktop.h"
#include "platform/ui/Twips.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QShortcut>
#include <cstdlib>

namespace moxalo::notepad {

namespace {

constexpr int kDesignedWidth = 9000;
constexpr int kDesignedHeight = 6600;

} // namespace

NotepadWindow::NotepadWindow(const QString& path, const QString& text) {
    setWindowTitle(QFileInfo(path).fileName() + " - " + kTitle);
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName("Text1");
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The text edit ends a line at CR LF, LF and CR alike.
    Text1->setPlainText(text);
    setCentralWidget(Text1);
    for (QKeySequence keys : {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    resize(ui::toPixels(kDesignedWidth, this), ui::toPixels(kDesignedHeight, this));
}

std::string pathFromArguments(const std::vector<std::string>& arguments) {
    if (arguments.size() == 2 && arguments[0] == process::kCommandLineOption)
        return process::trailingFileName(arguments[1]);
    std::string path;
    for (const std::string& piece : arguments)
        path += (path.empty() ? "" : " ") + piece;
    return path;
}

text::CodePage codePageFromEnvironment() {
    const char* name = std::getenv("MOXALO_CODEPAGE");
    // A name the code page is not known by has been told to the user by the program that set
    // it; the default stands in.
    if (name != nullptr && *name != '\0')
        if (Result<text::CodePage> page = text::CodePage::named(name))
            return *page;
    return text::CodePage();
}

std::unique_ptr<NotepadWindow> openFile(const std::string& path, const text::CodePage& ansi) {
    const QString name = QString::fromStdString(path);
    Result<text::DecodedText> decoded = text::readTextFile(path, ansi);
    if (decoded)
        return std::make_unique<NotepadWindow>(name, QString::fromStdString(decoded->utf8));
    ui::desktop().MsgBox(nullptr,
                         "Cannot open the file \"" + name + "\":\n" +
                             QString::fromStdString(decoded.error()) + ".",
                         ui::vbExclamation, kTitle);
    return nullptr;
}

} // namespace moxalo::notepad
