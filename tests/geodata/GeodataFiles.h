// Small geographic files the geodata tests write: rasters through GDAL, vector files as text.
#pragma once

#include <verdan/terrain/GdalSupport.h>

#include <gdal.h>
#include <ogr_srs_api.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace verdan::geodata::test {

namespace fs = std::filesystem;

/// A fresh folder for one test under the test's temporary folder.
inline fs::path freshFolder(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("geodata-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

inline void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

/// A GeoTIFF of `bands` Byte bands over lon `west`..`west + sizeDeg`, lat `north - sizeDeg`
/// .. `north` (WGS 84 unless `epsg` says otherwise), `side` pixels a side, filled by
/// `value(band, row, column)`.
template <typename Fill>
void writeGeoTiff(const fs::path& path, int bands, double west, double north, double sizeDeg,
                  int side, Fill value, int epsg = 4326, GDALDataType type = GDT_Byte) {
    terrain::registerGdal();
    GDALDatasetH dataset = GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), side, side,
                                      bands, type, nullptr);
    double transform[6] = {west, sizeDeg / side, 0, north, 0, -sizeDeg / side};
    GDALSetGeoTransform(dataset, transform);
    if (epsg != 0) {
        OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
        OSRImportFromEPSG(srs, epsg);
        GDALSetSpatialRef(dataset, srs);
        OSRDestroySpatialReference(srs);
    }
    std::vector<float> row(static_cast<std::size_t>(side));
    for (int b = 1; b <= bands; ++b) {
        for (int r = 0; r < side; ++r) {
            for (int c = 0; c < side; ++c)
                row[static_cast<std::size_t>(c)] = static_cast<float>(value(b, r, c));
            if (GDALRasterIO(GDALGetRasterBand(dataset, b), GF_Write, 0, r, side, 1, row.data(),
                             side, 1, GDT_Float32, 0, 0) != CE_None)
                break;
        }
    }
    GDALClose(dataset);
}

} // namespace verdan::geodata::test
