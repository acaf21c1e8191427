#include <verdan/geodata/VectorLayer.h>

#include "GdalHandles.h"

#include <verdan/files/OutputFiles.h>

#include <cpl_vsi.h>
#include <gdal_utils.h>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <sys/stat.h>

namespace verdan::geodata {

using terrain::GdalDatasetPtr;
using terrain::GdalErrorCapture;
using terrain::Status;
using namespace detail;

namespace {

struct TransformDeleter {
    void operator()(OGRCoordinateTransformation* transform) const {
        OGRCoordinateTransformation::DestroyCT(transform);
    }
};
using TransformPtr = std::unique_ptr<OGRCoordinateTransformation, TransformDeleter>;

// A layer of the file, with its transformations to and from the display projection and the
// fields its features are classed by (-1 when it has none).
struct LayerAccess {
    OGRLayer* layer = nullptr;
    TransformPtr toDisplay;
    TransformPtr fromDisplay;
    int nameField = -1;
    int highwayField = -1;
    int boundaryField = -1;
    int placeField = -1;
};

int fieldIndex(OGRFeatureDefn* definition, const char* wanted) {
    for (int i = 0; i < definition->GetFieldCount(); ++i) {
        const std::string name = definition->GetFieldDefn(i)->GetNameRef();
        if (name.size() == std::char_traits<char>::length(wanted) &&
            std::equal(name.begin(), name.end(), wanted,
                       [](char a, char b) { return std::tolower(a) == b; }))
            return i;
    }
    return -1;
}

OGRSpatialReference displaySrs() {
    OGRSpatialReference srs;
    srs.SetFromUserInput(DisplaySrs);
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

// The transformations of `layer`; a layer without a reference system is taken as WGS 84
// longitude and latitude, as GeoJSON and KML are.
LayerAccess accessOf(OGRLayer* layer) {
    LayerAccess access;
    access.layer = layer;
    OGRSpatialReference source;
    if (const OGRSpatialReference* own = layer->GetSpatialRef())
        source = *own;
    else
        source.SetWellKnownGeogCS("WGS84");
    source.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    const OGRSpatialReference display = displaySrs();
    access.toDisplay.reset(OGRCreateCoordinateTransformation(&source, &display));
    access.fromDisplay.reset(OGRCreateCoordinateTransformation(&display, &source));
    OGRFeatureDefn* definition = layer->GetLayerDefn();
    access.nameField = fieldIndex(definition, "name");
    access.highwayField = fieldIndex(definition, "highway");
    access.boundaryField = fieldIndex(definition, "boundary");
    access.placeField = fieldIndex(definition, "place");
    return access;
}

bool fieldSet(OGRFeature& feature, int field) {
    return field >= 0 && feature.IsFieldSetAndNotNull(field) && *feature.GetFieldAsString(field);
}

FeatureClass classOf(OGRFeature& feature, const LayerAccess& access) {
    if (fieldSet(feature, access.highwayField))
        return FeatureClass::Road;
    if (fieldSet(feature, access.boundaryField) &&
        std::string_view(feature.GetFieldAsString(access.boundaryField)) == "administrative")
        return FeatureClass::Border;
    if (fieldSet(feature, access.placeField))
        return FeatureClass::Place;
    return FeatureClass::Other;
}

void addCurve(const OGRSimpleCurve& curve, Feature& out) {
    std::vector<MercatorPoint>& part = out.parts.emplace_back();
    part.reserve(static_cast<std::size_t>(curve.getNumPoints()));
    for (int i = 0; i < curve.getNumPoints(); ++i)
        part.push_back({curve.getX(i), curve.getY(i)});
}

// Adds the parts of `geometry` (collections taken apart) to `out`.
void addParts(const OGRGeometry& geometry, Feature& out) {
    switch (wkbFlatten(geometry.getGeometryType())) {
    case wkbPoint:
        out.shape = FeatureShape::Point;
        out.parts.push_back({{geometry.toPoint()->getX(), geometry.toPoint()->getY()}});
        return;
    case wkbLineString:
        out.shape = FeatureShape::Line;
        addCurve(*geometry.toLineString(), out);
        return;
    case wkbPolygon:
        out.shape = FeatureShape::Area;
        for (const OGRLinearRing* ring : *geometry.toPolygon())
            addCurve(*ring, out);
        return;
    case wkbMultiPoint:
    case wkbMultiLineString:
    case wkbMultiPolygon:
    case wkbGeometryCollection:
        for (const OGRGeometry* member : *geometry.toGeometryCollection())
            addParts(*member, out);
        return;
    default:
        return; // curves and surfaces of other kinds are not drawn
    }
}

bool isOpenStreetMap(const std::string& path) {
    GDALDriverH driver = GDALIdentifyDriverEx(path.c_str(), GDAL_OF_VECTOR, nullptr, nullptr);
    return driver != nullptr && std::string_view(GDALGetDriverShortName(driver)) == "OSM";
}

bool newerThan(const std::string& copy, const std::string& original) {
    struct stat copyInfo {};
    struct stat originalInfo {};
    return ::stat(copy.c_str(), &copyInfo) == 0 && ::stat(original.c_str(), &originalInfo) == 0 &&
           S_ISREG(copyInfo.st_mode) && copyInfo.st_mtime >= originalInfo.st_mtime;
}

// Hands GDAL's progress on to an OpenProgress and remembers a stop.
struct ProgressRelay {
    const OpenProgress& progress;
    bool stopped = false;
};

int CPL_STDCALL relayProgress(double fraction, const char*, void* data) {
    auto* relay = static_cast<ProgressRelay*>(data);
    relay->stopped = relay->stopped || !relay->progress(fraction);
    return relay->stopped ? FALSE : TRUE;
}

// Reads the extract at `path` into the GeoPackage `copy`, written as a whole or not at all:
// not at all when `progress` stops the reading, even as its last feature went.
Status cacheExtract(const std::string& path, const std::string& copy,
                    const OpenProgress& progress) {
    const GdalErrorCapture errors;
    GdalDatasetPtr extract = owned(GDALOpenEx(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                              nullptr, nullptr, nullptr));
    if (!extract)
        return Status::failure(errors.describe(path + ": not an OpenStreetMap extract"));
    const std::string memory = "/vsimem/verdan-osm-" + std::to_string(std::hash<std::string>{}(path)) + ".gpkg";
    ArgumentList args{"-f", "GPKG", "-lco", "SPATIAL_INDEX=YES", "points", "lines", "multipolygons"};
    GDALVectorTranslateOptions* options = GDALVectorTranslateOptionsNew(args.data(), nullptr);
    ProgressRelay relay{progress};
    if (progress)
        GDALVectorTranslateOptionsSetProgress(options, relayProgress, &relay);
    GDALDatasetH sources[] = {handle(extract)};
    GdalDatasetPtr written = owned(GDALVectorTranslate(memory.c_str(), nullptr, 1, sources,
                                                       options, nullptr));
    GDALVectorTranslateOptionsFree(options);
    const bool ok = written != nullptr;
    written.reset();
    relay.stopped = relay.stopped || (ok && progress && !progress(1.0));
    Status status = ok && !relay.stopped
                        ? Status::success()
                        : Status::failure(relay.stopped
                                              ? path + ": reading was cancelled"
                                              : errors.describe(path + ": could not be read"));
    if (status.ok) {
        vsi_l_offset size = 0;
        const GByte* bytes = VSIGetMemFileBuffer(memory.c_str(), &size, FALSE);
        files::OutputSet set;
        set.add(copy, std::string(reinterpret_cast<const char*>(bytes), size));
        if (const files::PublishResult result = set.publish(); !result.ok)
            status = Status::failure(result.message());
    }
    VSIUnlink(memory.c_str());
    return status;
}

} // namespace

struct VectorLayer::Source {
    GdalDatasetPtr dataset;
    std::vector<LayerAccess> layers;
};

VectorLayer::VectorLayer(std::unique_ptr<Source> source) : m_source(std::move(source)) {}

VectorLayer::~VectorLayer() = default;

std::string VectorLayer::cachedCopyOf(const std::string& path, const std::string& cacheFolder) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return cacheFolder + "/" + name + "-" + std::to_string(std::hash<std::string>{}(path)) +
           ".gpkg";
}

Status VectorLayer::open(const std::string& path, const std::string& cacheFolder,
                         std::unique_ptr<VectorLayer>& out, const OpenProgress& progress) {
    if (Status plain = terrain::checkPlainFile(path); !plain.ok)
        return plain;
    terrain::registerGdal();
    std::string readFrom = path;
    if (isOpenStreetMap(path)) {
        readFrom = cachedCopyOf(path, cacheFolder);
        if (!newerThan(readFrom, path))
            if (Status cached = cacheExtract(path, readFrom, progress); !cached.ok)
                return cached;
    }
    const GdalErrorCapture errors;
    auto source = std::make_unique<Source>();
    source->dataset = owned(GDALOpenEx(readFrom.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                       nullptr, nullptr, nullptr));
    if (!source->dataset || source->dataset->GetLayerCount() == 0)
        return Status::failure(errors.describe(path + ": not vector data OGR can read"));
    Extent extent{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (OGRLayer* layer : source->dataset->GetLayers()) {
        LayerAccess access = accessOf(layer);
        if (!access.toDisplay)
            continue;
        OGREnvelope box;
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        if (layer->GetExtent(&box, TRUE) == OGRERR_NONE &&
            access.toDisplay->TransformBounds(box.MinX, box.MinY, box.MaxX, box.MaxY, &x0, &y0,
                                              &x1, &y1, 2))
            extent = {std::min(extent.minXM, x0), std::min(extent.minYM, y0),
                      std::max(extent.maxXM, x1), std::max(extent.maxYM, y1)};
        source->layers.push_back(std::move(access));
    }
    std::unique_ptr<VectorLayer> layer(new VectorLayer(std::move(source)));
    // A file of one point or of one straight east-west line has a box without area: it is
    // widened a metre each way. A file without any box may have features anywhere.
    const bool known = extent.minXM <= extent.maxXM && extent.minYM <= extent.maxYM;
    layer->m_extent = known ? Extent{extent.minXM - 1, extent.minYM - 1, extent.maxXM + 1,
                                     extent.maxYM + 1}
                            : Extent{-HalfWorldM, -HalfWorldM, HalfWorldM, HalfWorldM};
    out = std::move(layer);
    return Status::success();
}

Status VectorLayer::features(const Extent& box, std::size_t limit, std::vector<Feature>& out,
                             bool& truncated) {
    const std::lock_guard lock(m_mutex);
    const GdalErrorCapture errors;
    truncated = false;
    for (LayerAccess& access : m_source->layers) {
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        if (!access.fromDisplay->TransformBounds(box.minXM, box.minYM, box.maxXM, box.maxYM, &x0,
                                                 &y0, &x1, &y1, 2))
            continue;
        access.layer->SetSpatialFilterRect(x0, y0, x1, y1);
        access.layer->ResetReading();
        for (auto& feature : *access.layer) {
            const OGRGeometry* geometry = feature->GetGeometryRef();
            if (geometry == nullptr)
                continue;
            if (out.size() >= limit) {
                truncated = true;
                return Status::success();
            }
            std::unique_ptr<OGRGeometry> projected(geometry->clone());
            if (projected->transform(access.toDisplay.get()) != OGRERR_NONE)
                continue;
            Feature item;
            addParts(*projected, item);
            if (item.parts.empty())
                continue;
            item.featureClass = classOf(*feature, access);
            if (access.nameField >= 0 && feature->IsFieldSetAndNotNull(access.nameField))
                item.label = feature->GetFieldAsString(access.nameField);
            out.push_back(std::move(item));
        }
    }
    return Status::success();
}

} // namespace verdan::geodata
