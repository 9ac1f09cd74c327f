#pragma once
// Rows of extensions with an Open-With list are drawn in blue, all others in black. Audit
// findings are shown on a background of their severity's colour, in the list as in the audit.

#include "catalogue/audit/Audit.h"
#include "views/CatalogueModel.h"

#include <QColor>

namespace moxalo::views {

// Colours every row of the list by its "In 'Open With' List" text, last row first.
void SetRowColours(CatalogueModel& list);

// Light enough for both the list's text colours to read on.
QColor severityColour(catalogue::audit::Severity severity);

} // namespace moxalo::views
