#include "GdalRaster.h"

#include <verdan/terrain/GdalSupport.h>

#include <cpl_conv.h>
#include <gdal_priv.h>
#include <ogr_srs_api.h>

#include <cmath>
#include <limits>
#include <memory>

namespace verdan::coverage::detail {

namespace {

using terrain::GdalDatasetPtr;
using terrain::GdalErrorCapture;

GDALDatasetH handle(const GdalDatasetPtr& dataset) {
    return GDALDataset::ToHandle(dataset.get());
}

GdalDatasetPtr owned(GDALDatasetH dataset) {
    return GdalDatasetPtr(GDALDataset::FromHandle(dataset));
}

Status failure(const GdalErrorCapture& errors, const std::string& path, const char* what) {
    return Status::failure(errors.describe(path + ": " + what));
}

struct SrsReleaser {
    void operator()(void* srs) const {
        OSRDestroySpatialReference(static_cast<OGRSpatialReferenceH>(srs));
    }
};

struct CplFree {
    void operator()(char* text) const { CPLFree(text); }
};

// The WGS 84 geographic system as WKT, longitude first.
std::unique_ptr<char, CplFree> wgs84Wkt() {
    std::unique_ptr<void, SrsReleaser> srs(OSRNewSpatialReference(nullptr));
    char* wkt = nullptr;
    if (OSRImportFromEPSG(static_cast<OGRSpatialReferenceH>(srs.get()), 4326) == OGRERR_NONE)
        OSRExportToWkt(static_cast<OGRSpatialReferenceH>(srs.get()), &wkt);
    return std::unique_ptr<char, CplFree>(wkt);
}

Status closeChecked(GdalDatasetPtr& dataset, const GdalErrorCapture& errors,
                    const std::string& path) {
    dataset.reset(); // flushes; a full disk shows here
    if (!errors.firstError().empty())
        return failure(errors, path, "could not be written");
    return Status::success();
}

} // namespace

Status writeFloatGeoTiff(const std::string& path, const CoverageGrid& grid,
                         const std::vector<FloatBand>& bands) {
    const GdalErrorCapture errors;
    GDALDriverH driver = GDALGetDriverByName("GTiff");
    const char* options[] = {"COMPRESS=DEFLATE", "TILED=YES", "BIGTIFF=IF_SAFER", nullptr};
    GdalDatasetPtr dataset =
        owned(driver == nullptr ? nullptr
                                : GDALCreate(driver, path.c_str(), grid.columns, grid.rows,
                                             static_cast<int>(bands.size()), GDT_Float32,
                                             const_cast<char**>(options)));
    if (!dataset)
        return failure(errors, path, "could not be created");
    GDALDatasetH h = handle(dataset);
    double transform[6] = {grid.westLonDeg, grid.cellDeg, 0, grid.northLatDeg, 0, -grid.cellDeg};
    GDALSetGeoTransform(h, transform);
    const auto wkt = wgs84Wkt();
    if (wkt)
        GDALSetProjection(h, wkt.get());
    for (std::size_t b = 0; b < bands.size(); ++b) {
        GDALRasterBandH band = GDALGetRasterBand(h, static_cast<int>(b) + 1);
        GDALSetRasterNoDataValue(band, std::numeric_limits<double>::quiet_NaN());
        GDALSetDescription(band, bands[b].description.c_str());
        GDALSetRasterUnitType(band, bands[b].unit.c_str());
        if (GDALRasterIO(band, GF_Write, 0, 0, grid.columns, grid.rows,
                         const_cast<float*>(bands[b].values->data()), grid.columns, grid.rows,
                         GDT_Float32, 0, 0) != CE_None)
            return failure(errors, path, "could not be written");
    }
    return closeChecked(dataset, errors, path);
}

Status writeRgbaPng(const std::string& path, const std::vector<std::uint8_t>& rgba, int width,
                    int height) {
    const GdalErrorCapture errors;
    GDALDriverH memory = GDALGetDriverByName("MEM");
    GDALDriverH png = GDALGetDriverByName("PNG");
    if (memory == nullptr || png == nullptr)
        return failure(errors, path, "GDAL has no PNG support");
    GdalDatasetPtr image = owned(GDALCreate(memory, "", width, height, 4, GDT_Byte, nullptr));
    if (!image || GDALDatasetRasterIO(handle(image), GF_Write, 0, 0, width, height,
                                      const_cast<std::uint8_t*>(rgba.data()), width, height,
                                      GDT_Byte, 4, nullptr, 4, 4 * width, 1) != CE_None)
        return failure(errors, path, "could not be encoded");
    GDALSetRasterColorInterpretation(GDALGetRasterBand(handle(image), 4), GCI_AlphaBand);
    const char* options[] = {"WORLDFILE=NO", nullptr};
    GdalDatasetPtr file = owned(GDALCreateCopy(png, path.c_str(), handle(image), FALSE,
                                               const_cast<char**>(options), nullptr, nullptr));
    if (!file)
        return failure(errors, path, "could not be written");
    return closeChecked(file, errors, path);
}

Status readLossRaster(const std::string& path, CoverageGrid& grid, bool readValues) {
    const GdalErrorCapture errors;
    GdalDatasetPtr dataset = owned(GDALOpen(path.c_str(), GA_ReadOnly));
    if (!dataset)
        return failure(errors, path, "could not be read as a raster");
    GDALDatasetH h = handle(dataset);
    double t[6] = {};
    const bool georeferenced = GDALGetGeoTransform(h, t) == CE_None;
    if (!georeferenced || GDALGetRasterCount(h) < 1 || t[2] != 0 || t[4] != 0 || !(t[1] > 0) ||
        std::fabs(t[1] + t[5]) > 1e-9 * t[1])
        return Status::failure(path + ": not a coverage map (north-up square cells in degrees "
                                      "expected)");
    grid.columns = GDALGetRasterXSize(h);
    grid.rows = GDALGetRasterYSize(h);
    grid.westLonDeg = t[0];
    grid.northLatDeg = t[3];
    grid.cellDeg = t[1];
    if (!readValues)
        return Status::success();
    GDALRasterBandH band = GDALGetRasterBand(h, 1);
    grid.lossDb.assign(static_cast<std::size_t>(grid.cellCount()), 0.0F);
    if (GDALRasterIO(band, GF_Read, 0, 0, grid.columns, grid.rows, grid.lossDb.data(), grid.columns,
                     grid.rows, GDT_Float32, 0, 0) != CE_None)
        return failure(errors, path, "could not be read");
    int hasNoData = 0;
    const double noData = GDALGetRasterNoDataValue(band, &hasNoData);
    if (hasNoData && !std::isnan(noData))
        for (float& value : grid.lossDb)
            if (value == static_cast<float>(noData))
                value = std::numeric_limits<float>::quiet_NaN();
    return Status::success();
}

} // namespace verdan::coverage::detail
