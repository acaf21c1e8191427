#include "RasterReader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace verdan::terrain {

namespace {

constexpr double FootM = 0.3048;
constexpr double SurveyFootM = 1200.0 / 3937.0;

// Metres per unit of a band's elevation unit ("m", "metre", "ft", "foot", "US survey foot").
double metresPerUnit(const char* unit) {
    std::string text(unit == nullptr ? "" : unit);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool feet = text.find("ft") != std::string::npos ||
                      text.find("foot") != std::string::npos ||
                      text.find("feet") != std::string::npos;
    if (!feet)
        return 1.0;
    return text.find("us") != std::string::npos || text.find("survey") != std::string::npos
               ? SurveyFootM
               : FootM;
}

OGRSpatialReference wgs84() {
    OGRSpatialReference srs;
    srs.SetWellKnownGeogCS("WGS84");
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

// The raster's horizontal reference system in WKT; empty when it is geographic WGS 84.
Status horizontalCrs(const OGRSpatialReference* raster, RasterInfo& info) {
    OGRSpatialReference horizontal(*raster);
    if (horizontal.IsCompound())
        horizontal.StripVertical();
    info.geographic = horizontal.IsGeographic();
    if (!info.geographic)
        info.linearUnitM = horizontal.GetLinearUnits();
    const char* sameOptions[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES",
                                 "CRITERION=EQUIVALENT_EXCEPT_AXIS_ORDER_GEOGCRS", nullptr};
    const OGRSpatialReference reference = wgs84();
    if (info.geographic && horizontal.IsSame(&reference, sameOptions))
        return Status::success();
    char* wkt = nullptr;
    const char* wktOptions[] = {"FORMAT=WKT2", nullptr};
    if (horizontal.exportToWkt(&wkt, wktOptions) != OGRERR_NONE || wkt == nullptr) {
        CPLFree(wkt);
        return Status::failure("The coordinate reference system of the raster " + info.shownPath +
                               " cannot be used");
    }
    info.crsWkt = wkt;
    CPLFree(wkt);
    return Status::success();
}

// Cell-corner coordinates of the raster all lie within longitude/latitude bounds.
bool looksGeographic(const RasterInfo& info) {
    for (const auto& [col, row] : {std::pair{0, 0}, {info.width, 0}, {0, info.height},
                                   {info.width, info.height}}) {
        double x = 0;
        double y = 0;
        GDALApplyGeoTransform(const_cast<double*>(info.toRaster.data()), col, row, &x, &y);
        if (std::fabs(x) > 360.0 || std::fabs(y) > 90.0)
            return false;
    }
    return true;
}

double rawValue(const void* data, GDALDataType type, std::size_t index) {
    switch (type) {
    case GDT_Byte:
        return static_cast<const std::uint8_t*>(data)[index];
    case GDT_Int16:
        return static_cast<const std::int16_t*>(data)[index];
    case GDT_UInt16:
        return static_cast<const std::uint16_t*>(data)[index];
    case GDT_Int32:
        return static_cast<const std::int32_t*>(data)[index];
    case GDT_Float32:
        return static_cast<const float*>(data)[index];
    case GDT_Float64:
        return static_cast<const double*>(data)[index];
    default: {
        double value = 0;
        const int bytes = GDALGetDataTypeSizeBytes(type);
        GDALCopyWords64(static_cast<const std::uint8_t*>(data) + index * bytes, type, 0, &value,
                        GDT_Float64, 0, 1);
        return value;
    }
    }
}

// A file that claims blocks (strips, tiles) of more than this would take that much memory
// for its first read: such a raster is refused before any pixel is read. Elevation rasters
// come in blocks of kilobytes to a few megabytes.
constexpr double LargestBlockBytes = 64.0 * 1024 * 1024;

Status checkBlockSize(GDALRasterBand& band, const std::string& shownPath) {
    int blockWidth = 0;
    int blockHeight = 0;
    band.GetBlockSize(&blockWidth, &blockHeight);
    const double bytes = static_cast<double>(blockWidth) * blockHeight *
                         GDALGetDataTypeSizeBytes(band.GetRasterDataType());
    if (blockWidth < 1 || blockHeight < 1 || bytes > LargestBlockBytes)
        return Status::failure("The raster " + shownPath + " claims blocks of " +
                               std::to_string(blockWidth) + " x " + std::to_string(blockHeight) +
                               " cells, too large to read (a damaged or hostile file)");
    return Status::success();
}

} // namespace

Status RasterInfo::describe(GDALDataset& dataset, RasterInfo& info) {
    if (dataset.GetRasterCount() < 1)
        return Status::failure("The raster " + info.shownPath + " has no elevation band");
    if (dataset.GetGeoTransform(info.toRaster.data()) != CE_None ||
        !GDALInvGeoTransform(info.toRaster.data(), info.toPixel.data()))
        return Status::failure("The raster " + info.shownPath + " has no georeferencing");
    info.width = dataset.GetRasterXSize();
    info.height = dataset.GetRasterYSize();
    if (Status blocks = checkBlockSize(*dataset.GetRasterBand(1), info.shownPath); !blocks.ok)
        return blocks;
    info.elevationUnitM = metresPerUnit(dataset.GetRasterBand(1)->GetUnitType());
    const OGRSpatialReference* crs = dataset.GetSpatialRef();
    if (crs != nullptr && !crs->IsEmpty())
        return horizontalCrs(crs, info);
    if (!looksGeographic(info))
        return Status::failure("The raster " + info.shownPath + " has no coordinate reference system");
    return Status::success();
}

RasterReader::RasterReader(const RasterInfo& info, GdalDatasetPtr dataset)
    : m_info(info), m_dataset(std::move(dataset)), m_band(m_dataset->GetRasterBand(1)),
      m_type(m_band->GetRasterDataType()) {
    int has = 0;
    const double nodata = m_band->GetNoDataValue(&has);
    if (has)
        m_nodata = m_type == GDT_Float32 ? static_cast<double>(static_cast<float>(nodata)) : nodata;
    m_scale = m_band->GetScale(&has);
    m_scale = has ? m_scale : 1.0;
    m_offset = m_band->GetOffset(&has);
    m_offset = has ? m_offset : 0.0;
    m_band->GetBlockSize(&m_blockWidth, &m_blockHeight);
}

RasterReader::~RasterReader() {
    releaseBlock();
}

std::unique_ptr<RasterReader> RasterReader::open(const RasterInfo& info, Status& status) {
    GdalErrorCapture capture;
    GdalDatasetPtr dataset(GDALDataset::FromHandle(
        GDALOpenEx(info.datasetName.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR,
                   nullptr, nullptr, nullptr)));
    if (!dataset || dataset->GetRasterCount() < 1) {
        status = Status::failure(capture.describe("Cannot open the raster " + info.shownPath));
        return nullptr;
    }
    std::unique_ptr<RasterReader> reader(new RasterReader(info, std::move(dataset)));
    if (!info.crsWkt.empty()) {
        const OGRSpatialReference source = wgs84();
        OGRSpatialReference target;
        target.importFromWkt(info.crsWkt.c_str());
        target.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        reader->m_transform.reset(OGRCreateCoordinateTransformation(&source, &target));
        if (!reader->m_transform) {
            status = Status::failure(capture.describe(
                "No transformation from WGS 84 into the reference system of " + info.shownPath));
            return nullptr;
        }
    }
    status = Status::success();
    return reader;
}

bool RasterReader::insideRaster(double pixelX, double pixelY) const {
    // The raster's edges belong to it: a point on the north or east edge lies a rounding error
    // outside the cells once its coordinates have gone through the inverse transform.
    constexpr double EdgeCells = 1e-6;
    return pixelX >= -EdgeCells && pixelX <= m_info.width + EdgeCells && pixelY >= -EdgeCells &&
           pixelY <= m_info.height + EdgeCells;
}

void RasterReader::toRasterCoordinates(std::vector<double>& x, std::vector<double>& y,
                                       std::vector<int>& valid) const {
    valid.assign(x.size(), 1);
    if (m_transform)
        m_transform->Transform(x.size(), x.data(), y.data(), nullptr, valid.data());
}

Status RasterReader::sample(const std::vector<GeoPoint>& points, std::vector<double>& elevationsM) {
    std::vector<double> x(points.size());
    std::vector<double> y(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        x[i] = points[i].lonDeg;
        y[i] = points[i].latDeg;
    }
    std::vector<int> valid;
    GdalErrorCapture capture;
    toRasterCoordinates(x, y, valid);
    elevationsM.assign(points.size(), std::numeric_limits<double>::quiet_NaN());
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!valid[i])
            continue;
        double pixelX = 0;
        double pixelY = 0;
        GDALApplyGeoTransform(const_cast<double*>(m_info.toPixel.data()), x[i], y[i], &pixelX, &pixelY);
        if (!m_transform && !insideRaster(pixelX, 0)) {
            // A longitude on the other side of the date line from the raster's range.
            const double shift = pixelX < 0 ? 360.0 : -360.0;
            GDALApplyGeoTransform(const_cast<double*>(m_info.toPixel.data()), x[i] + shift, y[i],
                                  &pixelX, &pixelY);
        }
        if (bilinear(pixelX, pixelY, elevationsM[i]) == SampleResult::Error) {
            releaseBlock();
            return Status::failure(capture.describe("Cannot read the raster " + m_info.shownPath));
        }
    }
    releaseBlock();
    return Status::success();
}

