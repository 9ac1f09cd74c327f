#include "export/modExport.h"

#include "catalogue/AppTexts.h"
#include "catalogue/ListFile.h"
#include "gui/Texts.h"
#include "platform/ui/Desktop.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QWidget>

namespace moxalo::exporting {

namespace {

const QStringList kListFilters = {"Moxalo (*.mxo)", "Log File (*.log)", "Plain Text (*.txt)",
                                  "All Files (*.*)"};
const QStringList kImportFilters = {"Moxalo (*.mxo)", "Registry File (*.reg)"};
constexpr int kPlainTextFilter = 3;

QString ask(QWidget* owner, CommonDialog& cDialog, ui::FileDialogRequest request) {
    request.filterIndex = cDialog.filterIndex;
    request.fileName = cDialog.fileName;
    ui::FileDialogAnswer answer = ui::desktop().FileDialog(owner, request);
    if (answer.cancelled)
        return {};
    cDialog.filterIndex = answer.filterIndex;
    cDialog.fileName = answer.fileName;
    return answer.fileName;
}

void saved(QWidget* owner, const QString& path) {
    ui::desktop().MsgBox(owner,
                         QString::fromStdString(catalogue::ExportCompleteText(path.toStdString())),
                         ui::vbInformation, AppTitle());
}

void notSaved(QWidget* owner, const std::string& why) {
    ui::desktop().MsgBox(owner, "The list was not saved.\n\n" + QString::fromStdString(why),
                         ui::vbExclamation, AppTitle());
}

// What the user sees of an extended save: the busy pointer, the bar and the caption.
class SaveProgress : public catalogue::ListSaveListener {
public:
    SaveProgress(QWidget* owner, QProgressBar* bar) : owner_(owner), bar_(bar) {}

    void SaveStarted() override {
        ui::desktop().SetMousePointer(ui::vbArrowHourglass);
        bar_->setValue(0);
        bar_->show();
        bar_->setValue(0);
    }
    // The bar and the caption change at most every 50 ms: a window manager redraws the title
    // bar at each change, and one change a row left it far behind, and the save with it.
    void Progress(int value) override {
        if (due(sinceBar_))
            bar_->setValue(value);
    }
    void Caption(const std::string& caption) override {
        if (due(sinceCaption_))
            owner_->setWindowTitle(QString::fromStdString(caption));
    }
    void DoEvents() override { ui::desktop().DoEvents(); }
    void SaveFinished(long long rows) override { finish(rows); }

    void finish(long long rows) {
        bar_->setValue(0);
        bar_->hide();
        ui::desktop().SetMousePointer(ui::vbDefault);
        owner_->setWindowTitle(QString::fromStdString(catalogue::CountCaption(rows)));
    }

private:
    static bool due(QElapsedTimer& since) {
        constexpr qint64 kEveryMilliseconds = 50;
        if (since.isValid() && since.elapsed() < kEveryMilliseconds)
            return false;
        since.start();
        return true;
    }

    QWidget* owner_;
    QProgressBar* bar_;
    QElapsedTimer sinceBar_;
    QElapsedTimer sinceCaption_;
};

} // namespace

QString AskListFile(QWidget* owner, CommonDialog& cDialog, bool extended) {
    if (extended)
        cDialog.filterIndex = kPlainTextFilter;
    return ask(owner, cDialog, {true, "Export list to ...", kListFilters, 1, {}});
}

QString AskImportFile(QWidget* owner, CommonDialog& cDialog) {
    return ask(owner, cDialog,
               {false, "Import registry file [ Custom Selection ]", kImportFilters, 1, {}});
}

void Export_List(QWidget* owner, const std::vector<catalogue::CatalogueEntry>& rows,
                 const QString& path) {
    if (Result<> written = catalogue::Export_List(rows, path.toStdString()); !written) {
        notSaved(owner, written.error());
        return;
    }
    saved(owner, path);
}

void Export_List_Extended(QWidget* owner, QProgressBar* pBar1,
                          const std::vector<catalogue::CatalogueEntry>& rows, const QString& path) {
    SaveProgress progress(owner, pBar1);
    if (Result<> written = catalogue::Export_List_Extended(rows, path.toStdString(), progress);
        !written) {
        progress.finish(static_cast<long long>(rows.size()));
        notSaved(owner, written.error());
        return;
    }
    saved(owner, path);
}

} // namespace moxalo::exporting
