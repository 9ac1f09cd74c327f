#include "views/DetailsParts.h"

#include <QLineEdit>
#include <QPalette>
#include <QStringList>
#include <QTreeWidget>
#include <cmath>

namespace moxalo::views {

void showText(QLineEdit* box, const QString& text) {
    box->setText(text);
    box->setCursorPosition(0);
}

void fillWith(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void addActionColumns(QTreeWidget* list) {
    const QStringList captions = {QStringLiteral("Action"), QStringLiteral("Command")};
    list->setColumnCount(static_cast<int>(captions.size()));
    list->setHeaderLabels(captions);
    for (int column = 0; column < captions.size(); ++column)
        list->headerItem()->setData(column, Qt::UserRole, captions[column]);
}

void sizeActionColumns(QTreeWidget* list) {
    const double width = list->width();
    list->setColumnWidth(0, static_cast<int>(std::lround(0.2 * width)));
    list->setColumnWidth(1, static_cast<int>(std::lround(1.3 * width)));
}

void addActionRow(QTreeWidget* list, const catalogue::ShellAction& action) {
    auto* row = new QTreeWidgetItem(list);
    row->setText(0, QString::fromStdString(action.Action));
    row->setText(1, QString::fromStdString(action.Command));
}

} // namespace moxalo::views
