// Writes the demo web site: the catalogue, one installer per quibbit and an
// older build of one quibbit. Everything but the dates depends only on the
// built programs.
//
//   demo-site --out <folder> [--bin <folder>] [--today yyyy-MM-dd]
#include "DemoTables.h"
#include "Trailer.h"
#include "catalogue/FileCrc32.h"

#include <QByteArray>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>
#include <string>

namespace {

QString Text(std::string_view view)
{
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

QString DateText(const QDate& date)
{
    return date.toString(QStringLiteral("M/d/yyyy"));
}

[[noreturn]] void Fail(const QString& message)
{
    std::fprintf(stderr, "demo-site: %s\n", message.toLocal8Bit().constData());
    std::exit(1);
}

std::string ReadProgram(const QString& bin, const char* name)
{
    const QString path = bin + QLatin1Char('/') + QLatin1String(name);
    const auto bytes = demo::ReadWholeFile(QFile::encodeName(path).toStdString());
    if (!bytes || bytes->empty())
        Fail(QStringLiteral("cannot read %1 (build it first, or pass --bin)").arg(path));
    return *bytes;
}

void WriteOut(const QString& path, std::string_view bytes, bool executable)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        Fail(QStringLiteral("cannot create the folder of %1").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()))
        Fail(QStringLiteral("cannot write %1").arg(path));
    if (!file.commit())
        Fail(QStringLiteral("cannot write %1").arg(path));
    if (executable)
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner |
                                        QFileDevice::ExeGroup | QFileDevice::ExeOther);
}

std::string QuibbitFile(const std::string& program, const demo::DemoQuibbit& q,
                        std::string_view version)
{
    std::string resName = QFileInfo(Text(q.exeName)).completeBaseName().toLower().toStdString();
    return demo::WithTrailer(
        program,
        demo::PackFields({std::string(q.windowTitle), resName, std::string(demo::kWindowClass),
                          std::string(version)}),
        demo::kQuibbitMagic);
}

QString Checksum(const QTemporaryDir& scratch, const std::string& bytes)
{
    const QString path = scratch.filePath(QStringLiteral("quibbit"));
    WriteOut(path, bytes, false);
    std::uint32_t crc = 0;
    if (FileCrc32(path, crc) != 0)
        Fail(QStringLiteral("cannot read back %1").arg(path));
    return Crc32Text(crc);
}

QString Notes(const demo::DemoQuibbit& q, const QDate& today)
{
    QString notes = Text(q.notes);
    notes.replace(QStringLiteral("{badge}"),
                  QLatin1Char('{') + DateText(today.addDays(-q.badgeDaysAgo)) + QLatin1Char('}'));
    return notes;
}

} // namespace

int main(int argc, char** argv)
{
    QString out;
    QString bin = QFileInfo(QFile::decodeName(argv[0])).absolutePath();
    QDate today = QDate::currentDate();
    for (int i = 1; i + 1 < argc; i += 2) {
        const QString option = QString::fromLocal8Bit(argv[i]);
        const QString value = QString::fromLocal8Bit(argv[i + 1]);
        if (option == QLatin1String("--out"))
            out = value;
        else if (option == QLatin1String("--bin"))
            bin = value;
        else if (option == QLatin1String("--today"))
            today = QDate::fromString(value, Qt::ISODate);
        else
            Fail(QStringLiteral("unknown option %1").arg(option));
    }
    if (out.isEmpty() || argc % 2 == 0 || !today.isValid())
        Fail(QStringLiteral("usage: demo-site --out <folder> [--bin <folder>] "
                            "[--today yyyy-MM-dd]"));

    const std::string quibbit = ReadProgram(bin, "demo-quibbit");
    const std::string stub = ReadProgram(bin, "demo-installer");
    const std::string uninstaller = ReadProgram(bin, "demo-uninstaller");
    QTemporaryDir scratch;
    if (!scratch.isValid())
        Fail(QStringLiteral("cannot create a temporary folder"));

    QByteArray catalogue;
    for (const demo::DemoQuibbit& q : demo::kDemoQuibbits) {
        const std::string exe = QuibbitFile(quibbit, q, q.version);
        const std::string installer =
            demo::WithTrailer(stub, demo::PackFields({std::string(q.exeName), exe, uninstaller}),
                              demo::kInstallerMagic);
        WriteOut(QStringLiteral("%1/download/%2.exe").arg(out, Text(q.setupName)), installer, true);

        const QStringList fields{Text(q.gameName),
                                 Text(q.site),
                                 Text(q.title),
                                 Text(q.exeName),
                                 Text(q.setupName),
                                 Checksum(scratch, exe),
                                 DateText(today.addDays(-q.releaseDaysAgo)),
                                 Notes(q, today)};
        catalogue += fields.join(QLatin1Char('#')).toLocal8Bit() + '\n';

        if (q.gameName == demo::kOutdatedGame && q.site == demo::kOutdatedSite) {
            const QString folder = QStringLiteral("%1/outdated/%2").arg(out, Text(q.title));
            QDir(folder).removeRecursively();
            WriteOut(folder + QLatin1Char('/') + Text(q.exeName),
                     QuibbitFile(quibbit, q, demo::kOutdatedVersion), true);
            WriteOut(folder + QLatin1Char('/') + Text(demo::kUninstallerName),
                     demo::WithTrailer(uninstaller, demo::PackFields({std::string(q.exeName)}),
                                       demo::kUninstallerMagic),
                     true);
        }
    }
    WriteOut(out + QStringLiteral("/appdata/zendrel.gnames.txt"), catalogue.toStdString(), false);
    return 0;
}
