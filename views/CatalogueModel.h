#pragma once
// The rows of the file list: every row the scan has found, in the order found, kept here at
// once so that every command reading "the list's rows" sees them all; the view is told of new
// rows in batches (catchUp), since telling it of each row as it comes costs a layout and a
// paint per row.
// With the effective columns shown, four more columns follow the list's own: what really opens
// each type, resolved when a row is first drawn or sorted, and kept until the list is loaded
// again; rows whose choice Windows would not honour get a background and a tooltip saying why.
// With the audit's marks shown, a row an audit finding concerns is drawn on its severity's
// colour, the tooltip telling the findings; over the effective columns' marks.

#include "catalogue/CatalogueEntry.h"
#include "catalogue/RowColour.h"
#include "catalogue/audit/AuditMarks.h"
#include "catalogue/effective/AssociationTexts.h"

#include <QAbstractTableModel>
#include <functional>
#include <optional>
#include <vector>

namespace moxalo::views {

class CatalogueModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    const std::vector<catalogue::CatalogueEntry>& rows() const { return rows_; }
    void clear();
    void append(catalogue::CatalogueEntry row);
    void removeAt(std::size_t row);
    // Shows the view every row appended since the last call.
    void catchUp();

    catalogue::ColourRef colour(std::size_t row) const { return colours_.at(row); }
    void setColour(std::size_t row, catalogue::ColourRef colour);

    using EffectiveResolver =
        std::function<catalogue::effective::EffectiveCells(const catalogue::CatalogueEntry&)>;
    // Adds the effective columns, filled by `resolver`; an empty one takes them away.
    void showEffective(EffectiveResolver resolver);
    bool showsEffective() const { return static_cast<bool>(resolver_); }

    using AuditMarker =
        std::function<std::optional<catalogue::audit::RowMark>(const catalogue::CatalogueEntry&)>;
    // Marks the rows an audit's findings concern, as `marker` tells them when a row is first
    // drawn; an empty one takes the marks away.
    void showAuditMarks(AuditMarker marker);
    bool showsAuditMarks() const { return static_cast<bool>(marker_); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const catalogue::effective::EffectiveCells& effective(std::size_t row) const;
    const std::optional<catalogue::audit::RowMark>& auditMark(std::size_t row) const;
    QVariant effectiveData(std::size_t row, std::size_t column, int role) const;

    std::vector<catalogue::CatalogueEntry> rows_;
    std::vector<catalogue::ColourRef> colours_;
    std::size_t shown_ = 0; // rows the view has been told of
    EffectiveResolver resolver_;
    // Each row's effective cells once resolved; beside rows_, as long as it once asked for.
    mutable std::vector<std::optional<catalogue::effective::EffectiveCells>> effective_;
    AuditMarker marker_;
    // Each row's mark once asked for (the outer optional), as effective_.
    mutable std::vector<std::optional<std::optional<catalogue::audit::RowMark>>> marks_;
};

} // namespace moxalo::views
