#include "GdalRaster.h"

#include <verdan/terrain/GdalSupport.h>

#include <cpl_conv.h>
#include <cpl_vsi.h>
#include <gdal_alg.h>
#include <gdal_priv.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string_view>
#include <type_traits>

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
                         const std::vector<FloatBand>& bands, const char* kind,
                         const std::atomic<bool>* cancel) {
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
    GDALSetMetadataItem(h, MapKindItem, kind, nullptr);
    for (const auto& [name, value] : grid.metadata)
        GDALSetMetadataItem(h, name.c_str(), value.c_str(), nullptr);
    constexpr int BlockRows = 256;
    for (std::size_t b = 0; b < bands.size(); ++b) {
        GDALRasterBandH band = GDALGetRasterBand(h, static_cast<int>(b) + 1);
        GDALSetRasterNoDataValue(band, std::numeric_limits<double>::quiet_NaN());
        GDALSetDescription(band, bands[b].description.c_str());
        GDALSetRasterUnitType(band, bands[b].unit.c_str());
        for (int row = 0; row < grid.rows; row += BlockRows) {
            if (cancel != nullptr && cancel->load())
                return Status::failure(path + ": cancelled");
            const int rows = std::min(BlockRows, grid.rows - row);
            float* first = const_cast<float*>(bands[b].values->data()) +
                           static_cast<std::size_t>(row) * grid.columns;
            if (GDALRasterIO(band, GF_Write, 0, row, grid.columns, rows, first, grid.columns, rows,
                             GDT_Float32, 0, 0) != CE_None)
                return failure(errors, path, "could not be written");
        }
    }
    return closeChecked(dataset, errors, path);
}

namespace {

extern "C" int continueUnlessCancelled(double, const char*, void* cancel) {
    return cancel == nullptr || !static_cast<const std::atomic<bool>*>(cancel)->load();
}

} // namespace

