#pragma once

#include "DemoTables.h"
#include "catalogue/CatalogueEntry.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <gtest/gtest.h>

namespace demotest {

// A demo site written by the generator into a temporary folder, as of a fixed day.
struct DemoSite {
    bool ok = false;
    QString error;
    QString root;
    QDate today;
    EntrySequence entries;

    QString Catalogue() const { return root + QStringLiteral("/appdata/zendrel.gnames.txt"); }
    QString InstallerOf(const CatalogueEntry& e) const
    {
        return root + QStringLiteral("/download/") + e.setupName + QStringLiteral(".exe");
    }
};

inline const QDate kSiteDay(2024, 3, 10);

// Written once per test program.
const DemoSite& GeneratedSite();

// Runs the generator; empty on success, else what went wrong.
QString GenerateSite(const QString& out, const QDate& today);

// The installer's arguments as the program passes them.
QStringList InstallArguments(const QString& folder);

// The CRC-32 text of a file as the catalogue writes it, or empty when unreadable.
QString CrcText(const QString& path);

const demo::DemoQuibbit* DemoOf(const CatalogueEntry& entry);

QString Text(std::string_view view);

// Fixture for tests that use the generated site; installers run without delay.
class DemoSiteTest : public ::testing::Test {
protected:
    void SetUp() override;
    const DemoSite& Site() const { return *site_; }

private:
    const DemoSite* site_ = nullptr;
};

} // namespace demotest
