#pragma once
// Deleting a file type: its key goes from the registry only once the registry editor has
// backed it up to the row's file in Backups and that file is seen to hold it, so that nothing
// is lost if the backup failed.

#include "catalogue/CatalogueEntry.h"

#include <string>

class QWidget;

namespace moxalo::exporting {

// Asks first; tells every refusal and failure in a message box over `owner`. `quietBackup` is
// raised while the editor makes the backup. True when the key was deleted.
bool DeleteFileType(QWidget* owner, const std::string& programFolder,
                    const catalogue::CatalogueEntry& row, bool& quietBackup);

} // namespace moxalo::exporting
