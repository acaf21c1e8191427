// Terrain databases for the profile and verdan-cli tests, written at test time with the terrain
// builders: a GLOBE folder with elevations around two test paths, and a Quarn database on a drive
// of a drive map of its own.
#pragma once

#include "ProfileExtraction.h"
#include "terrain_builders.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace verdan::test {

/// Elevation (m) of the test terrain: a tilted, rolling surface, never 0.
inline double testElevationM(double latDeg, double lonDeg) {
    return 200.0 + 100.0 * (latDeg - 38.0) + 50.0 * std::sin(lonDeg * 20.0);
}

/// The path of the form's default coordinates (39 4 48 N 76 42 0 W to 38 55 12 N 76 58 48 W).
inline PathEnds defaultPath() {
    return PathEnds{39.08, -76.7, 38.92, -76.98};
}

/// A path in GLOBE tile c (50..90 N, 0..90 E).
inline PathEnds tileCPath() {
    return PathEnds{60.1, 10.1, 60.3, 10.6};
}

/// A GLOBE folder in a temporary folder, with data around defaultPath() and tileCPath().
class GlobeFixture {
public:
    GlobeFixture() {
        if (!m_dir.isValid())
            return;
        std::string error;
        m_ok = terrain::writeGlobeFolder(folder().toStdString(), testElevationM,
                                         {{38.5, -77.5, 39.5, -76.0}, {60.0, 10.0, 60.5, 11.0}},
                                         &error);
        m_error = QString::fromStdString(error);
    }
    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    /// The folder, ending with "/".
    QString folder() const { return m_dir.path() + u'/'; }
    /// Removes tile c: reading it fails to open.
    bool removeTileC() const { return QFile::remove(folder() + QStringLiteral("c10g")); }
    /// Cuts tile c short: its records cannot be read.
    bool truncateTileC() const { return QFile::resize(folder() + QStringLiteral("c10g"), 1024); }

private:
    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/globe-XXXXXX")};
    bool m_ok = false;
    QString m_error;
};

/// A drive map of its own ($VERDAN_DRIVES) with drive folders c and d; a Quarn database on
/// drive `drive` ("d/Quarn/DATS/TOPO.INF" and its files) covering 39..40 N, 78..76 W when
/// `withDatabase`, with the block at `missingBlock` (south-west corner, arc-minutes) left out.
class QuarnFixture {
public:
    explicit QuarnFixture(bool withDatabase, std::pair<int, int> missingBlock = {0, 0},
                          char drive = 'd') {
        if (!m_dir.isValid())
            return;
        m_previousDrives = qgetenv("VERDAN_DRIVES");
        qputenv("VERDAN_DRIVES", m_dir.path().toLocal8Bit());
        QDir root(m_dir.path());
        m_ok = root.mkpath(QStringLiteral("c")) && root.mkpath(QStringLiteral("d")) &&
               root.mkpath(QChar(drive) + QStringLiteral("/Quarn/DATS"));
        if (!m_ok || !withDatabase)
            return;
        const std::string folder =
            (m_dir.path() + u'/' + QChar(drive) + QStringLiteral("/Quarn/DATS/")).toStdString();
        terrain::QuarnDatabaseLayout database;
        database.name = "TESTDB";
        database.spacingSec = 3;
        database.southMin = 39 * 60;
        database.westMin = -78 * 60;
        database.northMin = 40 * 60;
        database.eastMin = -76 * 60;
        database.scale = 4;
        if (missingBlock != std::pair<int, int>{0, 0})
            database.missingBlocks.push_back(missingBlock);
        const terrain::QuarnIndexEntry entry{database.name,
                                             database.southMin,
                                             database.westMin,
                                             database.northMin,
                                             database.eastMin,
                                             3,
                                             'D',
                                             drive - 'c' + 1};
        std::string error;
        m_ok = terrain::writeQuarnDatabase(folder, database, testElevationM, &error) &&
               terrain::writeQuarnIndex(folder + "TOPO.INF", {entry}, &error);
        m_error = QString::fromStdString(error);
    }
    ~QuarnFixture() { qputenv("VERDAN_DRIVES", m_previousDrives); }
    QuarnFixture(const QuarnFixture&) = delete;
    QuarnFixture& operator=(const QuarnFixture&) = delete;

    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    QString root() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/drives-XXXXXX")};
    QByteArray m_previousDrives;
    bool m_ok = false;
    QString m_error;
};

/// A path inside the Quarn database of QuarnFixture, about 86 km long.
inline PathEnds quarnPath() {
    return PathEnds{39.5, -77.5, 39.45, -76.5};
}

} // namespace verdan::test
