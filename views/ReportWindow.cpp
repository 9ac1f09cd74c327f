#include "views/ReportWindow.h"

#include <QScreen>

namespace moxalo::views {

void sizeInCharacters(QWidget* window, QWidget* parent, int chars, int lines) {
    QSize size(window->fontMetrics().averageCharWidth() * chars,
               window->fontMetrics().height() * lines);
    if (const QScreen* where = parent ? parent->screen() : window->screen())
        size = size.boundedTo(where->availableGeometry().size() * 9 / 10);
    window->resize(size);
}

} // namespace moxalo::views
