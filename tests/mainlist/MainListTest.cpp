#include "mainlist/MainList.h"

#include "MainListTestRows.h"

#include <gtest/gtest.h>
#include <numeric>

namespace {

const QString kPlaceholder = U("Search") + QString(10, u' ');

CatalogueEntry Entry(const char* game, const char* site, bool installed = false,
                     const char* status = "", bool updateAvailable = false)
{
    CatalogueEntry e;
    e.gameName = U(game);
    e.site = U(site);
    e.status = U(status);
    e.installed = installed;
    e.updateAvailable = updateAvailable;
    return e;
}

TEST(SearchPlaceholder, IsSearchAndTenSpaces)
{
    EXPECT_EQ(SearchPlaceholder(), kPlaceholder);
    EXPECT_EQ(SearchPlaceholder().size(), 16);
}

struct NoSearchCase {
    QString text;
    bool noSearch;
    bool startsWithPlaceholder;
};

TEST(IsNoSearch, EmptyOrBeginningWithThePlaceholder)
{
    const NoSearchCase cases[] = {
        {U(""), true, false},
        {kPlaceholder, true, true},
        {kPlaceholder + U("chess"), true, true},
        {U("chess") + kPlaceholder, false, false},
        {U("Search"), false, false},
        {U("Search         "), false, false}, // nine spaces
        {U("search          "), false, false},
        {U(" ") + kPlaceholder, false, false},
        {U(" "), false, false},
    };
    for (const NoSearchCase& c : cases) {
        SCOPED_TRACE(c.text.toStdString() + "|");
        EXPECT_EQ(IsNoSearch(c.text), c.noSearch);
        EXPECT_EQ(StartsWithPlaceholder(c.text), c.startsWithPlaceholder);
    }
}

TEST(LowerAtoZ, ChangesOnlyTheLettersAToZ)
{
    EXPECT_EQ(LowerAtoZ(U("AZaz@[`{ 09|")), U("azaz@[`{ 09|"));
    EXPECT_EQ(LowerAtoZ(U("ÉCOLE İ ШАХ Ａ ÀÖ")), U("École İ ШАХ Ａ ÀÖ"));
}

struct FilterCase {
    const char* game;
    const char* site;
    QString search;
    bool passes;
};

void PrintTo(const FilterCase& c, std::ostream* os)
{
    *os << '"' << c.game << "\" / \"" << c.site << "\" search \"" << c.search.toStdString() << '"';
}

class SearchFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(SearchFilterTest, MatchesGameOrSite)
{
    const FilterCase& c = GetParam();
    const CatalogueEntry entry = Entry(c.game, c.site);
    EXPECT_EQ(PassesSearch(entry, c.search), c.passes);
    EXPECT_EQ(SearchFilter(c.search).Passes(entry), c.passes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchFilterTest,
    ::testing::Values(
        // no search
        FilterCase{"Chess", "Arena", U(""), true}, FilterCase{"Chess", "Arena", kPlaceholder, true},
        FilterCase{"Chess", "Arena", kPlaceholder + U("zzz"), true},
        FilterCase{"Chess", "Arena", U("zzz") + kPlaceholder, false},
        // substring of the game or the site, A-Z case-insensitive
        FilterCase{"Chess Classic", "Arena", U("chess"), true},
        FilterCase{"chess classic", "Arena", U("CHESS CLASSIC"), true},
        FilterCase{"Go", "Big Arena", U("ARENA"), true},
        FilterCase{"Go", "Big Arena", U("g ar"), true},
        FilterCase{"Chess", "Arena", U("ess"), true},
        FilterCase{"Chess", "Arena", U("Chess Arena"), false},
        FilterCase{"Chess", "Arena", U("chessarena"), false}, FilterCase{"", "", U("a"), false},
        FilterCase{"Go", "Hub", U("Gob"), false},
        // '|' in the search matches nothing, even where the joined text has it
        FilterCase{"Chess", "Arena", U("chess|arena"), false},
        FilterCase{"Chess", "Arena", U("s|a"), false}, FilterCase{"Chess", "Arena", U("|"), false},
        FilterCase{"Chess|Pro", "Arena", U("|pro"), false},
        FilterCase{"Chess|Pro", "Arena", U("pro"), true},
        // spaces take part and are not trimmed
        FilterCase{"Chess Classic", "Arena", U("chess "), true},
        FilterCase{"Chess", "Arena", U("chess "), false},
        FilterCase{"Chess", "Arena", U(" chess"), false},
        FilterCase{"Chess", "Arena", U(" "), false},
        FilterCase{"Chess Classic", "Arena", U(" "), true},
        // only A-Z fold
        FilterCase{"École", "Arena", U("école"), false},
        FilterCase{"école", "Arena", U("École"), false},
        FilterCase{"École", "Arena", U("ÉCOLE"), true},
        FilterCase{"İstanbul", "Arena", U("i"), false},
        FilterCase{"ШАХМАТЫ", "Arena", U("шахматы"), false},
        FilterCase{"ＡＢ", "Arena", U("ａｂ"), false},
        FilterCase{"Straße", "Arena", U("STRASSE"), false}));

struct TabCase {
    int tab;
    QString search;
    ListRows rows;
};

TEST(RowsForTab, EachTabDrawsFromItsSequence)
{
    const EntrySequence catalogue = {
        Entry("Chess", "Arena", false, "New"), Entry("Go", "Arena", true, "Update", true),
        Entry("Poker", "Hub", false),          Entry("Chess", "Hub", true, "Running"),
        Entry("Chess", "Arena", false, "New"), // a repeated line gives a repeated row
    };
    const EntrySequence favorites = {
        Entry("Poker", "Hub", false, "Badge"),
        Entry("Go", "Arena", true),
    };
    const TabCase cases[] = {
        {kTabGetMore,
         U(""),
         {Row("Chess", "Arena", "New"), Row("Poker", "Hub"), Row("Chess", "Arena", "New")}},
        {kTabInstalled, U(""), {Row("Go", "Arena", "Update"), Row("Chess", "Hub", "Running")}},
        {kTabFavorites, kPlaceholder, {Row("Poker", "Hub", "Badge"), Row("Go", "Arena")}},
        {kTabGetMore, U("hub"), {Row("Poker", "Hub")}},
        {kTabInstalled, U("CHESS"), {Row("Chess", "Hub", "Running")}},
        {kTabFavorites, U("arena"), {Row("Go", "Arena")}},
        {kTabFavorites, U("chess"), {}},
        {kTabInstalled, U("a|h"), {}},
    };
    for (const TabCase& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "tab " << c.tab << " search " << c.search.toStdString());
        const std::optional<ListRows> rows = RowsForTab(c.tab, catalogue, favorites, c.search);
        ASSERT_TRUE(rows.has_value());
        EXPECT_EQ(*rows, c.rows);
    }
    for (int tab : {-1, 3, 42})
        EXPECT_FALSE(RowsForTab(tab, catalogue, favorites, U("")).has_value()) << tab;
}

TEST(RowsForTab, EmptySequencesGiveNoRows)
{
    for (int tab : {kTabGetMore, kTabInstalled, kTabFavorites}) {
        const std::optional<ListRows> rows = RowsForTab(tab, {}, {}, U(""));
        ASSERT_TRUE(rows.has_value()) << tab;
        EXPECT_TRUE(rows->empty()) << tab;
    }
}

TEST(ShowsOnTab, InstalledFlagDecidesBetweenGetMoreAndInstalled)
{
    const CatalogueEntry installed = Entry("a", "b", true);
    const CatalogueEntry notInstalled = Entry("a", "b", false);
    EXPECT_TRUE(ShowsOnTab(kTabGetMore, notInstalled));
    EXPECT_FALSE(ShowsOnTab(kTabGetMore, installed));
    EXPECT_TRUE(ShowsOnTab(kTabInstalled, installed));
    EXPECT_FALSE(ShowsOnTab(kTabInstalled, notInstalled));
    EXPECT_TRUE(ShowsOnTab(kTabFavorites, installed));
    EXPECT_TRUE(ShowsOnTab(kTabFavorites, notInstalled));
    EXPECT_FALSE(ShowsOnTab(3, notInstalled));
}

TEST(InstalledTabButtons, FindMyQuibbitsNeedsAnEmptyIdleListAndThePlaceholder)
{
    struct Case {
        bool listEmpty;
        bool listLoading;
        QString search;
        bool offered;
    };
    const Case cases[] = {
        {true, false, kPlaceholder, true},   {true, false, kPlaceholder + U("x"), true},
        {true, false, U(""), false}, // the box was clicked into: empty is not the placeholder
        {true, false, U("zzz"), false},      {true, true, kPlaceholder, false},
        {false, false, kPlaceholder, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.listEmpty << c.listLoading << " \"" << c.search.toStdString() << '"');
        EXPECT_EQ(OffersFindMyQuibbits(c.listEmpty, c.listLoading, c.search), c.offered);
    }
}

TEST(InstalledTabButtons, UpdateAllLooksAtTheWholeCatalogue)
{
    const EntrySequence withUpdate = {Entry("a", "b", true), Entry("c", "d", true, "", true)};
    const EntrySequence withoutUpdate = {Entry("a", "b", true), Entry("c", "d", true)};
    EXPECT_TRUE(OffersUpdateAll(false, false, withUpdate));
    EXPECT_FALSE(OffersUpdateAll(false, true, withUpdate));
    EXPECT_FALSE(OffersUpdateAll(true, false, withUpdate));
    EXPECT_FALSE(OffersUpdateAll(false, false, withoutUpdate));
    EXPECT_FALSE(OffersUpdateAll(false, false, {}));
}

struct TextCase {
    QString a;
    QString b;
    int expected;
};

TEST(CompareTexts, UnsignedCodeUnitsReducedToSign)
{
    const QString a254(254, u'a');
    const QString a255(255, u'a');
    const TextCase cases[] = {
        {U(""), U(""), 0},
        {U("a"), U(""), 1},
        {U(""), U("a"), -1},
        {U("abc"), U("abc"), 0},
        {U("abc"), U("abd"), -1},
        {U("abc"), U("ab"), 1},
        {U("z"), U("a"), 1},
        {U("Zoo"), U("apple"), -1},
        {U("apple"), U("Zoo"), 1},
        {U("É"), U("e"), 1},
        {U("é"), U("f"), 1},
        // code units, not code points: a surrogate sorts below U+FF21
        {U("😀"), U("Ａ"), -1},
        {U("Ａ"), U("😀"), 1},
        // cells are read to at most 255 code units
        {a254 + u'x', a254 + u'y', -1},
        {a255 + u'x', a255 + u'y', 0},
        {a255, a255 + u'a', 0},
        {a254, a255, -1},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.a.left(8).toStdString() + " vs " + c.b.left(8).toStdString() + " (" +
                     std::to_string(c.a.size()) + "/" + std::to_string(c.b.size()) + ")");
        EXPECT_EQ(CompareTexts(c.a, c.b), c.expected);
    }
}