Status encodeRgbaPng(const std::vector<std::uint8_t>& rgba, int width, int height,
                     std::string& bytes, const std::atomic<bool>* cancel) {
    const GdalErrorCapture errors;
    GDALDriverH memory = GDALGetDriverByName("MEM");
    GDALDriverH png = GDALGetDriverByName("PNG");
    if (memory == nullptr || png == nullptr)
        return Status::failure("GDAL has no PNG support");
    GdalDatasetPtr image = owned(GDALCreate(memory, "", width, height, 4, GDT_Byte, nullptr));
    if (!image || GDALDatasetRasterIO(handle(image), GF_Write, 0, 0, width, height,
                                      const_cast<std::uint8_t*>(rgba.data()), width, height,
                                      GDT_Byte, 4, nullptr, 4, 4 * width, 1) != CE_None)
        return Status::failure(errors.describe("the picture could not be encoded"));
    GDALSetRasterColorInterpretation(GDALGetRasterBand(handle(image), 4), GCI_AlphaBand);
    // Encoded in memory and written by the caller, whose every write is checked: GDAL's PNG
    // writer does not report a failed write of its last bytes.
    const std::string name =
        "/vsimem/verdan-png-" + std::to_string(reinterpret_cast<std::uintptr_t>(&bytes)) + ".png";
    const char* options[] = {"WORLDFILE=NO", nullptr};
    GdalDatasetPtr file =
        owned(GDALCreateCopy(png, name.c_str(), handle(image), FALSE, const_cast<char**>(options),
                             continueUnlessCancelled, const_cast<std::atomic<bool>*>(cancel)));
    const bool complete = file != nullptr && errors.firstError().empty();
    file.reset();
    vsi_l_offset length = 0;
    GByte* data = VSIGetMemFileBuffer(name.c_str(), &length, FALSE);
    if (complete && data != nullptr)
        bytes.assign(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
    VSIUnlink(name.c_str());
    VSIUnlink((name + ".aux.xml").c_str());
    if (!complete || data == nullptr)
        return Status::failure(errors.describe("the picture could not be encoded"));
    return Status::success();
}

std::string reasonOf(const Status& status, const std::string& temporaryPath) {
    if (status.ok)
        return {};
    const std::string named = temporaryPath + ": ";
    if (!temporaryPath.empty() && status.message.starts_with(named))
        return status.message.substr(named.size());
    return status.message;
}

namespace {

// Whether the open raster is a coverage map written by Verdan: its kind item, or for maps
// written before the item existed, its first band's description.
bool isCoverageMap(GDALDatasetH h) {
    const char* kind = GDALGetMetadataItem(h, MapKindItem, nullptr);
    if (kind != nullptr)
        return std::string_view(kind) == SingleMapKind || std::string_view(kind) == MergedMapKind;
    const std::string_view description = GDALGetDescription(GDALGetRasterBand(h, 1));
    return description == "basic transmission loss" ||
           description == "basic transmission loss of the best server";
}

bool onWgs84(GDALDatasetH h) {
    std::unique_ptr<void, SrsReleaser> srs(OSRNewSpatialReference(nullptr));
    std::unique_ptr<void, SrsReleaser> wgs84(OSRNewSpatialReference(nullptr));
    const auto s = static_cast<OGRSpatialReferenceH>(srs.get());
    const auto w = static_cast<OGRSpatialReferenceH>(wgs84.get());
    const char* wkt = GDALGetProjectionRef(h);
    return wkt != nullptr && *wkt != '\0' && OSRSetFromUserInput(s, wkt) == OGRERR_NONE &&
           OSRImportFromEPSG(w, 4326) == OGRERR_NONE && OSRIsSame(s, w);
}

Status checkMapLayout(GDALDatasetH h, const std::string& path) {
    if (GDALGetRasterCount(h) < 1 || !isCoverageMap(h))
        return Status::failure(path + ": not a coverage map written by Verdan");
    if (!onWgs84(h))
        return Status::failure(path + ": not on WGS 84 (EPSG:4326), as Verdan's coverage maps "
                                      "are");
    double t[6] = {};
    if (GDALGetGeoTransform(h, t) != CE_None || t[2] != 0 || t[4] != 0 || !(t[1] > 0) ||
        std::fabs(t[1] + t[5]) > 1e-9 * t[1] || !std::isfinite(t[0]) || !std::isfinite(t[3]))
        return Status::failure(path + ": not a coverage map (north-up square cells in degrees "
                                      "expected)");
    return Status::success();
}

} // namespace

namespace {

// Opens the coverage map `path` and reads its layout into `grid`.
Status openMap(const std::string& path, const GdalErrorCapture& errors, GdalDatasetPtr& dataset,
               CoverageGrid& grid) {
    if (Status s = terrain::checkRasterFiles(path); !s.ok)
        return s;
    dataset = owned(GDALOpen(path.c_str(), GA_ReadOnly));
    if (!dataset)
        return failure(errors, path, "could not be read as a raster");
    GDALDatasetH h = handle(dataset);
    if (Status s = checkMapLayout(h, path); !s.ok)
        return s;
    double t[6] = {};
    GDALGetGeoTransform(h, t);
    grid.columns = GDALGetRasterXSize(h);
    grid.rows = GDALGetRasterYSize(h);
    grid.westLonDeg = t[0];
    grid.northLatDeg = t[3];
    grid.cellDeg = t[1];
    return Status::success();
}

// The values of `band` of the open map, its nodata value as NaN.
Status readBand(GDALRasterBandH band, const CoverageGrid& grid, std::vector<float>& values,
                const GdalErrorCapture& errors, const std::string& path) {
    values.assign(static_cast<std::size_t>(grid.cellCount()), 0.0F);
    if (GDALRasterIO(band, GF_Read, 0, 0, grid.columns, grid.rows, values.data(), grid.columns,
                     grid.rows, GDT_Float32, 0, 0) != CE_None)
        return failure(errors, path, "could not be read");
    int hasNoData = 0;
    const double noData = GDALGetRasterNoDataValue(band, &hasNoData);
    if (hasNoData && !std::isnan(noData))
        for (float& value : values)
            if (value == static_cast<float>(noData))
                value = std::numeric_limits<float>::quiet_NaN();
    return Status::success();
}

} // namespace

Status readLossRaster(const std::string& path, CoverageGrid& grid, bool readValues) {
    const GdalErrorCapture errors;
    GdalDatasetPtr dataset;
    if (Status s = openMap(path, errors, dataset, grid); !s.ok || !readValues)
        return s;
    return readBand(GDALGetRasterBand(handle(dataset), 1), grid, grid.lossDb, errors, path);
}

Status readMapBand(const std::string& path, const std::string& description, CoverageGrid& grid,
                   std::vector<float>& values) {
    const GdalErrorCapture errors;
    GdalDatasetPtr dataset;
    if (Status s = openMap(path, errors, dataset, grid); !s.ok)
        return s;
    for (int b = 1; b <= GDALGetRasterCount(handle(dataset)); ++b) {
        GDALRasterBandH band = GDALGetRasterBand(handle(dataset), b);
        if (description == GDALGetDescription(band))
            return readBand(band, grid, values, errors, path);
    }
    return Status::failure(path + ": has no band \"" + description + "\"");
}

std::string readMapItem(const std::string& path, const char* item) {
    if (!terrain::checkRasterFiles(path).ok)
        return {};
    const GdalErrorCapture errors;
    GdalDatasetPtr dataset = owned(GDALOpen(path.c_str(), GA_ReadOnly));
    const char* value = dataset ? GDALGetMetadataItem(handle(dataset), item, nullptr) : nullptr;
    return value != nullptr ? value : "";
}

namespace {

struct FeatureReleaser {
    void operator()(void* feature) const { OGR_F_Destroy(static_cast<OGRFeatureH>(feature)); }
};

// A raster of the grid in memory: 1 for covered cells, 0 elsewhere.
GdalDatasetPtr coveredMask(const CoverageGrid& grid) {
    GDALDriverH memory = GDALGetDriverByName("MEM");
    GdalDatasetPtr mask = owned(
        memory == nullptr ? nullptr
                          : GDALCreate(memory, "", grid.columns, grid.rows, 1, GDT_Byte, nullptr));
    if (!mask)
        return mask;
    std::vector<std::uint8_t> covered(grid.marginDb.size());
    for (std::size_t i = 0; i < covered.size(); ++i)
        covered[i] = grid.marginDb[i] >= 0.0F ? 1 : 0;
    double transform[6] = {grid.westLonDeg, grid.cellDeg, 0, grid.northLatDeg, 0, -grid.cellDeg};
    GDALSetGeoTransform(handle(mask), transform);
    if (GDALRasterIO(GDALGetRasterBand(handle(mask), 1), GF_Write, 0, 0, grid.columns, grid.rows,
                     covered.data(), grid.columns, grid.rows, GDT_Byte, 0, 0) != CE_None)
        mask.reset();
    return mask;
}

// Every geometry of `layer` exported as GeoJSON and KML.
bool exportGeometries(OGRLayerH layer, CoveredPolygons& polygons) {
    OGR_L_ResetReading(layer);
    while (OGRFeatureH raw = OGR_L_GetNextFeature(layer)) {
        const std::unique_ptr<void, FeatureReleaser> feature(raw);
        OGRGeometryH geometry = OGR_F_GetGeometryRef(raw);
        const std::unique_ptr<char, CplFree> json(geometry ? OGR_G_ExportToJson(geometry)
                                                           : nullptr);
        const std::unique_ptr<char, CplFree> kml(geometry ? OGR_G_ExportToKML(geometry, nullptr)
                                                          : nullptr);
        if (!json || !kml)
            return false;
        polygons.geoJson.emplace_back(json.get());
        polygons.kml.emplace_back(kml.get());
    }
    return true;
}

} // namespace

Status polygonizeCovered(const CoverageGrid& grid, CoveredPolygons& polygons) {
    const GdalErrorCapture errors;
    polygons = {};
    const std::string what = "the covered area";
    GdalDatasetPtr mask = coveredMask(grid);
    GDALDriverH vectors = GDALGetDriverByName("Memory");
    GdalDatasetPtr layers = owned(
        vectors == nullptr ? nullptr : GDALCreate(vectors, "", 0, 0, 0, GDT_Unknown, nullptr));
    if (!mask || !layers)
        return failure(errors, what, "could not be prepared");
    std::unique_ptr<void, SrsReleaser> srs(OSRNewSpatialReference(nullptr));
    auto* wgs84 = static_cast<OGRSpatialReferenceH>(srs.get());
    OSRImportFromEPSG(wgs84, 4326);
    OSRSetAxisMappingStrategy(wgs84, OAMS_TRADITIONAL_GIS_ORDER);
    OGRLayerH layer = GDALDatasetCreateLayer(handle(layers), "covered", wgs84, wkbPolygon, nullptr);
    const std::unique_ptr<std::remove_pointer_t<OGRFieldDefnH>, decltype(&OGR_Fld_Destroy)> field(
        OGR_Fld_Create("covered", OFTInteger), &OGR_Fld_Destroy);
    GDALRasterBandH band = GDALGetRasterBand(handle(mask), 1);
    if (layer == nullptr || OGR_L_CreateField(layer, field.get(), TRUE) != OGRERR_NONE ||
        GDALPolygonize(band, band, layer, 0, nullptr, nullptr, nullptr) != CE_None ||
        !exportGeometries(layer, polygons))
        return failure(errors, what, "could not be traced");
    return Status::success();
}

} // namespace verdan::coverage::detail
