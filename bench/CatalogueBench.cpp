// Checksum throughput beside its baselines, and list reading at catalogue scale.
#include "catalogue/FileCrc32.h"
#include "catalogue/ListFile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <zlib.h>

namespace {

constexpr qsizetype kCrcBytes = 64 * 1024 * 1024;

const QByteArray& RandomBytes()
{
    static const QByteArray bytes = [] {
        QByteArray b(kCrcBytes, Qt::Uninitialized);
        QRandomGenerator gen(7);
        gen.fillRange(reinterpret_cast<quint32*>(b.data()), b.size() / 4);
        return b;
    }();
    return bytes;
}

struct TempFile {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("data"));
    explicit TempFile(const QByteArray& bytes)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write the benchmark file");
    }
};

void ByteTableLoop(benchmark::State& state)
{
    std::uint32_t table[256];
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    const QByteArray& bytes = RandomBytes();
    for (auto _ : state) {
        std::uint32_t value = 0xFFFFFFFFu;
        for (char b : bytes)
            value = (value >> 8) ^ table[(value ^ static_cast<unsigned char>(b)) & 0xFF];
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void ZlibCrc32Buffer(benchmark::State& state)
{
    const QByteArray& bytes = RandomBytes();
    for (auto _ : state) {
        uLong value = crc32(0L, reinterpret_cast<const Bytef*>(bytes.constData()),
                            static_cast<uInt>(bytes.size()));
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void FileCrc32CachedFile(benchmark::State& state)
{
    const TempFile file(RandomBytes());
    std::uint32_t crc = 0;
    FileCrc32(file.path, crc); // warm the page cache
    for (auto _ : state) {
        FileCrc32(file.path, crc);
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(state.iterations() * kCrcBytes);
}

QByteArray GeneratedList(int entries)
{
    QByteArray text;
    for (int i = 0; i < entries; ++i) {
        const QByteArray n = QByteArray::number(i);
        text += "Game " + n + "#Site " + QByteArray::number(i % 7) + "#Game " + n +
                " Quibbit - Site#Game" + n + "Quibbit.exe#game" + n + "setup#0x" +
                QByteArray::number(i * 2654435761u, 16).rightJustified(8, '0') +
                "#5/20/2022#GEN:A quibbit for game " + n + "|with two lines:UPDATE:fixes:\r\n";
    }
    return text;
}

void LoadListFile100k(benchmark::State& state)
{
    const TempFile file(GeneratedList(100000));
    EntrySequence entries;
    for (auto _ : state) {
        LoadListFile(file.path, entries);
        benchmark::DoNotOptimize(entries.size());
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}

} // namespace

BENCHMARK(ByteTableLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(ZlibCrc32Buffer)->Unit(benchmark::kMillisecond);
BENCHMARK(FileCrc32CachedFile)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadListFile100k)->Unit(benchmark::kMillisecond);
