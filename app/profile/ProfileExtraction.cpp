#include "ProfileExtraction.h"

#include "Coordinates.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace verdan {

namespace {

THandlerArgs callArgs(const PathEnds& ends) {
    THandlerArgs args;
    args.lat1Rad = static_cast<float>(DegToRad(ends.txLatDeg));
    args.lon1Rad = static_cast<float>(DegToRad(ends.txLonDeg));
    args.lat2Rad = static_cast<float>(DegToRad(ends.rxLatDeg));
    args.lon2Rad = static_cast<float>(DegToRad(ends.rxLonDeg));
    args.pointCount = ExtractionPointCount;
    args.dataPath.fill(' ');
    return args;
}

} // namespace

bool identicalEnds(const PathEnds& ends) {
    return greatCircleDistanceM(ends.txLatDeg, ends.txLonDeg, ends.rxLatDeg, ends.rxLonDeg) <
           IdenticalEndsM;
}

std::vector<double> profileFromPoints(const std::vector<float>& distancesM,
                                      const std::vector<float>& elevationsM, int count) {
    if (count < 1 || static_cast<std::size_t>(count) > distancesM.size() ||
        static_cast<std::size_t>(count) > elevationsM.size())
        return {};
    std::vector<double> pfl(static_cast<std::size_t>(count) + 2, 0.0);
    pfl[0] = count - 1;
    pfl[1] = count > 1 ? static_cast<double>(distancesM[1]) - distancesM[0] : 0.0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i)
        pfl[i + 2] = elevationsM[i];
    return pfl;
}

ExtractionResult extractQuarnProfile(TerrainLibrary& library, const PathEnds& ends, int32_t drive) {
    THandlerArgs args = callArgs(ends);
    args.pathLength = 450.0f;
    // A fill value no database holds marks the points without data, so they can be counted
    // before they are given 0 m.
    args.fillM = std::numeric_limits<float>::quiet_NaN();
    args.errorNumber = drive;
    args.source = 0;
    ExtractionResult result;
    if (!library.THandler(args)) {
        result.libraryMissing = true;
        return result;
    }
    result.status = args.status;
    result.errorNumber = args.errorNumber;
    result.pointsReturned = args.pointsReturned;
    if (!result.succeeded())
        return result;
    const int count = std::min<int>(args.pointsReturned, static_cast<int>(args.elevationsM.size()));
    for (int i = 0; i < count; ++i) {
        float& elevation = args.elevationsM[static_cast<std::size_t>(i)];
        if (std::isnan(elevation)) {
            elevation = 0.0f;
            ++result.filledPoints;
        }
    }
    // A profile without any terrain (an empty or damaged database) is no result.
    if (count > 0 && result.filledPoints == count) {
        result.status = -1;
        result.errorNumber = QuarnMissingElevations;
        return result;
    }
    result.pfl = profileFromPoints(args.distancesM, args.elevationsM, count);
    return result;
}

ExtractionResult extractGlobeProfile(TerrainLibrary& library, const PathEnds& ends,
                                     const QString& globePath) {
    THandlerArgs args = callArgs(ends);
    ExtractionResult result;
    const QString path = globePath.trimmed();
    if (!args.setDataPath(path)) {
        result.errorNumber = -1000;
        return result;
    }
    args.pathLength = static_cast<float>(path.toLocal8Bit().size());
    args.errorNumber = 0;
    args.source = 1;
    if (!library.THandler(args)) {
        result.libraryMissing = true;
        return result;
    }
    library.CloseGlobe();
    result.errorNumber = args.errorNumber;
    result.pointsReturned = args.pointsReturned;
    result.status = args.status == 0 && args.errorNumber == 1 ? 0 : -1;
    if (!result.succeeded())
        return result;
    result.pfl = profileFromPoints(args.distancesM, args.elevationsM, args.pointsReturned);
    // The library's distances are single precision from single-precision coordinates, a
    // metre off on any path: the evenly spaced points get the spacing of the path's length
    // in double precision.
    if (result.pfl.size() > 3)
        result.pfl[1] =
            greatCircleDistanceM(ends.txLatDeg, ends.txLonDeg, ends.rxLatDeg, ends.rxLonDeg) /
            result.pfl[0];
    return result;
}

QString QuarnErrorText(int number) {
    static const std::array<const char*, 16> texts = {
        "No error, normal return",
        "Error opening TOPO.INF file",
        "Error reading TOPO.INF file",
        "Error opening Topo data file",
        "No data file contains specified coordinates",
        "Cannot find data record entry",
        "The specified data file does not contain the specified coordinates.",
        "Error in datum conversion routine",
        "Invalid latitude",
        "Invalid longitude",
        "Missing topographic elevation data",
        "Missing topographic data record",
        "Error reading from disk",
        "Cannot find directory entry",
        "Too many points in profile",
        "Too few points in profile"};
    if (number < 0 || number >= static_cast<int>(texts.size()))
        return {};
    return QString::fromLatin1(texts.at(static_cast<std::size_t>(number)));
}

QString globeErrorText(int32_t errorNumber, const QString& globePath) {
    if (errorNumber <= -1001) {
        const int tile = -errorNumber % 100;
        const QString letter =
            tile >= 1 && tile <= 26 ? QString(QChar(u'a' + tile - 1)) : QStringLiteral("?");
        const QString lead = errorNumber < -1100 ? QStringLiteral("Error reading tile ")
                                                 : QStringLiteral("Error opening tile ");
        return lead + globePath + letter + QStringLiteral("10g");
    }
    return QStringLiteral("Error in opening file globe.dat");
}

QString filledPointsText(int filled, int total) {
    return QStringLiteral("Warning: %1 of %2 profile points have no terrain data; their "
                          "elevations were set to 0 m.")
        .arg(filled)
        .arg(total);
}

} // namespace verdan