SampleResult RasterReader::bilinear(double pixelX, double pixelY, double& value) {
    if (!insideRaster(pixelX, pixelY))
        return SampleResult::Missing;
    // Cell values stand at the cell centres; within half a cell of the edge the edge cells
    // are taken alone.
    const double fx = std::clamp(pixelX - 0.5, 0.0, m_info.width - 1.0);
    const double fy = std::clamp(pixelY - 0.5, 0.0, m_info.height - 1.0);
    const int col0 = static_cast<int>(fx);
    const int row0 = static_cast<int>(fy);
    const int col1 = std::min(col0 + 1, m_info.width - 1);
    const int row1 = std::min(row0 + 1, m_info.height - 1);
    const double tx = fx - col0;
    const double ty = fy - row0;
    const std::array<int, 4> cols = {col0, col1, col0, col1};
    const std::array<int, 4> rows = {row0, row0, row1, row1};
    const std::array<double, 4> weights = {(1 - tx) * (1 - ty), tx * (1 - ty), (1 - tx) * ty, tx * ty};
    const std::size_t nearest = (tx >= 0.5 ? 1 : 0) + (ty >= 0.5 ? 2 : 0);
    double sum = 0;
    double weightSum = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        double cellValue = 0;
        const SampleResult result = cell(cols[k], rows[k], cellValue);
        if (result == SampleResult::Error)
            return result;
        if (result == SampleResult::Missing && k == nearest)
            return SampleResult::Missing;
        if (result == SampleResult::Value) {
            sum += weights[k] * cellValue;
            weightSum += weights[k];
        }
    }
    // Missing neighbours of a cell with data leave the weights of the others.
    value = weightSum > 0 ? sum / weightSum : 0.0;
    return SampleResult::Value;
}

