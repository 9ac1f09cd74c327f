#include "views/CatalogueModel.h"

#include "views/modColors.h"

#include <QColor>

namespace moxalo::views {

namespace {

QColor toQColor(catalogue::ColourRef bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

} // namespace

void CatalogueModel::clear() {
    beginResetModel();
    rows_.clear();
    colours_.clear();
    effective_.clear();
    marks_.clear();
    shown_ = 0;
    endResetModel();
}

void CatalogueModel::append(catalogue::CatalogueEntry row) {
    rows_.push_back(std::move(row));
    colours_.push_back(catalogue::kPlainColour);
}

void CatalogueModel::removeAt(std::size_t row) {
    bool shown = row < shown_;
    if (shown)
        beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row));
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
    colours_.erase(colours_.begin() + static_cast<std::ptrdiff_t>(row));
    if (row < effective_.size())
        effective_.erase(effective_.begin() + static_cast<std::ptrdiff_t>(row));
    if (row < marks_.size())
        marks_.erase(marks_.begin() + static_cast<std::ptrdiff_t>(row));
    if (shown) {
        --shown_;
        endRemoveRows();
    }
}

void CatalogueModel::catchUp() {
    if (shown_ == rows_.size())
        return;
    beginInsertRows({}, static_cast<int>(shown_), static_cast<int>(rows_.size()) - 1);
    shown_ = rows_.size();
    endInsertRows();
}

void CatalogueModel::setColour(std::size_t row, catalogue::ColourRef colour) {
    colours_.at(row) = colour;
    if (row < shown_)
        emit dataChanged(index(static_cast<int>(row), 0),
                         index(static_cast<int>(row), columnCount() - 1), {Qt::ForegroundRole});
}

void CatalogueModel::showEffective(EffectiveResolver resolver) {
    const int first = static_cast<int>(catalogue::kColumnCount);
    const int last = first + static_cast<int>(catalogue::effective::kEffectiveColumnCount) - 1;
    if (showsEffective()) {
        beginRemoveColumns({}, first, last);
        resolver_ = nullptr;
        effective_.clear();
        endRemoveColumns();
    }
    if (!resolver)
        return;
    beginInsertColumns({}, first, last);
    resolver_ = std::move(resolver);
    endInsertColumns();
}

const catalogue::effective::EffectiveCells& CatalogueModel::effective(std::size_t row) const {
    if (effective_.size() < rows_.size())
        effective_.resize(rows_.size());
    if (!effective_[row])
        effective_[row] = resolver_(rows_[row]);
    return *effective_[row];
}

void CatalogueModel::showAuditMarks(AuditMarker marker) {
    marker_ = std::move(marker);
    marks_.clear();
    if (shown_ > 0)
        emit dataChanged(index(0, 0), index(static_cast<int>(shown_) - 1, columnCount() - 1),
                         {Qt::BackgroundRole, Qt::ToolTipRole});
}

const std::optional<catalogue::audit::RowMark>& CatalogueModel::auditMark(std::size_t row) const {
    if (marks_.size() < rows_.size())
        marks_.resize(rows_.size());
    if (!marks_[row])
        marks_[row] = marker_(rows_[row]);
    return *marks_[row];
}

int CatalogueModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_);
}

int CatalogueModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return static_cast<int>(catalogue::kColumnCount +
                            (showsEffective() ? catalogue::effective::kEffectiveColumnCount : 0));
}

QVariant CatalogueModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= shown_)
        return {};
    auto row = static_cast<std::size_t>(index.row());
    const auto column = static_cast<std::size_t>(index.column());
    if (role == Qt::DisplayRole && column < catalogue::kColumnCount)
        return QString::fromStdString(
            catalogue::CellText(rows_[row], static_cast<catalogue::Column>(column)));
    if (role == Qt::ForegroundRole)
        return toQColor(colours_[row]);
    if (marker_ && (role == Qt::BackgroundRole || role == Qt::ToolTipRole)) {
        if (const auto& mark = auditMark(row))
            return role == Qt::BackgroundRole ? QVariant(severityColour(mark->severity))
                                              : QVariant(QString::fromStdString(mark->why));
    }
    if (!showsEffective())
        return {};
    return effectiveData(row, column, role);
}

QVariant CatalogueModel::effectiveData(std::size_t row, std::size_t column, int role) const {
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(effective(row).cells[column - catalogue::kColumnCount]);
    case Qt::BackgroundRole:
        return effective(row).marked ? QVariant(toQColor(catalogue::kSuspectBackColour))
                                     : QVariant();
    case Qt::ToolTipRole:
        // Why a row is marked, over all of it; else an effective cell's whole text, which a
        // packaged app's name in its "@{...}" form is too long to show.
        if (!effective(row).why.empty())
            return QString::fromStdString(effective(row).why);
        if (column >= catalogue::kColumnCount)
            return QString::fromStdString(effective(row).cells[column - catalogue::kColumnCount]);
        return {};
    default:
        return {};
    }
}

QVariant CatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount())
        return {};
    const auto column = static_cast<std::size_t>(section);
    if (column >= catalogue::kColumnCount)
        return QString::fromUtf8(
            catalogue::effective::kEffectiveCaptions[column - catalogue::kColumnCount]);
    return QString::fromUtf8(
        catalogue::kColumns[static_cast<std::size_t>(section)].caption.data(),
        static_cast<qsizetype>(
            catalogue::kColumns[static_cast<std::size_t>(section)].caption.size()));
}

} // namespace moxalo::views
