#include "views/modColors.h"

namespace moxalo::views {

void SetRowColours(CatalogueModel& list) {
    for (std::size_t i = list.rows().size(); i-- > 0;)
        list.setColour(i, catalogue::RowColour(list.rows()[i].InOpenWithList));
}

} // namespace moxalo::views
