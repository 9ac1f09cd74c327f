#pragma once
// What the report windows (the effective association, the audit) share: a frame of their own
// over the main window, resizable and not modal, first sized in characters so that their
// columns fit the font.

#include <QWidget>

namespace moxalo::views {

inline constexpr Qt::WindowFlags kReportWindowFlags =
    Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
    Qt::WindowCloseButtonHint;

// `chars` average characters by `lines` lines of `window`'s font, within nine tenths of the
// screen `parent` (else the window) is on.
void sizeInCharacters(QWidget* window, QWidget* parent, int chars, int lines);

} // namespace moxalo::views
