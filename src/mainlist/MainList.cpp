#include "mainlist/MainList.h"

#include <algorithm>

namespace {

char16_t FoldAtoZ(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

// `needle` is non-empty and already folded.
bool ContainsFolded(QStringView haystack, QStringView needle)
{
    const qsizetype n = needle.size();
    const qsizetype last = haystack.size() - n;
    const char16_t* h = haystack.utf16();
    const char16_t* p = needle.utf16();
    for (qsizetype i = 0; i <= last; ++i) {
        if (FoldAtoZ(h[i]) != p[0])
            continue;
        qsizetype k = 1;
        while (k < n && FoldAtoZ(h[i + k]) == p[k])
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

} // namespace

QString SearchPlaceholder()
{
    return QStringLiteral("Search          ");
}

bool StartsWithPlaceholder(QStringView searchText)
{
    return searchText.startsWith(u"Search          ");
}

bool IsNoSearch(QStringView searchText)
{
    return searchText.isEmpty() || StartsWithPlaceholder(searchText);
}

QString LowerAtoZ(QString text)
{
    for (QChar& c : text)
        c = QChar(FoldAtoZ(c.unicode()));
    return text;
}

QString ListRow::Text(int column) const
{
    switch (column) {
    case kGameColumn:
        return game;
    case kSiteColumn:
        return site;
    case kStatusColumn:
        return status;
    default:
        return {};
    }
}

ListRow RowOf(const CatalogueEntry& entry)
{
    return ListRow{entry.gameName, entry.site, entry.status};
}

SearchFilter::SearchFilter(const QString& searchText)
    : any_(IsNoSearch(searchText))
    , none_(!any_ && searchText.contains(u'|'))
    , needle_(any_ || none_ ? QString() : LowerAtoZ(searchText))
{
}

bool SearchFilter::Passes(QStringView game, QStringView site) const
{
    if (any_)
        return true;
    if (none_)
        return false;
    // The needle holds no '|', so a match in "game|site" lies wholly in one of them.
    return ContainsFolded(game, needle_) || ContainsFolded(site, needle_);
}

bool PassesSearch(const CatalogueEntry& entry, const QString& searchText)
{
    return SearchFilter(searchText).Passes(entry);
}

bool ShowsOnTab(int tab, const CatalogueEntry& entry)
{
    switch (tab) {
    case kTabGetMore:
        return !entry.installed;
    case kTabInstalled:
        return entry.installed;
    case kTabFavorites:
        return true;
    default:
        return false;
    }
}

std::optional<ListRows> RowsForTab(int tab, const EntrySequence& catalogue,
                                   const EntrySequence& favorites, const QString& searchText)
{
    if (tab < kTabGetMore || tab > kTabFavorites)
        return std::nullopt;
    const EntrySequence& source = tab == kTabFavorites ? favorites : catalogue;
    const SearchFilter filter(searchText);
    ListRows rows;
    rows.reserve(static_cast<std::size_t>(source.size()));
    for (const CatalogueEntry& entry : source) {
        if (ShowsOnTab(tab, entry) && filter.Passes(entry))
            rows.push_back(RowOf(entry));
    }
    return rows;
}

bool OffersFindMyQuibbits(bool listEmpty, bool listLoading, QStringView searchText)
{
    return listEmpty && !listLoading && StartsWithPlaceholder(searchText);
}

bool OffersUpdateAll(bool listEmpty, bool rowSelected, const EntrySequence& catalogue)
{
    return !listEmpty && !rowSelected &&
           std::any_of(catalogue.cbegin(), catalogue.cend(),
                       [](const CatalogueEntry& e) { return e.updateAvailable; });
}

int CompareTexts(QStringView a, QStringView b)
{
    const qsizetype na = std::min(a.size(), kSortTextLimit);
    const qsizetype nb = std::min(b.size(), kSortTextLimit);
    const char16_t* pa = a.utf16();
    const char16_t* pb = b.utf16();
    if (pa == pb && na == nb)
        return 0;
    const qsizetype n = std::min(na, nb);
    for (qsizetype i = 0; i < n; ++i) {
        if (pa[i] != pb[i])
            return pa[i] < pb[i] ? -1 : 1;
    }
    return na == nb ? 0 : (na < nb ? -1 : 1);
}

int CompareByName(const ListRow& a, const ListRow& b, bool sortAscending)
{
    const int c = CompareTexts(a.game, b.game);
    return sortAscending ? c : -c;
}

int CompareBySite(const ListRow& a, const ListRow& b, bool sortAscending)
{
    const int c = CompareTexts(a.site, b.site);
    return sortAscending ? c : -c;
}

int CompareByStatus(const ListRow& a, const ListRow& b, bool sortAscending)
{
    if (sortAscending)
        return -CompareTexts(a.status, b.status);
    const bool emptyA = a.status.isEmpty();
    const bool emptyB = b.status.isEmpty();
    if (emptyA || emptyB)
        return emptyA == emptyB ? 0 : (emptyA ? 1 : -1);
    return CompareTexts(a.status, b.status);
}

int CompareByColumn(int column, const ListRow& a, const ListRow& b, bool sortAscending)
{
    switch (column) {
    case kGameColumn:
        return CompareByName(a, b, sortAscending);
    case kSiteColumn:
        return CompareBySite(a, b, sortAscending);
    case kStatusColumn:
        return CompareByStatus(a, b, sortAscending);
    default:
        return 0;
    }
}

void SortOrder(std::vector<int>& order, const ListRows& rows, int column, bool sortAscending)
{
    const auto at = [&rows](int i) -> const ListRow& { return rows[static_cast<std::size_t>(i)]; };
    switch (column) {
    case kGameColumn:
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return CompareByName(at(a), at(b), sortAscending) < 0;
        });
        break;
    case kSiteColumn:
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return CompareBySite(at(a), at(b), sortAscending) < 0;
        });
        break;
    case kStatusColumn: {
        // Either way empty statuses go last in their present order, so only
        // the rows with a status need comparing.
        const auto withStatus = std::stable_partition(
            order.begin(), order.end(), [&](int i) { return !at(i).status.isEmpty(); });
        std::stable_sort(order.begin(), withStatus, [&](int a, int b) {
            const int c = CompareTexts(at(a).status, at(b).status);
            return sortAscending ? c > 0 : c < 0;
        });
        break;
    }
    default:
        break;
    }
}
