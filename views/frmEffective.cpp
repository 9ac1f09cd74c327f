#include "views/frmEffective.h"

#include "catalogue/RowColour.h"
#include "catalogue/effective/AssociationTexts.h"
#include "gui/Texts.h"
#include "views/ReportWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace moxalo::views {

namespace effective = catalogue::effective;

namespace {

// The window's first size and the widest a table column is made to fit its texts, in average
// characters; the last column of a table takes what is left.
// The notes say why a step was taken, so they keep the most room; a key's path loses its
// middle first.
constexpr int kWindowChars = 180;
constexpr int kWindowLines = 56;
constexpr int kStepColumnChars[] = {16, 38, 50};
constexpr int kOpenWithColumnChars[] = {44, 24};

QColor fromBgr(catalogue::ColourRef bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

// The selected rows, each as its cells joined by tabs, in the order shown.
QString selectedText(const QTreeWidget* table) {
    QStringList lines;
    for (int row = 0; row < table->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = table->topLevelItem(row);
        if (!item->isSelected())
            continue;
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column)
            cells << item->text(column);
        lines << cells.join('\t');
    }
    return lines.join('\n');
}

QTreeWidget* table(QWidget* parent, const char* name, const QStringList& captions) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setColumnCount(static_cast<int>(captions.size()));
    list->setHeaderLabels(captions);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAlternatingRowColors(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Key paths differ at their ends; the tooltip holds the whole text.
    list->setTextElideMode(Qt::ElideMiddle);
    list->header()->setStretchLastSection(true);
    auto* copy = new QAction("&Copy", list);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(copy, &QAction::triggered, list,
                     [list] { QApplication::clipboard()->setText(selectedText(list)); });
    list->addAction(copy);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    return list;
}

void addRow(QTreeWidget* list, const QStringList& cells) {
    auto* item = new QTreeWidgetItem(list, cells);
    for (int column = 0; column < cells.size(); ++column)
        item->setToolTip(column, cells[column]);
}

// Each column but the last as wide as its texts, up to its cap.
void sizeColumns(QTreeWidget* list, std::initializer_list<int> capChars) {
    const int charWidth = list->fontMetrics().averageCharWidth();
    int column = 0;
    for (int cap : capChars) {
        list->resizeColumnToContents(column);
        list->setColumnWidth(column, std::min(list->columnWidth(column), cap * charWidth));
        ++column;
    }
}

QGroupBox* group(const QString& caption, QWidget* inside) {
    auto* box = new QGroupBox(caption);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(inside);
    return box;
}

} // namespace

frmEffective::frmEffective(QWidget* parent) : QDialog(parent, kReportWindowFlags) {
    setObjectName("frmEffective");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Effective Association");
    setSizeGripEnabled(true);

    auto* summary = new QGroupBox("What opens it");
    facts = new QFormLayout(summary);
    facts->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    facts->setVerticalSpacing(2);
    lblProblem = new QLabel;
    lblProblem->setObjectName("lblProblem");
    lblProblem->setWordWrap(true);
    lblProblem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblProblem->setStyleSheet("color: #a00000");
    lblProblem->hide();

    lvwSteps = table(this, "lvwSteps", {"Step", "Value", "Key", "Note"});
    lvwOpenWith = table(this, "lvwOpenWith", {"Handler", "Source", "Key"});
    auto* tables = new QSplitter(Qt::Vertical);
    tables->setChildrenCollapsible(false);
    tables->addWidget(group("Steps, in the order Windows takes them", lvwSteps));
    tables->addWidget(group("Open With candidates, in the order offered", lvwOpenWith));
    tables->setStretchFactor(0, 3);
    tables->setStretchFactor(1, 2);

    cmdCopy = new QPushButton("Copy &All");
    cmdCopy->setObjectName("cmdCopy");
    cmdCopy->setToolTip("Puts everything this window shows on the clipboard, as text");
    cmdClose = new QPushButton("&Close");
    cmdClose->setObjectName("cmdClose");
    connect(cmdCopy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(report_); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary, 0);
    layout->addWidget(lblProblem);
    layout->addWidget(tables, 1);
    layout->addLayout(buttons);

    sizeInCharacters(this, parent, kWindowChars, kWindowLines);
}

void frmEffective::clear(const std::string& extension) {
    setWindowTitle("Effective Association: " + qtext(extension));
    while (facts->rowCount() > 0)
        facts->removeRow(0);
    lvwSteps->clear();
    lvwOpenWith->clear();
    lblProblem->hide();
    report_.clear();
}

void frmEffective::showProblem(const QString& text) {
    lblProblem->setText(lblProblem->text().isEmpty() || lblProblem->isHidden()
                            ? text
                            : lblProblem->text() + "\n" + text);
    lblProblem->show();
}

void frmEffective::FillFailure(const std::string& extension, const std::string& message) {
    clear(extension);
    showProblem(qtext(message));
}

void frmEffective::Fill(effective::UserView& view, const std::string& extension) {
    clear(extension);
    Result<effective::Association> association = view.resolve(extension);
    if (!association) {
        showProblem("What opens " + qtext(extension) +
                    " could not be read: " + qtext(association.error()));
        return;
    }
    const effective::UserFacts user{view.sid(), view.sidFrom()};
    for (const effective::Fact& fact : effective::summaryOf(*association, user)) {
        auto* box = new QLineEdit(qtext(fact.value));
        box->setObjectName("txt" + qtext(fact.label));
        box->setReadOnly(true);
        box->setCursorPosition(0);
        box->setToolTip(qtext(fact.value));
        facts->addRow(qtext(fact.label), box);
    }
    if (effective::isSuspect(*association)) {
        QLineEdit* verdict = factBox("Verdict");
        QPalette marked = verdict->palette();
        marked.setColor(QPalette::Base, fromBgr(catalogue::kSuspectBackColour));
        verdict->setPalette(marked);
        verdict->setToolTip(qtext(effective::whySuspect(*association)));
    }
    for (const effective::Hop& hop : association->hops)
        addRow(lvwSteps, {qtext(hop.step), qtext(hop.value), qtext(hop.key), qtext(hop.note)});
    sizeColumns(lvwSteps, {kStepColumnChars[0], kStepColumnChars[1], kStepColumnChars[2]});

    Result<std::vector<effective::Candidate>> candidates = view.openWith(extension);
    std::vector<effective::Candidate> offered;
    if (candidates)
        offered = std::move(*candidates);
    else
        showProblem("The Open With candidates could not be read: " + qtext(candidates.error()));
    for (const effective::Candidate& candidate : offered)
        addRow(lvwOpenWith,
               {qtext(candidate.handler), qtext(candidate.source), qtext(candidate.key)});
    sizeColumns(lvwOpenWith, {kOpenWithColumnChars[0], kOpenWithColumnChars[1]});
    report_ = qtext(effective::reportOf(*association, offered, user));
}

QLineEdit* frmEffective::factBox(const QString& label) const {
    for (int row = 0; row < facts->rowCount(); ++row) {
        auto* caption =
            qobject_cast<QLabel*>(facts->itemAt(row, QFormLayout::LabelRole)
                                      ? facts->itemAt(row, QFormLayout::LabelRole)->widget()
                                      : nullptr);
        if (caption != nullptr && caption->text() == label)
            return qobject_cast<QLineEdit*>(facts->itemAt(row, QFormLayout::FieldRole)->widget());
    }
    return nullptr;
}

QString frmEffective::fact(const QString& label) const {
    QLineEdit* box = factBox(label);
    return box ? box->text() : QString();
}

} // namespace moxalo::views
