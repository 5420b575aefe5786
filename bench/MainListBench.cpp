// One search keystroke on the main list at catalogue scale: filter, refill and
// the status sort that follows every refill.
#include "mainlist/MainList.h"
#include "mainlist/MainListModel.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kEntries = 100000;

const EntrySequence& Catalogue()
{
    static const EntrySequence catalogue = [] {
        const QString statuses[] = {QString(), QString(),
                                    QString(), QStringLiteral("New"),
                                    QString(), QStringLiteral("Update"),
                                    QString(), QStringLiteral("Badge")};
        EntrySequence entries;
        entries.reserve(kEntries);
        for (int i = 0; i < kEntries; ++i) {
            CatalogueEntry e;
            e.gameName = QStringLiteral("Game %1 Deluxe").arg((i * 7919) % kEntries);
            e.site = QStringLiteral("Site %1").arg(i % 7);
            e.title = e.gameName + QStringLiteral(" Quibbit - ") + e.site;
            e.status = statuses[i % 8];
            e.installed = i % 10 == 0;
            entries.push_back(e);
        }
        return entries;
    }();
    return catalogue;
}

// One keystroke: the text now in the box, then everything FillList does with it.
void Keystroke(benchmark::State& state, const QString& searchText)
{
    const EntrySequence& catalogue = Catalogue();
    const EntrySequence favorites;
    MainListModel model;
    int shown = 0;
    for (auto _ : state) {
        std::optional<ListRows> rows = RowsForTab(kTabGetMore, catalogue, favorites, searchText);
        model.Fill(std::move(*rows));
        shown = model.rowCount();
        benchmark::DoNotOptimize(shown);
    }
    state.counters["rows"] = shown;
}

void KeystrokeNarrowing(benchmark::State& state)
{
    Keystroke(state, QStringLiteral("me 12"));
}

void KeystrokeFirstLetter(benchmark::State& state)
{
    Keystroke(state, QStringLiteral("g"));
}

void KeystrokeNoMatch(benchmark::State& state)
{
    Keystroke(state, QStringLiteral("chess"));
}

void PlaceholderRefill(benchmark::State& state)
{
    Keystroke(state, SearchPlaceholder());
}

void HeaderClickByName(benchmark::State& state)
{
    MainListModel model;
    model.Fill(*RowsForTab(kTabGetMore, Catalogue(), {}, QString()));
    for (auto _ : state)
        model.OnHeaderClick(kGameColumn);
    state.counters["rows"] = model.rowCount();
}

} // namespace

BENCHMARK(KeystrokeNarrowing)->Unit(benchmark::kMillisecond);
BENCHMARK(KeystrokeFirstLetter)->Unit(benchmark::kMillisecond);
BENCHMARK(KeystrokeNoMatch)->Unit(benchmark::kMillisecond);
BENCHMARK(PlaceholderRefill)->Unit(benchmark::kMillisecond);
BENCHMARK(HeaderClickByName)->Unit(benchmark::kMillisecond);
