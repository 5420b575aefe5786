#pragma once

#include "mainlist/MainList.h"

#include <QAbstractTableModel>

// The rows of the main list (control 1013) for a view to show. Rows are kept
// in the order they were filled and shown through a sorted index order.
//
// The window keeps the view's own sorting off and routes header clicks to
// OnHeaderClick: one direction flag is shared by all three columns.
class MainListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit MainListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Replaces all rows (one model reset), then sorts as after every refill.
    void Fill(ListRows rows);

    // The sort that ends a refill: direction flag false, by STATUS.
    void SortAfterRefill();

    // Toggles the shared direction flag, then sorts by `column`; columns other
    // than 0, 1 and 2 do nothing.
    void OnHeaderClick(int column);

    // Sorts by `column` with the current flag. Selections follow their rows.
    void SortByColumn(int column);

    bool SortAscending() const { return sortAscending_; }
    void SetSortAscending(bool ascending) { sortAscending_ = ascending; }

    // The row shown at `row`; `row` must be in range.
    const ListRow& Row(int row) const;
    // Every row in the order shown.
    ListRows Rows() const;

    // The first shown row whose game and site equal these exactly, or -1.
    int FindRow(const QString& game, const QString& site) const;

    // Writes `status` into the STATUS cell of every row whose game and site
    // equal these exactly; the order is left as it is. Gives the number of
    // matching rows.
    int SetStatus(const QString& game, const QString& site, const QString& status);

private:
    const ListRow& Shown(int row) const;

    ListRows rows_;
    std::vector<int> order_;
    bool sortAscending_ = true;
};
