#include <verdan/terrain/RasterSource.h>

#include "RasterMosaic.h"
#include "RasterReader.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>

#include <cmath>
#include <filesystem>
#include <numbers>

namespace verdan::terrain {

namespace fs = std::filesystem;

namespace {

// The dataset handles of one raster not in use: a thread takes one (or opens a new one)
// for the duration of a request and gives it back, so each thread reads through its own.
class ReaderPool {
public:
    explicit ReaderPool(const RasterInfo& info) : m_info(info) {}

    class Lease {
    public:
        Lease(ReaderPool& pool, std::unique_ptr<RasterReader> reader)
            : m_pool(pool), m_reader(std::move(reader)) {}
        ~Lease() {
            if (m_reader)
                m_pool.giveBack(std::move(m_reader));
        }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        RasterReader* get() const { return m_reader.get(); }

    private:
        ReaderPool& m_pool;
        std::unique_ptr<RasterReader> m_reader;
    };

    Lease take(Status& status) {
        {
            const std::lock_guard guard(m_lock);
            if (!m_idle.empty()) {
                std::unique_ptr<RasterReader> reader = std::move(m_idle.back());
                m_idle.pop_back();
                status = Status::success();
                return Lease(*this, std::move(reader));
            }
        }
        return Lease(*this, RasterReader::open(m_info, status));
    }

    void giveBack(std::unique_ptr<RasterReader> reader) {
        const std::lock_guard guard(m_lock);
        m_idle.push_back(std::move(reader));
    }

private:
    const RasterInfo& m_info;
    std::mutex m_lock;
    std::vector<std::unique_ptr<RasterReader>> m_idle;
};

// Metres per degree of latitude and of longitude on the WGS 84 ellipsoid at `latDeg`.
std::pair<double, double> metresPerDegree(double latDeg) {
    const GeographicLib::Geodesic& wgs = GeographicLib::Geodesic::WGS84();
    const double a = wgs.EquatorialRadius();
    const double e2 = wgs.Flattening() * (2 - wgs.Flattening());
    const double phi = latDeg * std::numbers::pi / 180.0;
    const double w = std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
    const double radian = std::numbers::pi / 180.0;
    return {a * (1 - e2) / (w * w * w) * radian, a * std::cos(phi) / w * radian};
}

class RasterSource : public TerrainSource {
public:
    RasterSource(RasterInfo info, RasterOptions options, std::string name)
        : m_info(std::move(info)), m_options(options), m_name(std::move(name)), m_pool(m_info) {}

    ReaderPool& pool() { return m_pool; }

    std::string displayName() const override { return m_name; }

    int pointCountFor(GeoPoint from, GeoPoint to) const override {
        double distanceM = 0;
        double azi1 = 0;
        double azi2 = 0;
        GeographicLib::Geodesic::WGS84().Inverse(from.latDeg, from.lonDeg, to.latDeg, to.lonDeg,
                                                 distanceM, azi1, azi2);
        const auto [cellXM, cellYM] = cellSizeM((from.latDeg + to.latDeg) / 2);
        const double azimuth = (azi1 + azi2) / 2 * std::numbers::pi / 180.0;
        const double cells =
            std::hypot(distanceM * std::sin(azimuth) / cellXM, distanceM * std::cos(azimuth) / cellYM);
        if (!std::isfinite(cells))
            return RasterMinPoints;
        return static_cast<int>(std::clamp(std::ceil(cells) + 1, double{RasterMinPoints},
                                           double{RasterMaxPoints}));
    }

    Status profile(GeoPoint from, GeoPoint to, int pointCount, Profile& out) const override {
        if (pointCount < 2 || pointCount > RasterMaxPoints)
            return Status::failure("A raster profile has 2 to " + std::to_string(RasterMaxPoints) +
                                   " points, not " + std::to_string(pointCount));
        const GeographicLib::GeodesicLine line = GeographicLib::Geodesic::WGS84().InverseLine(
            from.latDeg, from.lonDeg, to.latDeg, to.lonDeg);
        const double spacingM = line.Distance() / (pointCount - 1);
        std::vector<GeoPoint> points(static_cast<std::size_t>(pointCount));
        for (int i = 0; i < pointCount; ++i)
            line.Position(i * spacingM, points[i].latDeg, points[i].lonDeg);
        Profile sampled;
        if (Status status = sample(points, sampled); !status.ok)
            return status;
        sampled.spacingM = spacingM;
        out = std::move(sampled);
        return Status::success();
    }

