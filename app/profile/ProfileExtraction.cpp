#include "ProfileExtraction.h"

#include "Coordinates.h"
#include "FileNameBytes.h"

namespace verdan {

namespace {

terrain::GeoPoint txOf(const PathEnds& ends) {
    return {ends.txLatDeg, ends.txLonDeg};
}

terrain::GeoPoint rxOf(const PathEnds& ends) {
    return {ends.rxLatDeg, ends.rxLonDeg};
}

// Samples `pointCount` points of `source`; `successNumber` is the error number of a
// complete extraction.
ExtractionResult extract(const terrain::TerrainSource& source, const PathEnds& ends,
                         int pointCount, int32_t successNumber) {
    terrain::Profile profile;
    const terrain::Status status = source.profile(txOf(ends), rxOf(ends), pointCount, profile);
    ExtractionResult result;
    result.sourceName = readableFileName(fileNameFromBytes(source.displayName()));
    result.status = status.ok ? 0 : -1;
    result.errorNumber = status.ok ? successNumber : status.code;
    if (!status.ok) {
        result.message = fileNameFromBytes(status.message);
        return result;
    }
    result.pointsReturned = static_cast<int32_t>(profile.elevationsM.size());
    result.filledPoints = profile.filledPoints;
    result.pfl = profile.modelArray();
    return result;
}

ExtractionResult libraryMissing() {
    ExtractionResult result;
    result.libraryMissing = true;
    return result;
}

} // namespace

bool identicalEnds(const PathEnds& ends) {
    return greatCircleDistanceM(ends.txLatDeg, ends.txLonDeg, ends.rxLatDeg, ends.rxLonDeg) <
           IdenticalEndsM;
}

ExtractionResult extractQuarnProfile(TerrainLibrary& library, const PathEnds& ends, int32_t drive) {
    std::shared_ptr<terrain::DorvexLibrary> dorvex = library.dorvex();
    if (!dorvex)
        return libraryMissing();
    const auto source = terrain::makeQuarnSource(std::move(dorvex), drive);
    return extract(*source, ends, ExtractionPointCount, 0);
}

ExtractionResult extractGlobeProfile(TerrainLibrary& library, const PathEnds& ends,
                                     const QString& globePath) {
    const QByteArray path = fileNameBytes(globePath.trimmed());
    if (path.size() > TerrainDataPathWidth) {
        ExtractionResult result;
        result.errorNumber = -1000;
        return result;
    }
    std::shared_ptr<terrain::DorvexLibrary> dorvex = library.dorvex();
    if (!dorvex)
        return libraryMissing();
    const auto source = terrain::makeGlobeSource(std::move(dorvex), path.toStdString());
    ExtractionResult result = extract(*source, ends, ExtractionPointCount, 1);
    // The library's distances are single precision from single-precision coordinates, a
    // metre off on any path: the evenly spaced points get the spacing of the path's length
    // in double precision.
    if (result.pfl.size() > 3)
        result.pfl[1] =
            greatCircleDistanceM(ends.txLatDeg, ends.txLonDeg, ends.rxLatDeg, ends.rxLonDeg) /
            result.pfl[0];
    return result;
}

ExtractionResult extractRasterProfile(const QString& rasterPath, const PathEnds& ends,
                                      terrain::RasterMosaicCache* cache) {
    terrain::Status status;
    const auto source =
        terrain::openRaster(fileNameBytes(rasterPath).toStdString(), {}, status, cache);
    if (!source) {
        ExtractionResult result;
        result.message = fileNameFromBytes(status.message);
        return result;
    }
    return extract(*source, ends, source->pointCountFor(txOf(ends), rxOf(ends)), 0);
}

QString QuarnErrorText(int number) {
    return QString::fromLatin1(terrain::quarnErrorText(number));
}

QString globeErrorText(int32_t errorNumber, const QString& globePath) {
    return fileNameFromBytes(
        terrain::globeErrorText(errorNumber, fileNameBytes(globePath).toStdString()));
}

QString filledPointsText(int filled, int total) {
    return QStringLiteral("Warning: %1 of %2 profile points have no terrain data; their "
                          "elevations were set to 0 m.")
        .arg(filled)
        .arg(total);
}

} // namespace verdan
