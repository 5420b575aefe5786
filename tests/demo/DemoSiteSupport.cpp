#include "DemoSiteSupport.h"

#include "TestSupport.h"
#include "Trailer.h"
#include "catalogue/FileCrc32.h"
#include "catalogue/ListFile.h"

#include <QTemporaryDir>
#include <memory>

namespace demotest {

QString Text(std::string_view view)
{
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

QString GenerateSite(const QString& out, const QDate& today)
{
    const testsupport::RunResult r =
        testsupport::Run(testsupport::BuiltProgram(QStringLiteral("demo-site")),
                         {QStringLiteral("--out"), out, QStringLiteral("--bin"),
                          qEnvironmentVariable("ZENDREL_BIN_DIR"), QStringLiteral("--today"),
                          today.toString(Qt::ISODate)});
    if (r.exitCode != 0)
        return QStringLiteral("demo-site failed (%1): %2")
            .arg(r.exitCode)
            .arg(QString::fromLocal8Bit(r.err));
    return QString();
}

const DemoSite& GeneratedSite()
{
    static const std::unique_ptr<QTemporaryDir> folder = std::make_unique<QTemporaryDir>();
    static const DemoSite site = [] {
        DemoSite s;
        s.root = folder->path();
        s.today = kSiteDay;
        s.error = GenerateSite(s.root, s.today);
        if (s.error.isEmpty() && !LoadListFile(s.Catalogue(), s.entries, &s.error))
            s.error = QStringLiteral("catalogue unreadable: ") + s.error;
        s.ok = s.error.isEmpty();
        return s;
    }();
    return site;
}

QStringList InstallArguments(const QString& folder)
{
    return {QStringLiteral("/VERYSILENT"), QStringLiteral("/NOCANCEL"),
            QStringLiteral("/DIR=") + folder, QStringLiteral("/NOICONS"),
            QStringLiteral("/MERGETASKS=!desktopicon")};
}

QString CrcText(const QString& path)
{
    std::uint32_t crc = 0;
    if (FileCrc32(path, crc) != 0)
        return QString();
    return Crc32Text(crc);
}

const demo::DemoQuibbit* DemoOf(const CatalogueEntry& entry)
{
    for (const demo::DemoQuibbit& q : demo::kDemoQuibbits) {
        if (entry.SameQuibbit(Text(q.gameName), Text(q.site)))
            return &q;
    }
    return nullptr;
}

void DemoSiteTest::SetUp()
{
    qputenv(demo::kInstallDelayVariable.data(), "0");
    site_ = &GeneratedSite();
    ASSERT_TRUE(site_->ok) << site_->error.toStdString();
}

} // namespace demotest
