#include "mainlist/MainListModel.h"

#include "MainListTestRows.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <gtest/gtest.h>

namespace {

std::vector<QString> Games(const MainListModel& model)
{
    std::vector<QString> games;
    for (int row = 0; row < model.rowCount(); ++row)
        games.push_back(model.data(model.index(row, kGameColumn)).toString());
    return games;
}

std::vector<QString> G(std::initializer_list<const char*> names)
{
    std::vector<QString> games;
    for (const char* n : names)
        games.push_back(U(n));
    return games;
}

// A refill as it arrives: sequence order, mixed statuses.
const ListRows kRefill = {
    Row("Chess", "Hub"),   Row("Bingo", "Arena", "Update"), Row("Zoo", "Play", "New"),
    Row("apple", "Arena"), Row("Dice", "Zed", "Update"),
};

class MainListModelTest : public ::testing::Test {
protected:
    MainListModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(MainListModelTest, HasThreeHeadedColumns)
{
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), U("GAME NAME"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), U("SITE"));
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), U("STATUS"));
    EXPECT_FALSE(model.headerData(3, Qt::Horizontal).isValid());
    EXPECT_FALSE(model.headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
}

TEST_F(MainListModelTest, CellsShowTheRowTexts)
{
    model.Fill({Row("Chess Classic", "Arena", "Running")});
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), U("Chess Classic"));
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), U("Arena"));
    EXPECT_EQ(model.data(model.index(0, 2)).toString(), U("Running"));
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::DecorationRole).isValid());
    EXPECT_FALSE(model.data(QModelIndex()).isValid());
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
}

TEST_F(MainListModelTest, FillResetsOnceAndSortsStatusesFirst)
{
    int resets = 0;
    int inserts = 0;
    QObject::connect(&model, &QAbstractItemModel::modelReset, &model, [&] { ++resets; });
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, &model, [&] { ++inserts; });

    model.Fill(kRefill);

    EXPECT_EQ(resets, 1);
    EXPECT_EQ(inserts, 0);
    EXPECT_FALSE(model.SortAscending());
    // "New" before "Update", ties in sequence order, empty statuses last.
    EXPECT_EQ(model.Rows(),
              (ListRows{Row("Zoo", "Play", "New"), Row("Bingo", "Arena", "Update"),
                        Row("Dice", "Zed", "Update"), Row("Chess", "Hub"), Row("apple", "Arena")}));
}

TEST_F(MainListModelTest, HeaderClicksShareOneDirectionFlag)
{
    model.Fill(kRefill);

    model.OnHeaderClick(kGameColumn);
    EXPECT_TRUE(model.SortAscending());
    EXPECT_EQ(Games(model), G({"Bingo", "Chess", "Dice", "Zoo", "apple"}));

    model.OnHeaderClick(kGameColumn);
    EXPECT_FALSE(model.SortAscending());
    EXPECT_EQ(Games(model), G({"apple", "Zoo", "Dice", "Chess", "Bingo"}));

    // The flag was toggled back to ascending: SITE goes A to Z, ties keep their order.
    model.OnHeaderClick(kSiteColumn);
    EXPECT_TRUE(model.SortAscending());
    EXPECT_EQ(Games(model), G({"apple", "Bingo", "Chess", "Zoo", "Dice"}));
}

TEST_F(MainListModelTest, StatusTwiceAfterARefillReturnsToTheRefillOrder)
{
    model.Fill(kRefill);
    const ListRows refillOrder = model.Rows();

    model.OnHeaderClick(kStatusColumn);
    EXPECT_EQ(model.Rows(),
              (ListRows{Row("Bingo", "Arena", "Update"), Row("Dice", "Zed", "Update"),
                        Row("Zoo", "Play", "New"), Row("Chess", "Hub"), Row("apple", "Arena")}));

    model.OnHeaderClick(kStatusColumn);
    EXPECT_EQ(model.Rows(), refillOrder);
}

