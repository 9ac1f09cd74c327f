#include "views/frmAudit.h"

#include "catalogue/KeyTime.h"
#include "gui/Texts.h"
#include "views/ReportWindow.h"
#include "views/modColors.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace moxalo::views {

namespace audit = catalogue::audit;

namespace {

enum Column { Severity, Rule, Type, Key, Value, Written, Why, Allowed, kColumns };
const QStringList kCaptions = {"Severity", "Rule",    "Type", "Key",
                               "Value",    "Written", "Why",  "Allowed because"};
// The first size, in average characters and lines, and the widest a column is made to fit.
constexpr int kWindowChars = 200;
constexpr int kWindowLines = 40;
constexpr int kColumnChars[] = {8, 26, 16, 48, 40, 20, 60};
// Sorts by severity, then by the text, where a column holds a severity.
class FindingItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        if (column == Severity)
            return data(Severity, Qt::UserRole).toInt() <
                   other.data(Severity, Qt::UserRole).toInt();
        return QTreeWidgetItem::operator<(other);
    }
};

} // namespace

frmAudit::frmAudit(QWidget* parent) : QDialog(parent, kReportWindowFlags) {
    setObjectName("frmAudit");
    setWindowTitle("Audit");
    setSizeGripEnabled(true);
    lblSummary = new QLabel;
    lblSummary->setObjectName("lblSummary");
    lblSummary->setWordWrap(true);
    lblSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lvwFindings = new QTreeWidget;
    lvwFindings->setObjectName("lvwFindings");
    lvwFindings->setColumnCount(kColumns);
    lvwFindings->setHeaderLabels(kCaptions);
    lvwFindings->setRootIsDecorated(false);
    lvwFindings->setUniformRowHeights(true);
    lvwFindings->setAllColumnsShowFocus(true);
    lvwFindings->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwFindings->setTextElideMode(Qt::ElideMiddle);
    lvwFindings->header()->setStretchLastSection(true);
    lvwFindings->setSortingEnabled(true);
    connect(lvwFindings, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { emit typeChosen(item->text(Type)); });

    chkAllowed = new QCheckBox("Show allo&wed findings");
    chkAllowed->setObjectName("chkAllowed");
    connect(chkAllowed, &QCheckBox::toggled, this, &frmAudit::refill);
    cmdCopy = new QPushButton("Copy &All");
    cmdCopy->setObjectName("cmdCopy");
    cmdClose = new QPushButton("&Close");
    cmdClose->setObjectName("cmdClose");
    connect(cmdCopy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(report()); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkAllowed);
    buttons->addStretch();
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary);
    layout->addWidget(lvwFindings, 1);
    layout->addLayout(buttons);
    sizeInCharacters(this, parent, kWindowChars, kWindowLines);
}

void frmAudit::Fill(const audit::AuditReport& report) {
    shown_ = report;
    refill();
}

void frmAudit::FillFailure(const QString& message) {
    shown_ = {};
    lvwFindings->clear();
    lblSummary->setText("The audit could not be made: " + message);
    lblSummary->setStyleSheet("color: #a00000");
}

void frmAudit::refill() {
    lvwFindings->setSortingEnabled(false);
    lvwFindings->clear();
    int counts[4] = {}, allowed = 0;
    for (const audit::Finding& finding : shown_.findings) {
        if (!finding.allowedBy.empty()) {
            ++allowed;
            if (!chkAllowed->isChecked())
                continue;
        } else {
            ++counts[static_cast<int>(finding.severity)];
        }
        auto* item = new FindingItem(
            lvwFindings,
            QStringList{
                qtext(audit::severityText(finding.severity)), qtext(finding.rule),
                qtext(finding.type), qtext(finding.key),
                qtext(finding.valueName.empty() ? finding.value
                                                : finding.valueName + " = " + finding.value),
                finding.lastWritten ? qtext(catalogue::isoTime(*finding.lastWritten)) : QString(),
                qtext(finding.why), qtext(finding.allowedBy)});
        item->setData(Severity, Qt::UserRole, static_cast<int>(finding.severity));
        for (int column = 0; column < kColumns; ++column) {
            item->setToolTip(column, item->text(column));
            if (finding.allowedBy.empty())
                item->setBackground(column, severityColour(finding.severity));
            else
                item->setForeground(column, QColor(0x70, 0x70, 0x70));
        }
    }
    lvwFindings->setSortingEnabled(true);
    lvwFindings->sortByColumn(Severity, Qt::DescendingOrder);
    const int charWidth = lvwFindings->fontMetrics().averageCharWidth();
    for (int column = 0; column < kColumns - 1; ++column) {
        lvwFindings->resizeColumnToContents(column);
        // No narrower than its caption, which the contents of a short column may be.
        lvwFindings->setColumnWidth(
            column,
            std::max(std::min(lvwFindings->columnWidth(column), kColumnChars[column] * charWidth),
                     lvwFindings->header()->sectionSizeHint(column)));
    }
    lblSummary->setStyleSheet({});
    lblSummary->setText(QString("High: %1, medium: %2, low: %3, info: %4; allowed: %5.%6")
                            .arg(counts[3])
                            .arg(counts[2])
                            .arg(counts[1])
                            .arg(counts[0])
                            .arg(allowed)
                            .arg(shown_.keyTimes ? ""
                                                 : " This source keeps no key times: the rules "
                                                   "on when keys were written were not applied."));
}

QString frmAudit::report() const {
    QStringList lines{lblSummary->text(), kCaptions.join('\t')};
    for (int row = 0; row < lvwFindings->topLevelItemCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < kColumns; ++column)
            cells << lvwFindings->topLevelItem(row)->text(column);
        lines << cells.join('\t');
    }
    return lines.join('\n') + '\n';
}

} // namespace moxalo::views
