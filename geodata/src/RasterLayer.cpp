#include <verdan/geodata/RasterLayer.h>

#include "GdalHandles.h"

#include <gdal_alg.h>
#include <gdal_utils.h>

#include <algorithm>

namespace verdan::geodata {

using terrain::GdalDatasetPtr;
using terrain::GdalErrorCapture;
using terrain::Status;
using namespace detail;

char** ArgumentList::data() {
    m_pointers.clear();
    for (std::string& text : m_texts)
        m_pointers.push_back(text.data());
    m_pointers.push_back(nullptr);
    return m_pointers.data();
}

bool TileImage::blank() const {
    for (std::size_t i = 3; i < rgba.size(); i += 4)
        if (rgba[i] != 0)
            return false;
    return true;
}

struct RasterLayer::Source {
    GdalDatasetPtr file;
    /// The file as 8-bit red, green, blue (and alpha when it has one), a virtual raster.
    GdalDatasetPtr rgb;
};

namespace {

bool isAlpha(GDALRasterBandH band) {
    return GDALGetRasterColorInterpretation(band) == GCI_AlphaBand;
}

// The bands and scaling that make `file` an 8-bit RGB(A) picture.
ArgumentList rgbArguments(GDALDatasetH file) {
    ArgumentList args{"-of", "VRT"};
    const int bands = GDALGetRasterCount(file);
    GDALRasterBandH first = GDALGetRasterBand(file, 1);
    if (GDALGetRasterColorTable(first) != nullptr) {
        args.add("-expand");
        args.add("rgba");
        return args;
    }
    const bool colour = bands >= 3;
    const int alphaBand = bands >= 2 && isAlpha(GDALGetRasterBand(file, bands)) ? bands : 0;
    for (int b : colour ? std::vector<int>{1, 2, 3} : std::vector<int>{1, 1, 1}) {
        args.add("-b");
        args.add(std::to_string(b));
    }
    std::string interpretation = "red,green,blue";
    if (alphaBand > 0) {
        args.add("-b");
        args.add(std::to_string(alphaBand));
        interpretation += ",alpha";
    }
    args.add("-colorinterp");
    args.add(interpretation);
    if (GDALGetRasterDataType(first) != GDT_Byte) {
        double range[2] = {0, 255};
        GDALComputeRasterMinMax(first, TRUE, range);
        args.add("-ot");
        args.add("Byte");
        args.add("-scale");
        args.add(cText(range[0]));
        args.add(cText(range[1] > range[0] ? range[1] : range[0] + 1));
        args.add("0");
        args.add("255");
    }
    return args;
}

Status failure(const GdalErrorCapture& errors, const std::string& path, const char* what) {
    return Status::failure(errors.describe(path + ": " + what));
}

// The extent of `dataset` in the display projection and its projected metres per pixel.
bool projectedExtent(GDALDatasetH dataset, Extent& extent, double& metresPerPx) {
    char** options = CSLSetNameValue(nullptr, "DST_SRS", DisplaySrs);
    void* transformer = GDALCreateGenImgProjTransformer2(dataset, nullptr, options);
    CSLDestroy(options);
    if (transformer == nullptr)
        return false;
    double transform[6] = {};
    double bounds[4] = {};
    int pixels = 0;
    int lines = 0;
    const bool ok = GDALSuggestedWarpOutput2(dataset, GDALGenImgProjTransform, transformer,
                                             transform, &pixels, &lines, bounds, 0) == CE_None;
    GDALDestroyGenImgProjTransformer(transformer);
    extent = {bounds[0], bounds[1], bounds[2], bounds[3]};
    metresPerPx = transform[1];
    return ok && !extent.empty();
}

} // namespace

RasterLayer::RasterLayer(std::unique_ptr<Source> source) : m_source(std::move(source)) {}

RasterLayer::~RasterLayer() = default;

Status RasterLayer::open(const std::string& path, std::unique_ptr<RasterLayer>& out) {
    if (Status files = terrain::checkRasterFiles(path); !files.ok)
        return files;
    const GdalErrorCapture errors;
    auto source = std::make_unique<Source>();
    source->file = owned(GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr,
                                    nullptr, nullptr));
    if (!source->file || GDALGetRasterCount(handle(source->file)) == 0)
        return failure(errors, path, "not a picture GDAL can read");
    if (Status files = terrain::checkDatasetFiles(source->file.get(), path); !files.ok)
        return files;
    GDALDatasetH file = handle(source->file);
    if (GDALGetSpatialRef(file) == nullptr)
        return Status::failure(path + ": has no geographic reference");
    ArgumentList args = rgbArguments(file);
    GDALTranslateOptions* options = GDALTranslateOptionsNew(args.data(), nullptr);
    source->rgb = owned(GDALTranslate("", file, options, nullptr));
    GDALTranslateOptionsFree(options);
    if (!source->rgb)
        return failure(errors, path, "could not be read as a picture");
    std::unique_ptr<RasterLayer> layer(new RasterLayer(std::move(source)));
    if (!projectedExtent(handle(layer->m_source->rgb), layer->m_extent, layer->m_metresPerPx))
        return failure(errors, path, "cannot be shown in the map's projection");
    out = std::move(layer);
    return Status::success();
}

Status RasterLayer::readTile(const TileId& tile, TileImage& out) {
    out.rgba.assign(static_cast<std::size_t>(TileSidePx) * TileSidePx * 4, 0);
    const Extent box = tileExtent(tile);
    if (!box.intersects(m_extent))
        return Status::success();
    const std::lock_guard lock(m_mutex);
    const GdalErrorCapture errors;
    GdalDatasetPtr target = owned(GDALCreate(GDALGetDriverByName("MEM"), "", TileSidePx,
                                             TileSidePx, 4, GDT_Byte, nullptr));
    if (!target)
        return failure(errors, "tile", "could not be made");
    const double sideM = box.maxXM - box.minXM;
    double transform[6] = {box.minXM, sideM / TileSidePx, 0, box.maxYM, 0, -sideM / TileSidePx};
    GDALSetGeoTransform(handle(target), transform);
    OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
    OSRSetFromUserInput(srs, DisplaySrs);
    GDALSetSpatialRef(handle(target), srs);
    OSRDestroySpatialReference(srs);
    ArgumentList args{"-r", "bilinear", "-dstalpha"};
    GDALWarpAppOptions* options = GDALWarpAppOptionsNew(args.data(), nullptr);
    GDALDatasetH sources[] = {handle(m_source->rgb)};
    const GDALDatasetH warped = GDALWarp(nullptr, handle(target), 1, sources, options, nullptr);
    GDALWarpAppOptionsFree(options);
    if (warped == nullptr)
        return failure(errors, GDALGetDescription(handle(m_source->file)), "could not be warped");
    int bandMap[] = {1, 2, 3, 4};
    if (GDALDatasetRasterIO(handle(target), GF_Read, 0, 0, TileSidePx, TileSidePx, out.rgba.data(),
                            TileSidePx, TileSidePx, GDT_Byte, 4, bandMap, 4, 4 * TileSidePx,
                            1) != CE_None)
        return failure(errors, GDALGetDescription(handle(m_source->file)), "could not be read");
    return Status::success();
}

} // namespace verdan::geodata
