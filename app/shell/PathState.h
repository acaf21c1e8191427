#pragma once

#include <QString>
#include <array>
#include <vector>

namespace verdan {

/// The point-to-point state shared by the point-to-point form, the path coordinates form,
/// the profile extraction, the profile point editor and the point-to-point calculation.
struct PathState {
    /// Index of each of the sixteen path coordinate strings in `coords`.
    enum Coord {
        TxLatDeg_DD,
        TxLatDeg_MM,
        TxLatDeg_SS,
        TxLatH_NS,
        TxLonDeg_DDD,
        TxLonDeg_MM,
        TxLonDeg_SS,
        TxLonH_EW,
        RxLatDeg_DD,
        RxLatDeg_MM,
        RxLatDeg_SS,
        RxLatH_NS,
        RxLonDeg_DDD,
        RxLonDeg_MM,
        RxLonDeg_SS,
        RxLonH_EW,
        CoordCount
    };

    /// The program's own settings key of coordinate string `index` ("TxLatDeg_DD", ...).
    static QString coordKey(int index) {
        static const std::array<const char*, CoordCount> keys = {
            "TxLatDeg_DD",  "TxLatDeg_MM", "TxLatDeg_SS", "TxLatH_NS",
            "TxLonDeg_DDD", "TxLonDeg_MM", "TxLonDeg_SS", "TxLonH_EW",
            "RxLatDeg_DD",  "RxLatDeg_MM", "RxLatDeg_SS", "RxLatH_NS",
            "RxLonDeg_DDD", "RxLonDeg_MM", "RxLonDeg_SS", "RxLonH_EW"};
        return QString::fromLatin1(keys.at(static_cast<std::size_t>(index)));
    }
    /// The name of coordinate string `index` among the parameters shared with the Kethra
    /// programs: minutes and seconds are "...Min_MM" and "...Sec_SS" there.
    static QString kethraCoordKey(int index) {
        static const std::array<const char*, CoordCount> keys = {
            "TxLatDeg_DD",  "TxLatMin_MM", "TxLatSec_SS", "TxLatH_NS",
            "TxLonDeg_DDD", "TxLonMin_MM", "TxLonSec_SS", "TxLonH_EW",
            "RxLatDeg_DD",  "RxLatMin_MM", "RxLatSec_SS", "RxLatH_NS",
            "RxLonDeg_DDD", "RxLonMin_MM", "RxLonSec_SS", "RxLonH_EW"};
        return QString::fromLatin1(keys.at(static_cast<std::size_t>(index)));
    }

    /// Folder of the GLOBE data used when none is stored (mapped to a host folder by the
    /// terrain library's drive map).
    static QString defaultGlobePath() { return QStringLiteral("C:\\Projects\\Globe\\"); }

    /// The terrain profile in the model's layout: [0] number of intervals, [1] spacing (m),
    /// [2...] elevations (m), transmitter first.
    std::vector<double> pfl;
    /// A profile is loaded in `pfl`.
    bool ProfileReady = false;
    /// "Quarn", "GLOBE" or "Raster": the terrain source of extractions.
    QString TerrainSource = QStringLiteral("Quarn");
    /// The elevation raster of the "Raster" source: a file, or a folder of tiles.
    QString RasterPath;
    /// The raster source as the report names it, "Raster (<file or folder name>)", and the
    /// points of its last profile that had no terrain data and were given 0 m.
    QString RasterName;
    int FilledPoints = 0;
    /// Folder of the GLOBE index and tiles, ending with a separator.
    QString GlobePath = defaultGlobePath();
    /// Drive number of the Quarn database (1 for C).
    int QuarnDrive = 1;
    /// The sixteen path coordinate strings: degrees, minutes, seconds, hemisphere.
    std::array<QString, CoordCount> coords;
    /// The end points as unsigned decimal degrees (texts of the decimal-degree boxes).
    QString TxLatDD;
    QString TxLonDD;
    QString RxLatDD;
    QString RxLonDD;
    /// The last extraction took its coordinates from the decimal-degree view.
    bool CoordsInDD = false;
    /// The file the profile in `pfl` was loaded from; empty when it was extracted from a
    /// terrain database. The report then names the file instead of a terrain source and
    /// coordinates, which need not describe that profile.
    QString ProfileFile;

    /// Hand-over to the profile point editor: caption, column headings, the two columns
    /// (same length) and whether the user accepted the edits.
    QString ListEditTitle;
    QString ListEditHead1;
    QString ListEditHead2;
    std::vector<double> ListEditCol1;
    std::vector<double> ListEditCol2;
    bool ListEditAccepted = false;
};

} // namespace verdan
