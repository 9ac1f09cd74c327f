#include "views/modColors.h"

namespace moxalo::views {

void SetRowColours(CatalogueModel& list) {
    for (std::size_t i = list.rows().size(); i-- > 0;)
        list.setColour(i, catalogue::RowColour(list.rows()[i].InOpenWithList));
}

QColor severityColour(catalogue::audit::Severity severity) {
    switch (severity) {
    case catalogue::audit::Severity::High:
        return {0xff, 0xc0, 0xc0};
    case catalogue::audit::Severity::Medium:
        return {0xff, 0xdc, 0xa8};
    case catalogue::audit::Severity::Low:
        return {0xff, 0xf6, 0xb8};
    case catalogue::audit::Severity::Info:
        break;
    }
    return {0xe4, 0xee, 0xff};
}

} // namespace moxalo::views