SampleResult RasterReader::cell(int column, int row, double& value) {
    const int blockX = column / m_blockWidth;
    const int blockY = row / m_blockHeight;
    if (m_block == nullptr || blockX != m_blockX || blockY != m_blockY) {
        releaseBlock();
        m_block = m_band->GetLockedBlockRef(blockX, blockY);
        if (m_block == nullptr)
            return SampleResult::Error;
        m_blockX = blockX;
        m_blockY = blockY;
    }
    const std::size_t index =
        static_cast<std::size_t>(row - blockY * m_blockHeight) * static_cast<std::size_t>(m_blockWidth) +
        static_cast<std::size_t>(column - blockX * m_blockWidth);
    const double raw = rawValue(m_block->GetDataRef(), m_type, index);
    if (std::isnan(raw) || (m_nodata && raw == *m_nodata))
        return SampleResult::Missing;
    // Infinite or impossible values (a corrupt or foreign file) are no terrain either: they
    // would give losses below free space or no result at all.
    const double elevationM = (raw * m_scale + m_offset) * m_info.elevationUnitM;
    if (!isTerrainElevation(elevationM))
        return SampleResult::Missing;
    value = elevationM;
    return SampleResult::Value;
}

void RasterReader::releaseBlock() {
    if (m_block != nullptr)
        m_block->DropLock();
    m_block = nullptr;
}

} // namespace verdan::terrain