    Status elevationAt(GeoPoint at, double& elevationM) const override {
        Profile point;
        const RasterOptions strict{false, m_options.fillM};
        if (Status status = sample({at}, point, strict); !status.ok)
            return status;
        elevationM = point.elevationsM.front();
        return Status::success();
    }

private:
    // Cell width and height in metres (at `latDeg` for a geographic raster).
    std::pair<double, double> cellSizeM(double latDeg) const {
        const double cellX = std::hypot(m_info.toRaster[1], m_info.toRaster[4]);
        const double cellY = std::hypot(m_info.toRaster[2], m_info.toRaster[5]);
        if (!m_info.geographic)
            return {cellX * m_info.linearUnitM, cellY * m_info.linearUnitM};
        const auto [latM, lonM] = metresPerDegree(latDeg);
        return {cellX * lonM, cellY * latM};
    }

    Status sample(const std::vector<GeoPoint>& points, Profile& out) const {
        return sample(points, out, m_options);
    }

    // Elevations at `points`, filled or refused where there is no data as `options` say.
    Status sample(const std::vector<GeoPoint>& points, Profile& out,
                  const RasterOptions& options) const {
        Status status;
        const ReaderPool::Lease lease = m_pool.take(status);
        if (!status.ok)
            return status;
        if (status = lease.get()->sample(points, out.elevationsM); !status.ok)
            return status;
        out.filledPoints = 0;
        for (double& elevationM : out.elevationsM) {
            if (std::isnan(elevationM)) {
                elevationM = options.fillM;
                ++out.filledPoints;
            }
        }
        const auto total = static_cast<int>(points.size());
        if (out.filledPoints == total)
            return Status::failure("No terrain data in " + m_info.shownPath +
                                   (total == 1 ? " at this point" : " on this path"));
        if (out.filledPoints > 0 && !options.fillMissing)
            return Status::failure(std::to_string(out.filledPoints) + " of " + std::to_string(total) +
                                   " points have no terrain data in " + m_info.shownPath);
        return Status::success();
    }

    RasterInfo m_info;
    RasterOptions m_options;
    std::string m_name;
    mutable ReaderPool m_pool;
};

} // namespace

std::string rasterDisplayName(const std::string& path) {
    fs::path trimmed = path;
    while (trimmed.has_relative_path() && trimmed.filename().empty())
        trimmed = trimmed.parent_path();
    return "Raster (" + (trimmed.filename().empty() ? path : trimmed.filename().string()) + ")";
}

std::unique_ptr<TerrainSource> openRaster(const std::string& path, const RasterOptions& options,
                                          Status& status, RasterMosaicCache* cache) {
    registerGdal();
    RasterInfo info;
    info.shownPath = path;
    std::error_code error;
    const fs::file_status type = fs::status(path, error);
    if (error && error != std::errc::no_such_file_or_directory) {
        // A folder on the way that cannot be read says so, not that the raster is missing.
        status = Status::failure("The raster " + path + " cannot be read: " + error.message());
        return nullptr;
    }
    if (error || !fs::exists(type)) {
        status = Status::failure("The raster " + path + " does not exist");
        return nullptr;
    }
    if (fs::is_directory(type)) {
        if (status = folderMosaic(path, cache, info.datasetName); !status.ok)
            return nullptr;
    } else if (fs::is_regular_file(type)) {
        if (status = checkRasterFiles(path); !status.ok) {
            status.message = "The raster " + status.message;
            return nullptr;
        }
        info.datasetName = path;
    } else {
        status = Status::failure("The raster " + path + " is neither a file nor a folder");
        return nullptr;
    }
    {
        GdalErrorCapture capture;
        const GdalDatasetPtr dataset(GDALDataset::FromHandle(
            GDALOpenEx(info.datasetName.c_str(),
                       GDAL_OF_RASTER | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR, nullptr,
                       nullptr, nullptr)));
        if (!dataset) {
            status = Status::failure(capture.describe("Cannot open the raster " + path));
            return nullptr;
        }
        if (status = checkDatasetFiles(dataset.get(), "The raster " + path); !status.ok)
            return nullptr;
        if (status = RasterInfo::describe(*dataset, info); !status.ok)
            return nullptr;
    }
    auto source = std::make_unique<RasterSource>(std::move(info), options, rasterDisplayName(path));
    // The first handle proves that the raster can be read in WGS 84 coordinates.
    const ReaderPool::Lease first = source->pool().take(status);
    if (!status.ok)
        return nullptr;
    return source;
}

} // namespace verdan::terrain
