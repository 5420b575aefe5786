// zendrel-list: a maker's and tester's view of list files, read exactly as
// Zendrel reads them.
#include "catalogue/FileCrc32.h"
#include "catalogue/ListFile.h"
#include "platform/ErrorCodes.h"
#include "platform/Paths.h"

#include <QString>
#include <cstdio>
#include <cstring>

namespace {

constexpr char kUsage[] =
    "Usage: zendrel-list parse FILE\n"
    "       zendrel-list crc FILE...\n"
    "\n"
    "parse  Reads a list file as Zendrel does and prints each entry as one JSON\n"
    "       object per line, with the keys gameName, site, title, exeName,\n"
    "       setupName, checksum, releaseDate and notes (all strings; notes keep\n"
    "       their CR LF line breaks). Names that are unsafe as file names (empty,\n"
    "       \".\", \"..\", or holding \"/\") are reported on standard error.\n"
    "crc    Prints the CRC-32 of each file as Zendrel compares it with a list\n"
    "       entry's checksum: \"0x%08x  FILE\".\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read, 2 on wrong usage.\n";

void AppendJsonString(QByteArray& out, const QString& text)
{
    out += '"';
    for (const char c : text.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (u < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", u);
                out += buf;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

QByteArray EntryJson(const CatalogueEntry& e)
{
    const std::pair<const char*, const QString*> fields[] = {
        {"gameName", &e.gameName},       {"site", &e.site},           {"title", &e.title},
        {"exeName", &e.exeName},         {"setupName", &e.setupName}, {"checksum", &e.checksum},
        {"releaseDate", &e.releaseDate}, {"notes", &e.notes}};
    QByteArray out = "{";
    for (const auto& [key, value] : fields) {
        if (out.size() > 1)
            out += ',';
        out += '"';
        out += key;
        out += "\":";
        AppendJsonString(out, *value);
    }
    out += "}\n";
    return out;
}

void WarnUnsafeNames(const char* file, qsizetype index, const CatalogueEntry& e)
{
    const std::pair<const char*, const QString*> names[] = {
        {"title", &e.title}, {"exeName", &e.exeName}, {"setupName", &e.setupName}};
    for (const auto& [key, value] : names) {
        if (platform::IsSafeFileName(*value))
            continue;
        std::fprintf(
            stderr,
            "zendrel-list: %s: entry %lld (%s / %s): %s \"%s\" is not safe as a file name\n", file,
            static_cast<long long>(index + 1), e.gameName.toUtf8().constData(),
            e.site.toUtf8().constData(), key, value->toUtf8().constData());
    }
}

int Parse(const char* file)
{
    EntrySequence entries;
    QString error;
    if (!LoadListFile(QString::fromLocal8Bit(file), entries, &error)) {
        std::fprintf(stderr, "zendrel-list: cannot read %s: %s\n", file,
                     error.toUtf8().constData());
        return 1;
    }
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QByteArray line = EntryJson(entries[i]);
        std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
        WarnUnsafeNames(file, i, entries[i]);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const char* OpenErrorText(int code)
{
    switch (code) {
    case platform::kErrorFileNotFound:
        return "No such file or directory";
    case platform::kErrorPathNotFound:
        return "A part of the path is not a folder";
    case platform::kErrorAccessDenied:
        return "Permission denied, or not a regular file";
    default:
        return "Cannot be opened";
    }
}

int Crc(int count, char** files)
{
    int status = 0;
    for (int i = 0; i < count; ++i) {
        std::uint32_t crc = 0;
        if (const int code = FileCrc32(QString::fromLocal8Bit(files[i]), crc)) {
            std::fprintf(stderr, "zendrel-list: cannot read %s: %s\n", files[i],
                         OpenErrorText(code));
            status = 1;
            continue;
        }
        std::printf("%s  %s\n", Crc32Text(crc).toLatin1().constData(), files[i]);
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    const char* command = argc > 1 ? argv[1] : "";
    if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (std::strcmp(command, "parse") == 0 && argc == 3)
        return Parse(argv[2]);
    if (std::strcmp(command, "crc") == 0 && argc >= 3)
        return Crc(argc - 2, argv + 2);
    std::fputs(kUsage, stderr);
    return 2;
}
