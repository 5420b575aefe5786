#pragma once

#include <QList>
#include <QString>

// One quibbit of the catalogue: what the list file says about it and what the
// program learns about it on this computer. Copied by value; identified by
// (gameName, site), compared exactly.
struct CatalogueEntry {
    QString gameName;
    QString site;
    QString title;
    QString exeName;
    QString setupName;
    QString installedPath;
    QString uninstallerPath;
    QString notes;
    QString updateNotes;
    QString status;
    QString baseStatus;
    QString checksum;
    QString releaseDate;
    bool installed = false;
    bool updateAvailable = false;

    bool SameQuibbit(const QString& game, const QString& gameSite) const
    {
        return gameName == game && site == gameSite;
    }
    friend bool operator==(const CatalogueEntry&, const CatalogueEntry&) = default;
};

// The sequences Catalogue and Favorites are held in file order.
using EntrySequence = QList<CatalogueEntry>;
