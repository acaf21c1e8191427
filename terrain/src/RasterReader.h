// Reading elevations from one GDAL raster dataset handle: where the raster lies, and the
// bilinear sampling of its first band through GDAL's block cache.
#pragma once

#include <verdan/terrain/GdalSupport.h>
#include <verdan/terrain/TerrainSource.h>

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace verdan::terrain {

/// What every handle of one raster shares: how to open it and where it lies.
struct RasterInfo {
    std::string datasetName; ///< file name, or the VRT XML of a folder mosaic
    std::string shownPath;   ///< the file or folder as the user named it, for messages
    int width = 0;           ///< cells
    int height = 0;
    std::array<double, 6> toPixel{}; ///< raster coordinates to (fractional) cell position
    std::array<double, 6> toRaster{}; ///< cell position to raster coordinates
    /// The raster's reference system; empty for geographic WGS 84, read without
    /// transformation (longitude, latitude in degrees).
    std::string crsWkt;
    bool geographic = true;  ///< coordinates in degrees (else in linear units)
    double linearUnitM = 1;  ///< metres per linear unit of a projected raster
    double elevationUnitM = 1; ///< metres per elevation unit (0.3048 for feet)

    /// Reads the description of an open dataset; fails for a raster without bands or
    /// georeferencing.
    static Status describe(GDALDataset& dataset, RasterInfo& info);
};

/// How one point sampled.
enum class SampleResult { Value, Missing, Error };

/// One dataset handle with its own coordinate transformation: used by one thread at a time.
class RasterReader {
public:
    /// Opens a handle of `info`'s raster; nullptr and a failure naming it on error.
    static std::unique_ptr<RasterReader> open(const RasterInfo& info, Status& status);
    ~RasterReader();
    RasterReader(const RasterReader&) = delete;
    RasterReader& operator=(const RasterReader&) = delete;

    /// Elevations in metres at `points` into `elevationsM`, NaN where there is no data.
    /// Fails only when GDAL cannot read the raster (message naming it).
    Status sample(const std::vector<GeoPoint>& points, std::vector<double>& elevationsM);

private:
    RasterReader(const RasterInfo& info, GdalDatasetPtr dataset);
    void toRasterCoordinates(std::vector<double>& x, std::vector<double>& y,
                             std::vector<int>& valid) const;
    bool insideRaster(double pixelX, double pixelY) const;
    SampleResult bilinear(double pixelX, double pixelY, double& value);
    SampleResult cell(int column, int row, double& value);
    void releaseBlock();

    const RasterInfo& m_info;
    GdalDatasetPtr m_dataset;
    GDALRasterBand* m_band = nullptr;
    GDALDataType m_type = GDT_Unknown;
    std::optional<double> m_nodata;
    double m_scale = 1;
    double m_offset = 0;
    int m_blockWidth = 0;
    int m_blockHeight = 0;
    std::unique_ptr<OGRCoordinateTransformation> m_transform;
    GDALRasterBlock* m_block = nullptr;
    int m_blockX = -1;
    int m_blockY = -1;
};

} // namespace verdan::terrain
