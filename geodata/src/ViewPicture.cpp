#include <verdan/geodata/ViewPicture.h>

#include "GdalHandles.h"

#include <verdan/files/OutputFiles.h>

#include <ogr_srs_api.h>

namespace verdan::geodata {

using terrain::GdalErrorCapture;
using terrain::Status;
using namespace detail;

namespace {

// Fills the GeoTIFF at `path`; the empty string on success, else the reason.
std::string fill(const std::string& path, const std::vector<std::uint8_t>& rgba, int widthPx,
                 int heightPx, const Extent& extent) {
    const GdalErrorCapture errors;
    const char* options[] = {"COMPRESS=DEFLATE", "PHOTOMETRIC=RGB", "ALPHA=YES", nullptr};
    terrain::GdalDatasetPtr dataset =
        owned(GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), widthPx, heightPx, 4,
                         GDT_Byte, const_cast<char**>(options)));
    if (!dataset)
        return errors.describe("could not be created");
    double transform[6] = {extent.minXM, (extent.maxXM - extent.minXM) / widthPx, 0,
                           extent.maxYM, 0, -(extent.maxYM - extent.minYM) / heightPx};
    GDALSetGeoTransform(handle(dataset), transform);
    OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
    OSRSetFromUserInput(srs, DisplaySrs);
    GDALSetSpatialRef(handle(dataset), srs);
    OSRDestroySpatialReference(srs);
    int bands[] = {1, 2, 3, 4};
    if (GDALDatasetRasterIO(handle(dataset), GF_Write, 0, 0, widthPx, heightPx,
                            const_cast<std::uint8_t*>(rgba.data()), widthPx, heightPx, GDT_Byte,
                            4, bands, 4, 4 * widthPx, 1) != CE_None)
        return errors.describe("could not be written");
    dataset.reset(); // flushes; a full disk shows here
    return errors.firstError().empty() ? std::string() : errors.describe("could not be written");
}

} // namespace

Status writeViewGeoTiff(const std::string& path, const std::vector<std::uint8_t>& rgba,
                        int widthPx, int heightPx, const Extent& extent) {
    if (widthPx <= 0 || heightPx <= 0 || extent.empty() ||
        rgba.size() != static_cast<std::size_t>(widthPx) * heightPx * 4)
        return Status::failure(path + ": the view has no picture to save");
    terrain::registerGdal();
    files::OutputSet set;
    set.add(path, [&](const files::TemporaryFile& file) {
        return fill(file.path, rgba, widthPx, heightPx, extent);
    });
    const files::PublishResult result = set.publish();
    return result.ok ? Status::success() : Status::failure(result.message());
}

} // namespace verdan::geodata
