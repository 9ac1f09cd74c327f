#include "app/modHelp.h"

#include "app/WebPages.h"
#include "app/modFileExists.h"
#include "gui/Texts.h"
#include "platform/ui/Desktop.h"

namespace moxalo::app {

QString SupportPage() {
    return QString(kSupportHost) + kSupportPath;
}

QString ContactPage() {
    return QString(kSupportHost) + kContactPath;
}

QString BugReportPage() {
    return QString(kForumHost) + kBugForumPath;
}

QString HomePage() {
    return kHomePage;
}

void ShowHelpContents(QWidget* owner, const QString& programFolder) {
    QString chm = programFolder + "/help.chm";
    if (FileExists(chm.toStdString())) {
        // Few Linux desktops open CHM files; the same pages as HTML open in any browser.
        QString html = programFolder + "/help/index.html";
        bool asHtml = !ui::desktop().CanOpen(chm) && FileExists(html.toStdString());
        ui::desktop().OpenUrl(asHtml ? html : chm);
        return;
    }
    if (ui::desktop().MsgBox(owner,
                             "Help files not present, would you like\r\nto view the online "
                             "support files instead?",
                             ui::vbYesNo | ui::vbQuestion, AppTitle()) == ui::vbYes)
        ui::desktop().OpenUrl(SupportPage());
}

} // namespace moxalo::app