TEST_F(MainListModelTest, RefillSetsTheFlagBackToDescending)
{
    model.Fill(kRefill);
    model.OnHeaderClick(kGameColumn);
    ASSERT_TRUE(model.SortAscending());

    model.Fill(kRefill);
    EXPECT_FALSE(model.SortAscending());
    model.OnHeaderClick(kGameColumn);
    EXPECT_EQ(Games(model), G({"Bingo", "Chess", "Dice", "Zoo", "apple"}));
}

TEST_F(MainListModelTest, SortAfterRefillKeepsTheRows)
{
    model.Fill(kRefill);
    model.OnHeaderClick(kGameColumn);
    model.SortAfterRefill();
    EXPECT_FALSE(model.SortAscending());
    EXPECT_EQ(Games(model), G({"Zoo", "Bingo", "Dice", "Chess", "apple"}));
}

TEST_F(MainListModelTest, ClicksOutsideTheColumnsChangeNothing)
{
    model.Fill(kRefill);
    const ListRows before = model.Rows();
    for (int column : {-1, 3}) {
        model.OnHeaderClick(column);
        EXPECT_FALSE(model.SortAscending()) << column;
        EXPECT_EQ(model.Rows(), before) << column;
    }
}

TEST_F(MainListModelTest, SelectionFollowsItsRowThroughASort)
{
    model.Fill(kRefill);
    const QPersistentModelIndex chess(
        model.index(model.FindRow(U("Chess"), U("Hub")), kSiteColumn));
    ASSERT_TRUE(chess.isValid());

    model.OnHeaderClick(kGameColumn);
    EXPECT_EQ(chess.row(), 1);
    EXPECT_EQ(chess.column(), kSiteColumn);
    EXPECT_EQ(chess.data().toString(), U("Hub"));

    model.OnHeaderClick(kGameColumn);
    EXPECT_EQ(chess.row(), 3);
    EXPECT_EQ(model.index(chess.row(), kGameColumn).data().toString(), U("Chess"));
}

TEST_F(MainListModelTest, FindRowMatchesGameAndSiteExactly)
{
    model.Fill({Row("Chess", "Hub"), Row("Chess", "Arena", "New"), Row("Chess", "Arena")});
    EXPECT_EQ(model.FindRow(U("Chess"), U("Arena")), 0);
    EXPECT_EQ(model.Row(0), Row("Chess", "Arena", "New"));
    EXPECT_EQ(model.FindRow(U("Chess"), U("Hub")), 1);
    EXPECT_EQ(model.FindRow(U("chess"), U("Hub")), -1);
    EXPECT_EQ(model.FindRow(U("Chess"), U("Hub ")), -1);
}

TEST_F(MainListModelTest, SetStatusWritesEveryMatchingRowInPlace)
{
    model.Fill(
        {Row("Go", "Hub"), Row("Chess", "Arena"), Row("Chess", "Arena"), Row("Chess", "Hub")});
    const ListRows before = model.Rows();
    std::vector<int> changedRows;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, &model,
                     [&](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                         EXPECT_EQ(topLeft, bottomRight);
                         EXPECT_EQ(topLeft.column(), kStatusColumn);
                         changedRows.push_back(topLeft.row());
                     });

    EXPECT_EQ(model.SetStatus(U("Chess"), U("Arena"), U("Running")), 2);
    EXPECT_EQ(changedRows, (std::vector<int>{1, 2}));
    ListRows expected = before;
    expected[1].status = expected[2].status = U("Running");
    EXPECT_EQ(model.Rows(), expected);

    changedRows.clear();
    EXPECT_EQ(model.SetStatus(U("Chess"), U("Arena"), U("Running")), 2);
    EXPECT_TRUE(changedRows.empty());
    EXPECT_EQ(model.SetStatus(U("chess"), U("Arena"), U("New")), 0);
    EXPECT_EQ(model.Rows(), expected);
}

TEST_F(MainListModelTest, FillWithNoRowsEmptiesTheList)
{
    model.Fill(kRefill);
    model.Fill({});
    EXPECT_EQ(model.rowCount(), 0);
    model.OnHeaderClick(kStatusColumn);
    EXPECT_EQ(model.FindRow(U("Zoo"), U("Play")), -1);
}

} // namespace
