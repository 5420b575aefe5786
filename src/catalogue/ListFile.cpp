#include "catalogue/ListFile.h"

#include "platform/Local8Bit.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kUsedFields = 8;

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

void SetField(CatalogueEntry& e, int index, QByteArrayView bytes)
{
    QString text = platform::FromLocal8BitStrict(bytes);
    switch (index) {
    case 0:
        e.gameName = std::move(text);
        break;
    case 1:
        e.site = std::move(text);
        break;
    case 2:
        e.title = std::move(text);
        break;
    case 3:
        e.exeName = std::move(text);
        break;
    case 4:
        e.setupName = std::move(text);
        break;
    case 5:
        e.checksum = std::move(text);
        break;
    case 6:
        e.releaseDate = std::move(text);
        break;
    case 7:
        e.notes = text.replace(u'|', QStringLiteral("\r\n"));
        break;
    default:
        break;
    }
}

// Calls f(index, field) for each field of a line; stops after `limit` fields.
template <typename F> int ForEachField(QByteArrayView line, int limit, F&& f)
{
    int count = 0;
    qsizetype pos = 0;
    const qsizetype n = line.size();
    while (pos < n && count < limit) {
        while (pos < n && line[pos] == '#')
            ++pos;
        if (pos >= n)
            break;
        qsizetype end = pos;
        while (end < n && line[end] != '#')
            ++end;
        f(count++, line.sliced(pos, end - pos));
        pos = end;
    }
    return count;
}

} // namespace

QList<QByteArrayView> SplitListLine(QByteArrayView line)
{
    QList<QByteArrayView> fields;
    ForEachField(line, std::numeric_limits<int>::max(),
                 [&](int, QByteArrayView field) { fields.append(field); });
    return fields;
}

EntrySequence ParseListText(QByteArrayView bytes)
{
    EntrySequence entries;
    qsizetype pos = 0;
    const qsizetype n = bytes.size();
    while (pos < n) {
        if (IsLineEnd(bytes[pos])) {
            ++pos;
            continue;
        }
        qsizetype end = pos;
        while (end < n && !IsLineEnd(bytes[end]))
            ++end;
        CatalogueEntry entry;
        const int fields = ForEachField(bytes.sliced(pos, end - pos), kUsedFields,
                                        [&](int i, QByteArrayView f) { SetField(entry, i, f); });
        if (fields > 0)
            entries.append(std::move(entry));
        pos = end;
    }
    return entries;
}

bool LoadListFile(const QString& path, EntrySequence& target, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo info(path);
    if (!info.exists())
        return fail(QStringLiteral("No such file"));
    if (!info.isFile())
        return fail(QStringLiteral("Not a regular file"));
    if (info.size() > kMaxListFileSize)
        return fail(QStringLiteral("File too large for a list file (over %1 MiB)")
                        .arg(kMaxListFileSize / (1024 * 1024)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    // Read at most one byte past the limit: the file may grow after the check.
    const QByteArray bytes = file.read(kMaxListFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (bytes.size() > kMaxListFileSize)
        return fail(QStringLiteral("File too large for a list file"));
    target = ParseListText(bytes);
    if (error)
        error->clear();
    return true;
}
