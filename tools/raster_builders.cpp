#include "raster_builders.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace verdan::terrain {

namespace {

struct Closer {
    void operator()(GDALDataset* dataset) const { GDALClose(GDALDataset::ToHandle(dataset)); }
};
using DatasetPtr = std::unique_ptr<GDALDataset, Closer>;

bool fail(std::string* error, const std::string& message) {
    if (error)
        *error = message + ": " + CPLGetLastErrorMsg();
    return false;
}

bool fill(GDALDataset& memory, const RasterLayout& layout, const CellValueFn& value) {
    GDALRasterBand* band = memory.GetRasterBand(1);
    const double nodata = layout.nodata.value_or(-32768.0);
    std::vector<double> row(static_cast<std::size_t>(layout.width));
    const auto& t = layout.geoTransform;
    for (int r = 0; r < layout.height; ++r) {
        for (int c = 0; c < layout.width; ++c) {
            const double x = t[0] + (c + 0.5) * t[1] + (r + 0.5) * t[2];
            const double y = t[3] + (c + 0.5) * t[4] + (r + 0.5) * t[5];
            const double v = value(x, y);
            row[static_cast<std::size_t>(c)] = std::isnan(v) ? nodata : v;
        }
        if (band->RasterIO(GF_Write, 0, r, layout.width, 1, row.data(), layout.width, 1,
                           GDT_Float64, 0, 0) != CE_None)
            return false;
    }
    return true;
}

} // namespace

bool writeRaster(const std::string& path, const RasterLayout& layout, const CellValueFn& value,
                 std::string* error) {
    GDALAllRegister();
    CPLErrorReset();
    GDALDriver* memoryDriver = GetGDALDriverManager()->GetDriverByName("MEM");
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(layout.driver.c_str());
    if (memoryDriver == nullptr || driver == nullptr)
        return fail(error, "no GDAL driver " + layout.driver);
    DatasetPtr memory(
        memoryDriver->Create("", layout.width, layout.height, 1, layout.type, nullptr));
    if (!memory)
        return fail(error, "cannot create " + path);
    memory->SetGeoTransform(const_cast<double*>(layout.geoTransform.data()));
    if (!layout.crs.empty()) {
        OGRSpatialReference crs;
        crs.SetFromUserInput(layout.crs.c_str());
        memory->SetSpatialRef(&crs);
    }
    GDALRasterBand* band = memory->GetRasterBand(1);
    if (layout.nodata)
        band->SetNoDataValue(*layout.nodata);
    if (!layout.unit.empty())
        band->SetUnitType(layout.unit.c_str());
    if (!fill(*memory, layout, value))
        return fail(error, "cannot fill " + path);
    const char* tiffOptions[] = {"TILED=YES", "COMPRESS=DEFLATE", nullptr};
    char** options = layout.driver == "GTiff" ? const_cast<char**>(tiffOptions) : nullptr;
    DatasetPtr written(driver->CreateCopy(path.c_str(), memory.get(), FALSE, options, nullptr,
                                          nullptr));
    return written ? true : fail(error, "cannot write " + path);
}

RasterLayout srtmTileLayout(int latDeg, int lonDeg) {
    constexpr double second = 1.0 / 3600.0;
    RasterLayout layout;
    layout.width = 3601;
    layout.height = 3601;
    layout.geoTransform = {lonDeg - second / 2, second, 0, latDeg + 1 + second / 2, 0, -second};
    layout.type = GDT_Int16;
    layout.nodata = -32768.0;
    layout.driver = "SRTMHGT";
    return layout;
}

std::string srtmTileName(int latDeg, int lonDeg) {
    char name[32];
    std::snprintf(name, sizeof name, "%c%02d%c%03d.hgt", latDeg < 0 ? 'S' : 'N', std::abs(latDeg),
                  lonDeg < 0 ? 'W' : 'E', std::abs(lonDeg));
    return name;
}

} // namespace verdan::terrain
