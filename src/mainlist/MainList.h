#pragma once

#include "catalogue/CatalogueEntry.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

// The tabs of the main list, as the hidden tab control numbers them.
inline constexpr int kTabGetMore = 0;
inline constexpr int kTabInstalled = 1;
inline constexpr int kTabFavorites = 2;

// Columns of the main list.
inline constexpr int kGameColumn = 0;
inline constexpr int kSiteColumn = 1;
inline constexpr int kStatusColumn = 2;
inline constexpr int kColumnCount = 3;

// The search box's placeholder: "Search" and ten spaces.
QString SearchPlaceholder();

// True when `searchText` begins with the placeholder (case-sensitive).
bool StartsWithPlaceholder(QStringView searchText);

// Empty, or beginning with the placeholder: the list is not narrowed.
bool IsNoSearch(QStringView searchText);

// Lower-cases the letters A to Z only; every other code unit stays.
QString LowerAtoZ(QString text);

// One row of the main list: the texts of its three columns. A row has no link
// to its entry; commands find the entry again by game and site.
struct ListRow {
    QString game;
    QString site;
    QString status;

    QString Text(int column) const;
    friend bool operator==(const ListRow&, const ListRow&) = default;
};
using ListRows = std::vector<ListRow>;

ListRow RowOf(const CatalogueEntry& entry);

// The search filter prepared once per refill, so that testing an entry
// allocates nothing.
class SearchFilter {
public:
    explicit SearchFilter(const QString& searchText);

    // The search text is an A-Z-case-insensitive substring of the game name
    // or of the site; a search text holding '|' matches nothing.
    bool Passes(QStringView game, QStringView site) const;
    bool Passes(const CatalogueEntry& entry) const { return Passes(entry.gameName, entry.site); }

private:
    bool any_ = true;
    bool none_ = false;
    QString needle_; // already lower-cased
};

bool PassesSearch(const CatalogueEntry& entry, const QString& searchText);

// Whether a catalogue entry belongs on "Get more" (not installed) or
// "Installed" (installed). Every entry of Favorites belongs on "Favorites".
bool ShowsOnTab(int tab, const CatalogueEntry& entry);

// The rows of a refill for `tab`, in sequence order, before sorting: tabs 0
// and 1 draw from `catalogue`, tab 2 from `favorites`. Any other tab leaves
// the rows untouched: nullopt.
std::optional<ListRows> RowsForTab(int tab, const EntrySequence& catalogue,
                                   const EntrySequence& favorites, const QString& searchText);

// "Installed" offers "Find my quibbits" when its list came out empty while no
// list download runs and the search box shows the placeholder.
bool OffersFindMyQuibbits(bool listEmpty, bool listLoading, QStringView searchText);

// "Installed" offers "Update all" when nothing is selected, the list is not
// empty and some catalogue entry, shown or not, has an update.
bool OffersUpdateAll(bool listEmpty, bool rowSelected, const EntrySequence& catalogue);

// Cell texts compare by at most this many code units, as the list reads them.
inline constexpr qsizetype kSortTextLimit = 255;

// Code unit by code unit, unsigned 16-bit, a text that ends first is smaller;
// no case folding, no locale. Gives -1, 0 or +1.
int CompareTexts(QStringView a, QStringView b);

// The three column orders under the shared direction flag; negative when `a`
// goes first, positive when `b` does, 0 when they tie.
int CompareByName(const ListRow& a, const ListRow& b, bool sortAscending);
int CompareBySite(const ListRow& a, const ListRow& b, bool sortAscending);
// Ascending flag: status text descending, so empty statuses come last.
// Descending flag: non-empty statuses first in ascending text order, then the
// empty ones.
int CompareByStatus(const ListRow& a, const ListRow& b, bool sortAscending);

// The comparison of `column` (0, 1 or 2); any other column compares equal.
int CompareByColumn(int column, const ListRow& a, const ListRow& b, bool sortAscending);

// Stable sort of `order` (indexes into `rows`) by `column`: rows that tie keep
// their relative order.
void SortOrder(std::vector<int>& order, const ListRows& rows, int column, bool sortAscending);
