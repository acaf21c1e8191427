#include "RasterMosaic.h"

#include <verdan/terrain/GdalSupport.h>

#include <gdal_priv.h>
#include <gdal_utils.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace verdan::terrain {

namespace fs = std::filesystem;

namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Files beside rasters that describe them (overviews, masks, auxiliary metadata).
bool isSidecar(const std::string& lowerName) {
    return lowerName.front() == '.' || endsWith(lowerName, ".aux.xml") ||
           endsWith(lowerName, ".ovr") || endsWith(lowerName, ".msk");
}

// Extensions of elevation rasters: such a file that GDAL does not recognise is an error,
// any other unrecognised file is simply not part of the mosaic.
bool hasElevationExtension(const std::string& lowerName) {
    static const std::array<const char*, 7> extensions = {".tif", ".tiff", ".hgt", ".dt0",
                                                          ".dt1", ".dt2",  ".vrt"};
    return std::any_of(extensions.begin(), extensions.end(),
                       [&](const char* ext) { return endsWith(lowerName, ext); });
}

bool sameReferenceSystem(const OGRSpatialReference* a, const OGRSpatialReference* b) {
    const bool aNone = a == nullptr || a->IsEmpty();
    const bool bNone = b == nullptr || b->IsEmpty();
    return aNone || bNone ? aNone == bNone : a->IsSame(b);
}

struct Candidates {
    std::vector<fs::path> files;
    std::string listing; ///< names, sizes and modification times: the cache key
};

Status listRasters(const fs::path& folder, Candidates& out) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error)
        return Status::failure("Cannot read the folder " + folder.string() + ": " + error.message());
    std::vector<fs::path> files;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error)
            return Status::failure("Cannot read the folder " + folder.string() + ": " +
                                   error.message());
        std::error_code typeError;
        const std::string name = lowerCase(it->path().filename().string());
        if (it->is_regular_file(typeError) && !isSidecar(name))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const bool known = GDALIdentifyDriverEx(file.c_str(), GDAL_OF_RASTER, nullptr, nullptr);
        if (!known && hasElevationExtension(lowerCase(file.filename().string())))
            return Status::failure("The file " + file.string() + " is not a raster GDAL can read");
        if (!known)
            continue;
        std::error_code statError;
        const auto size = fs::file_size(file, statError);
        const auto time = fs::last_write_time(file, statError).time_since_epoch().count();
        out.listing += file.filename().string() + '\t' + std::to_string(size) + '\t' +
                       std::to_string(time) + '\n';
        out.files.push_back(file);
    }
    if (out.files.empty())
        return Status::failure("The folder " + folder.string() + " holds no raster GDAL can read");
    return Status::success();
}

// Opens every tile and checks that it can take part in the mosaic.
Status openTiles(const std::vector<fs::path>& files, std::vector<GdalDatasetPtr>& tiles) {
    for (const fs::path& file : files) {
        if (Status plain = checkRasterFiles(file.string()); !plain.ok)
            return Status::failure("The raster " + plain.message);
        GdalErrorCapture capture;
        GdalDatasetPtr tile(GDALDataset::FromHandle(
            GDALOpenEx(file.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR,
                       nullptr, nullptr, nullptr)));
        if (!tile)
            return Status::failure(capture.describe("Cannot open the raster " + file.string()));
        std::array<double, 6> transform{};
        if (tile->GetRasterCount() < 1 || tile->GetGeoTransform(transform.data()) != CE_None)
            return Status::failure("The raster " + file.string() + " has no georeferencing");
        if (!tiles.empty() &&
            !sameReferenceSystem(tiles.front()->GetSpatialRef(), tile->GetSpatialRef()))
            return Status::failure("The raster " + file.string() +
                                   " is in another coordinate reference system than " +
                                   std::string(tiles.front()->GetDescription()));
        tiles.push_back(std::move(tile));
    }
    return Status::success();
}

// gdalbuildvrt's options: the finest resolution of the tiles, and a nodata value for the
// parts no tile covers (the tiles' own, or -32768 in a type that can hold it).
std::vector<std::string> mosaicOptions(GDALDataset& firstTile) {
    std::vector<std::string> options = {"-resolution", "highest"};
    GDALRasterBand* band = firstTile.GetRasterBand(1);
    int hasNodata = 0;
    band->GetNoDataValue(&hasNodata);
    if (hasNodata)
        return options;
    const GDALDataType type = band->GetRasterDataType();
    if (!GDALDataTypeIsSigned(type))
        options.insert(options.end(), {"-ot", "Float32"});
    options.insert(options.end(), {"-vrtnodata", "-32768"});
    return options;
}

Status buildMosaic(const fs::path& folder, std::vector<GdalDatasetPtr>& tiles, std::string& vrtXml) {
    std::vector<GDALDatasetH> handles;
    for (const GdalDatasetPtr& tile : tiles)
        handles.push_back(GDALDataset::ToHandle(tile.get()));
    const std::vector<std::string> words = mosaicOptions(*tiles.front());
    std::vector<char*> argv;
    for (const std::string& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    GdalErrorCapture capture;
    std::unique_ptr<GDALBuildVRTOptions, decltype(&GDALBuildVRTOptionsFree)> options(
        GDALBuildVRTOptionsNew(argv.data(), nullptr), &GDALBuildVRTOptionsFree);
    int usageError = 0;
    GdalDatasetPtr mosaic(GDALDataset::FromHandle(
        GDALBuildVRT("", static_cast<int>(handles.size()), handles.data(), nullptr,
                     options.get(), &usageError)));
    char** xml = mosaic ? mosaic->GetMetadata("xml:VRT") : nullptr;
    if (xml == nullptr || xml[0] == nullptr)
        return Status::failure(capture.describe("Cannot mosaic the rasters of " + folder.string()));
    vrtXml = xml[0];
    return Status::success();
}

} // namespace

Status folderMosaic(const fs::path& folder, RasterMosaicCache* cache, std::string& vrtXml) {
    Candidates candidates;
    if (Status listed = listRasters(folder, candidates); !listed.ok)
        return listed;
    if (cache != nullptr) {
        vrtXml = cache->find(folder.string(), candidates.listing);
        if (!vrtXml.empty())
            return Status::success();
    }
    std::vector<GdalDatasetPtr> tiles;
    if (Status opened = openTiles(candidates.files, tiles); !opened.ok)
        return opened;
    if (Status built = buildMosaic(folder, tiles, vrtXml); !built.ok)
        return built;
    if (cache != nullptr)
        cache->store(folder.string(), candidates.listing, vrtXml);
    return Status::success();
}

std::string RasterMosaicCache::find(const std::string& folder, const std::string& listing) const {
    const std::lock_guard guard(m_lock);
    const auto it = m_mosaics.find(folder);
    return it != m_mosaics.end() && it->second.first == listing ? it->second.second : std::string();
}

void RasterMosaicCache::store(const std::string& folder, const std::string& listing,
                              std::string vrtXml) {
    const std::lock_guard guard(m_lock);
    m_mosaics[folder] = {listing, std::move(vrtXml)};
}

} // namespace verdan::terrain
