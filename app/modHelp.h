#pragma once
// The Help menu's commands: the help file beside the program, and the maker's web pages.

#include <QString>

class QWidget;

namespace moxalo::app {

QString SupportPage();
QString ContactPage();
QString BugReportPage();
QString HomePage();

// Opens help.chm of `programFolder` with the desktop's viewer for it; where the desktop has
// none, the same pages as HTML (help/index.html) in the web browser. Without the help file,
// offers the online support pages instead.
void ShowHelpContents(QWidget* owner, const QString& programFolder);

} // namespace moxalo::app
