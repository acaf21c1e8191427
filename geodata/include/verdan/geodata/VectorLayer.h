// Vector data over the planning map, read through OGR: GeoPackage, Shapefile, GeoJSON, KML
// and OpenStreetMap extracts (.osm.pbf, .osm). Plain C++, no Qt.
//
// Features come in the display projection (Web Mercator), those that reach into a requested
// extent only, each with the class the map styles it by: a road (an OpenStreetMap "highway"
// tag), a border (an administrative "boundary"), a place (a point with a "place" tag), or
// other, and the "name" (any letter case) as its label. An OpenStreetMap extract is read once
// into a GeoPackage in a cache folder (its points, lines and multipolygons), with a spatial
// index, so that a country-size file is not read again from the start for every tile.
#pragma once

#include <verdan/geodata/WebMercator.h>
#include <verdan/terrain/TerrainSource.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace verdan::geodata {

enum class FeatureClass { Road, Border, Place, Other };
enum class FeatureShape { Point, Line, Area };

/// One feature in the display projection. A point has one part of one point; a line has a
/// part per line string; an area has a part per ring (outer rings and holes alike).
struct Feature {
    FeatureClass featureClass = FeatureClass::Other;
    FeatureShape shape = FeatureShape::Point;
    std::string label;
    std::vector<std::vector<MercatorPoint>> parts;
};

/// Told how far a slow open has come, 0..1; false stops the open.
using OpenProgress = std::function<bool(double fraction)>;

/// An opened vector file. Thread safety: features() may be called from several threads; the
/// calls are served one at a time.
class VectorLayer {
public:
    /// Opens `path`; an OpenStreetMap extract is first read into a GeoPackage in
    /// `cacheFolder` (once: a cached copy newer than the extract is used as it is), that
    /// reading told to `progress` when given. Fails, naming the file, for a file OGR does not
    /// read as vector data, and when `progress` stops the reading: no copy is left then.
    static terrain::Status open(const std::string& path, const std::string& cacheFolder,
                                std::unique_ptr<VectorLayer>& out,
                                const OpenProgress& progress = {});
    ~VectorLayer();

    /// The extent of every layer of the file in the display projection, never without area;
    /// the whole world when the file does not say.
    const Extent& extent() const { return m_extent; }

    /// The features that reach into `box`, at most `limit` of them (the rest are left out
    /// and `truncated` is set). Features whose geometry OGR cannot project are skipped.
    terrain::Status features(const Extent& box, std::size_t limit, std::vector<Feature>& out,
                             bool& truncated);

    /// The GeoPackage an OpenStreetMap extract at `path` is cached as in `cacheFolder`.
    static std::string cachedCopyOf(const std::string& path, const std::string& cacheFolder);

private:
    struct Source;
    explicit VectorLayer(std::unique_ptr<Source> source);

    std::unique_ptr<Source> m_source;
    Extent m_extent;
    std::mutex m_mutex;
};

} // namespace verdan::geodata
