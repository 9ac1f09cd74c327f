#pragma once
// Rows of extensions with an Open-With list are drawn in blue, all others in black.

#include "views/CatalogueModel.h"

namespace moxalo::views {

// Colours every row of the list by its "In 'Open With' List" text, last row first.
void SetRowColours(CatalogueModel& list);

} // namespace moxalo::views
