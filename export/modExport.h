#pragma once
// The list saves as the window runs them: the Save dialog, the writers of catalogue/ListFile,
// and what the user sees meanwhile and after.

#include "catalogue/CatalogueEntry.h"

#include <QString>
#include <vector>

class QProgressBar;
class QWidget;

namespace moxalo::exporting {

// The main window's one common file dialog: what one command leaves in it (the filter last
// chosen, the file name) the next command finds there.
struct CommonDialog {
    int filterIndex = 1;
    QString fileName;
};

// The Save dialog "Export list to ..."; the extended save preselects "Plain Text". The chosen
// path, or "" when cancelled.
QString AskListFile(QWidget* owner, CommonDialog& cDialog, bool extended);
// The Open dialog "Import registry file [ Custom Selection ]"; "" when cancelled.
QString AskImportFile(QWidget* owner, CommonDialog& cDialog);

// Write the list file, then say where it went; a file that cannot be written is told, and
// whatever stood at `path` before stays as it was.
void Export_List(QWidget* owner, const std::vector<catalogue::CatalogueEntry>& rows,
                 const QString& path);
// The same with every row's details; the busy pointer, `pBar1` and `owner`'s caption show the
// progress, events are let run twice a row, and the caption ends with the count text.
void Export_List_Extended(QWidget* owner, QProgressBar* pBar1,
                          const std::vector<catalogue::CatalogueEntry>& rows, const QString& path);

} // namespace moxalo::exporting
