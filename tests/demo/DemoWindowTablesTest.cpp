#include "DemoTables.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

// The main program finds a running quibbit by a key and a site that its
// window title must both contain. These tests hold the demo windows and the
// two tables of exceptions together.
namespace {

using demo::DemoQuibbit;

bool Contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

std::string_view DefaultKey(std::string_view title)
{
    constexpr std::string_view word = "Quibbit";
    const auto at = title.find(word);
    return at == std::string_view::npos ? title.substr(0, 4) : title.substr(0, at + word.size());
}

std::string_view TableKey(std::string_view title)
{
    std::string_view key = DefaultKey(title);
    for (const demo::WatchKeyRow& row : demo::kWatchKeyRows) {
        if (title.starts_with(row.fullTitle))
            key = row.watchKey;
    }
    return key;
}

bool Shows(std::string_view window, std::string_view key, std::string_view site)
{
    return Contains(window, key) && Contains(window, site);
}

// Whether the watch of quibbit `q` recognises `window`, with the tables in use.
bool Recognises(const DemoQuibbit& q, std::string_view window, bool keyTable, bool siteTable)
{
    const std::string_view key = keyTable ? TableKey(q.title) : DefaultKey(q.title);
    if (Shows(window, key, q.site))
        return true;
    if (siteTable) {
        for (const demo::AltSiteRow& row : demo::kAltSiteRows) {
            if (row.watchKey == key && Shows(window, key, row.site))
                return true;
        }
    }
    return false;
}

} // namespace

TEST(DemoWindowTables, EachWindowIsRecognisedAndFourNeedEachTable)
{
    std::vector<std::string_view> needKeyTable;
    std::vector<std::string_view> needSiteTable;
    for (const DemoQuibbit& q : demo::kDemoQuibbits) {
        SCOPED_TRACE(std::string(q.windowTitle));
        EXPECT_TRUE(Recognises(q, q.windowTitle, true, true));
        EXPECT_FALSE(Contains(q.windowTitle, "ThumbnailClass"));
        if (!Recognises(q, q.windowTitle, false, false) &&
            Recognises(q, q.windowTitle, true, false))
            needKeyTable.push_back(q.title);
        if (!Recognises(q, q.windowTitle, true, false) && Recognises(q, q.windowTitle, true, true))
            needSiteTable.push_back(q.title);
    }
    std::vector<std::string_view> keyRowTitles;
    for (const demo::WatchKeyRow& row : demo::kWatchKeyRows)
        keyRowTitles.push_back(row.fullTitle);
    std::sort(needKeyTable.begin(), needKeyTable.end());
    std::sort(keyRowTitles.begin(), keyRowTitles.end());
    EXPECT_EQ(needKeyTable, keyRowTitles);
    std::vector<std::string_view> siteKeys;
    for (std::string_view title : needSiteTable)
        siteKeys.push_back(TableKey(title));
    std::vector<std::string_view> siteRowKeys;
    for (const demo::AltSiteRow& row : demo::kAltSiteRows)
        siteRowKeys.push_back(row.watchKey);
    std::sort(siteKeys.begin(), siteKeys.end());
    std::sort(siteRowKeys.begin(), siteRowKeys.end());
    EXPECT_EQ(siteKeys, siteRowKeys);
}

TEST(DemoWindowTables, NoWatchRecognisesAnotherQuibbitsWindow)
{
    for (const DemoQuibbit& watched : demo::kDemoQuibbits) {
        for (const DemoQuibbit& shown : demo::kDemoQuibbits) {
            if (&watched == &shown)
                continue;
            EXPECT_FALSE(Recognises(watched, shown.windowTitle, true, true))
                << watched.title << " takes the window " << shown.windowTitle;
        }
    }
}
