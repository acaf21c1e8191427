#include <verdan/terrain/DorvexSources.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace verdan::terrain {

namespace {

constexpr std::size_t DataPathWidth = 150;
constexpr int GlobeIndexMissing = -1000;
// The Quarn error number "Missing topographic elevation data".
constexpr int QuarnMissingElevations = 10;

// Degrees to radians with the program's value of pi, so that the library receives exactly
// the single-precision radians it always has.
float radiansOf(double degrees) {
    return static_cast<float>(degrees * 3.1415926535897 / 180.0);
}

// The arguments of one THandler call.
struct CallArgs {
    std::array<float, 4> endsRad{};
    float pathLength = 0;
    std::array<char, DataPathWidth> dataPath{};
    float fillM = 0;
    int32_t pointCount = 0;
    std::vector<float> distancesM;
    std::vector<float> elevationsM;
    int32_t pointsReturned = 0;
    int32_t status = 0;
    int32_t errorNumber = 0;
    int32_t source = 0;

    CallArgs(GeoPoint from, GeoPoint to, int points)
        : endsRad{radiansOf(from.latDeg), radiansOf(from.lonDeg), radiansOf(to.latDeg),
                  radiansOf(to.lonDeg)},
          pointCount(points),
          // The library may write pointCount + 2 elements (GLOBE uses them as work area).
          distancesM(static_cast<std::size_t>(std::max(points, 0)) + 2, 0.0f),
          elevationsM(distancesM.size(), 0.0f) {
        dataPath.fill(' ');
    }

    void call(DorvexLibrary& library) {
        library.entry.tHandler(&endsRad[0], &endsRad[1], &endsRad[2], &endsRad[3], &pathLength,
                               dataPath.data(), static_cast<int32_t>(DataPathWidth), &fillM,
                               &pointCount, distancesM.data(), elevationsM.data(),
                               &pointsReturned, &status, &errorNumber, &source);
    }

    // The first `pointsReturned` points as a profile; spacing from the first two distances.
    Profile profile() const {
        Profile out;
        const int count = std::clamp<int>(pointsReturned, 0, static_cast<int>(elevationsM.size()));
        out.elevationsM.assign(elevationsM.begin(), elevationsM.begin() + count);
        out.spacingM = count > 1 ? static_cast<double>(distancesM[1]) - distancesM[0] : 0.0;
        return out;
    }
};

class DorvexSource : public TerrainSource {
public:
    explicit DorvexSource(std::shared_ptr<DorvexLibrary> library) : m_library(std::move(library)) {}

    int pointCountFor(GeoPoint, GeoPoint) const override { return DorvexPointCount; }

    Status elevationAt(GeoPoint at, double& elevationM) const override {
        Profile point;
        Status status = profile(at, at, 2, point);
        if (!status.ok)
            return status;
        if (point.elevationsM.empty() || point.filledPoints > 0)
            return Status::failure(displayName() + ": no terrain data at this point");
        elevationM = point.elevationsM.front();
        return status;
    }

protected:
    DorvexLibrary& library() const { return *m_library; }

private:
    std::shared_ptr<DorvexLibrary> m_library;
};

class GlobeSource : public DorvexSource {
public:
    GlobeSource(std::shared_ptr<DorvexLibrary> library, std::string globePath, GlobeTiles tiles)
        : DorvexSource(std::move(library)), m_globePath(std::move(globePath)), m_tiles(tiles) {}

    ~GlobeSource() override {
        if (m_tiles == GlobeTiles::KeepOpen) {
            const std::lock_guard guard(library().lock);
            library().entry.closeGlobe();
        }
    }

    GlobeSource(const GlobeSource&) = delete;
    GlobeSource& operator=(const GlobeSource&) = delete;

    std::string displayName() const override { return "Globe"; }

    Status profile(GeoPoint from, GeoPoint to, int pointCount, Profile& out) const override {
        if (m_globePath.size() > DataPathWidth)
            return failure(GlobeIndexMissing);
        CallArgs args(from, to, pointCount);
        std::copy(m_globePath.begin(), m_globePath.end(), args.dataPath.begin());
        args.pathLength = static_cast<float>(m_globePath.size());
        args.source = 1;
        {
            const std::lock_guard guard(library().lock);
            args.call(library());
            if (m_tiles == GlobeTiles::CloseAfterEachPath)
                library().entry.closeGlobe();
        }
        if (args.status != 0 || args.errorNumber != 1)
            return failure(args.errorNumber);
        out = args.profile();
        return Status::success();
    }

private:
    Status failure(int errorNumber) const {
        return Status::failure(globeErrorText(errorNumber, m_globePath), errorNumber);
    }

    std::string m_globePath;
    GlobeTiles m_tiles;
};

class QuarnSource : public DorvexSource {
public:
    QuarnSource(std::shared_ptr<DorvexLibrary> library, int32_t drive)
        : DorvexSource(std::move(library)), m_drive(drive) {}

    std::string displayName() const override { return "Quarn"; }

    Status profile(GeoPoint from, GeoPoint to, int pointCount, Profile& out) const override {
        CallArgs args(from, to, pointCount);
        args.pathLength = 450.0f;
        // A fill value no database holds marks the points without data, so that they can be
        // counted before they are given 0 m.
        args.fillM = std::numeric_limits<float>::quiet_NaN();
        args.errorNumber = m_drive;
        {
            const std::lock_guard guard(library().lock);
            args.call(library());
        }
        if (args.status != 0) {
            const std::string text = quarnErrorText(args.errorNumber);
            return Status::failure(text.empty() ? "Terrain database error " +
                                                      std::to_string(args.errorNumber)
                                                : text,
                                   args.errorNumber);
        }
        Profile sampled = args.profile();
        for (double& elevationM : sampled.elevationsM) {
            if (std::isnan(elevationM)) {
                elevationM = 0.0;
                ++sampled.filledPoints;
            }
        }
        // A profile without any terrain (an empty or damaged database) is no result.
        if (!sampled.elevationsM.empty() &&
            sampled.filledPoints == static_cast<int>(sampled.elevationsM.size()))
            return Status::failure(quarnErrorText(QuarnMissingElevations), QuarnMissingElevations);
        out = std::move(sampled);
        return Status::success();
    }

private:
    int32_t m_drive;
};

} // namespace

std::unique_ptr<TerrainSource> makeGlobeSource(std::shared_ptr<DorvexLibrary> library,
                                               std::string globePath, GlobeTiles tiles) {
    return std::make_unique<GlobeSource>(std::move(library), std::move(globePath), tiles);
}

std::unique_ptr<TerrainSource> makeQuarnSource(std::shared_ptr<DorvexLibrary> library,
                                               int32_t drive) {
    return std::make_unique<QuarnSource>(std::move(library), drive);
}

std::string quarnErrorText(int number) {
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
    return texts.at(static_cast<std::size_t>(number));
}

std::string globeErrorText(int errorNumber, const std::string& globePath) {
    if (errorNumber <= -1001) {
        const int tile = -errorNumber % 100;
        const char letter = tile >= 1 && tile <= 26 ? static_cast<char>('a' + tile - 1) : '?';
        const char* lead = errorNumber < -1100 ? "Error reading tile " : "Error opening tile ";
        return lead + globePath + letter + "10g";
    }
    return "Error in opening file globe.dat";
}

} // namespace verdan::terrain