struct ComparatorCase {
    int column;
    bool ascending;
    ListRow a;
    ListRow b;
    int expected;
};

void PrintTo(const ComparatorCase& c, std::ostream* os)
{
    *os << "column " << c.column << (c.ascending ? " ascending " : " descending ");
    PrintTo(c.a, os);
    *os << " vs ";
    PrintTo(c.b, os);
}

class ComparatorTest : public ::testing::TestWithParam<ComparatorCase> {};

TEST_P(ComparatorTest, OrdersByItsColumnAndTheFlag)
{
    const ComparatorCase& c = GetParam();
    EXPECT_EQ(CompareByColumn(c.column, c.a, c.b, c.ascending), c.expected);
    const auto named = c.column == kGameColumn   ? CompareByName
                       : c.column == kSiteColumn ? CompareBySite
                                                 : CompareByStatus;
    EXPECT_EQ(named(c.a, c.b, c.ascending), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Name, ComparatorTest,
    ::testing::Values(ComparatorCase{0, true, Row("Zoo", "b"), Row("apple", "a"), -1},
                      ComparatorCase{0, false, Row("Zoo", "b"), Row("apple", "a"), 1},
                      ComparatorCase{0, true, Row("Go", "b", "New"), Row("Go", "a"), 0},
                      ComparatorCase{0, false, Row("Go", "b"), Row("Go", "a", "New"), 0},
                      ComparatorCase{0, true, Row("", "x"), Row("a", "a"), -1},
                      ComparatorCase{0, false, Row("", "x"), Row("a", "a"), 1}));

INSTANTIATE_TEST_SUITE_P(
    Site, ComparatorTest,
    ::testing::Values(ComparatorCase{1, true, Row("a", "Hub"), Row("z", "Arena"), 1},
                      ComparatorCase{1, false, Row("a", "Hub"), Row("z", "Arena"), -1},
                      ComparatorCase{1, true, Row("a", "Hub"), Row("z", "Hub"), 0},
                      ComparatorCase{1, true, Row("a", "arena"), Row("a", "Arena"), 1}));

INSTANTIATE_TEST_SUITE_P(
    Status, ComparatorTest,
    ::testing::Values(
        // ascending flag: descending text, empty last
        ComparatorCase{2, true, Row("a", "s", "New"), Row("b", "s", "Update"), 1},
        ComparatorCase{2, true, Row("a", "s", "Update"), Row("b", "s", "New"), -1},
        ComparatorCase{2, true, Row("a", "s", ""), Row("b", "s", "New"), 1},
        ComparatorCase{2, true, Row("a", "s", "New"), Row("b", "s", ""), -1},
        ComparatorCase{2, true, Row("a", "s", ""), Row("b", "s", ""), 0},
        ComparatorCase{2, true, Row("a", "s", "New"), Row("b", "t", "New"), 0},
        // descending flag: non-empty first in ascending text, then empty
        ComparatorCase{2, false, Row("a", "s", "New"), Row("b", "s", "Update"), -1},
        ComparatorCase{2, false, Row("a", "s", "Update"), Row("b", "s", "New"), 1},
        ComparatorCase{2, false, Row("a", "s", ""), Row("b", "s", "New"), 1},
        ComparatorCase{2, false, Row("a", "s", "New"), Row("b", "s", ""), -1},
        ComparatorCase{2, false, Row("a", "s", ""), Row("b", "s", ""), 0},
        ComparatorCase{2, false, Row("a", "s", "Running"), Row("b", "t", "Running"), 0},
        ComparatorCase{2, false, Row("a", "s", "Update"), Row("b", "s", "badge"), -1}));

TEST(CompareByColumn, OtherColumnsTie)
{
    for (int column : {-1, 3})
        EXPECT_EQ(CompareByColumn(column, Row("a", "a", "a"), Row("b", "b", "b"), true), 0);
}

TEST(SortOrder, IsStableAndLeavesOtherColumnsAlone)
{
    const ListRows rows = {Row("b", "s"), Row("a", "s", "New"), Row("b", "t"), Row("a", "t"),
                           Row("c", "s", "New")};
    std::vector<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);

    SortOrder(order, rows, kGameColumn, true);
    EXPECT_EQ(order, (std::vector<int>{1, 3, 0, 2, 4}));
    SortOrder(order, rows, kStatusColumn, false);
    EXPECT_EQ(order, (std::vector<int>{1, 4, 3, 0, 2}));
    SortOrder(order, rows, 7, true);
    EXPECT_EQ(order, (std::vector<int>{1, 4, 3, 0, 2}));
}

TEST(SortOrder, TiesKeepTheirOrderInLongLists)
{
    const char* statuses[] = {"", "New", "", "Update", "", "", "Badge"};
    ListRows rows;
    for (int i = 0; i < 500; ++i)
        rows.push_back(ListRow{QString::number(i), U("s"), U(statuses[i % 7])});
    std::vector<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);

    for (bool ascending : {false, true}) {
        SCOPED_TRACE(ascending);
        std::vector<int> sorted = order;
        SortOrder(sorted, rows, kStatusColumn, ascending);
        for (std::size_t k = 1; k < sorted.size(); ++k) {
            const ListRow& a = rows[static_cast<std::size_t>(sorted[k - 1])];
            const ListRow& b = rows[static_cast<std::size_t>(sorted[k])];
            const int c = CompareByStatus(a, b, ascending);
            ASSERT_LE(c, 0) << k;
            if (c == 0) {
                ASSERT_LT(sorted[k - 1], sorted[k]) << k;
            }
        }
    }
}

} // namespace
