#pragma once
// What the two details windows share: their colour, how they reach their controls, and the
// list of a type's actions, with an "Action" and a "Command" column and a row for each verb.

#include "catalogue/KeyDetails.h"
#include "platform/ui/Twips.h"

#include <QColor>
#include <QString>
#include <QWidget>

class QLineEdit;
class QTreeWidget;

namespace moxalo::views {

// A colour given as Windows gives it, 0xBBGGRR.
inline QColor fromBgr(unsigned bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}
inline constexpr unsigned kDetailsBackColour = 0xE0E0E0;

// Puts `text` in a text box and shows its start, as a long path or command begins with what
// tells it apart.
void showText(QLineEdit* box, const QString& text);

// Paints `widget`'s background in `colour`.
void fillWith(QWidget* widget, const QColor& colour);

using ui::controlOf;

// Adds the two columns; each column's key (Qt::UserRole of the header) is its caption.
void addActionColumns(QTreeWidget* list);
// The action 0.2 and the command 1.3 times the list's width: long commands run off to the
// right, to be scrolled to.
void sizeActionColumns(QTreeWidget* list);
void addActionRow(QTreeWidget* list, const catalogue::ShellAction& action);

} // namespace moxalo::views
