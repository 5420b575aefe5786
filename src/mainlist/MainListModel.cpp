#include "mainlist/MainListModel.h"

#include <numeric>

MainListModel::MainListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int MainListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int MainListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant MainListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return Shown(index.row()).Text(index.column());
}

QVariant MainListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case kGameColumn:
        return QStringLiteral("GAME NAME");
    case kSiteColumn:
        return QStringLiteral("SITE");
    case kStatusColumn:
        return QStringLiteral("STATUS");
    default:
        return {};
    }
}

void MainListModel::Fill(ListRows rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), 0);
    sortAscending_ = false;
    SortOrder(order_, rows_, kStatusColumn, sortAscending_);
    endResetModel();
}

void MainListModel::SortAfterRefill()
{
    sortAscending_ = false;
    SortByColumn(kStatusColumn);
}

void MainListModel::OnHeaderClick(int column)
{
    if (column < kGameColumn || column > kStatusColumn)
        return;
    sortAscending_ = !sortAscending_;
    SortByColumn(column);
}

void MainListModel::SortByColumn(int column)
{
    if (column < kGameColumn || column > kStatusColumn)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> sources;
    sources.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before)
        sources.push_back(order_[static_cast<std::size_t>(index.row())]);

    SortOrder(order_, rows_, column, sortAscending_);

    if (!before.isEmpty()) {
        std::vector<int> shownAt(order_.size());
        for (std::size_t row = 0; row < order_.size(); ++row)
            shownAt[static_cast<std::size_t>(order_[row])] = static_cast<int>(row);
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i)
            after.push_back(
                index(shownAt[static_cast<std::size_t>(sources[static_cast<std::size_t>(i)])],
                      before[i].column()));
        changePersistentIndexList(before, after);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

const ListRow& MainListModel::Row(int row) const
{
    return Shown(row);
}

ListRows MainListModel::Rows() const
{
    ListRows shown;
    shown.reserve(order_.size());
    for (int source : order_)
        shown.push_back(rows_[static_cast<std::size_t>(source)]);
    return shown;
}

int MainListModel::FindRow(const QString& game, const QString& site) const
{
    for (std::size_t row = 0; row < order_.size(); ++row) {
        const ListRow& r = rows_[static_cast<std::size_t>(order_[row])];
        if (r.game == game && r.site == site)
            return static_cast<int>(row);
    }
    return -1;
}

int MainListModel::SetStatus(const QString& game, const QString& site, const QString& status)
{
    int changed = 0;
    for (std::size_t row = 0; row < order_.size(); ++row) {
        ListRow& r = rows_[static_cast<std::size_t>(order_[row])];
        if (r.game != game || r.site != site)
            continue;
        ++changed;
        if (r.status == status)
            continue;
        r.status = status;
        const QModelIndex cell = index(static_cast<int>(row), kStatusColumn);
        Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole});
    }
    return changed;
}

const ListRow& MainListModel::Shown(int row) const
{
    return rows_[static_cast<std::size_t>(order_[static_cast<std::size_t>(row)])];
}
