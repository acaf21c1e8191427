#include "GeodataFiles.h"

#include <verdan/geodata/VectorLayer.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace verdan::geodata {
namespace {

using namespace test;

const char* const Valley = R"({"type": "FeatureCollection", "features": [
 {"type": "Feature", "properties": {"highway": "primary", "name": "Via Roma"},
  "geometry": {"type": "LineString", "coordinates": [[7.30, 45.70], [7.40, 45.75]]}},
 {"type": "Feature", "properties": {"boundary": "administrative", "name": "Province"},
  "geometry": {"type": "Polygon", "coordinates": [[[7, 45.5], [7.6, 45.5], [7.6, 46], [7, 45.5]]]}},
 {"type": "Feature", "properties": {"place": "town", "name": "Aosta"},
  "geometry": {"type": "Point", "coordinates": [7.32, 45.74]}},
 {"type": "Feature", "properties": {},
  "geometry": {"type": "MultiPoint", "coordinates": [[7.1, 45.6], [7.2, 45.6]]}}]})";

const char* const Masts = R"(<kml xmlns="http://www.opengis.net/kml/2.2"><Document>
<Placemark><name>Mast 1</name><Point><coordinates>7.5,45.6,0</coordinates></Point></Placemark>
</Document></kml>)";

const char* const Village = R"(<osm version="0.6" generator="hand">
 <node id="1" version="1" lat="45.70" lon="7.30">
  <tag k="place" v="village"/><tag k="name" v="Bourg"/></node>
 <node id="2" version="1" lat="45.71" lon="7.32"/>
 <way id="10" version="1"><nd ref="1"/><nd ref="2"/>
  <tag k="highway" v="residential"/><tag k="name" v="Rue Haute"/></way>
</osm>)";

const Extent Everywhere{-HalfWorldM, -HalfWorldM, HalfWorldM, HalfWorldM};

std::vector<Feature> read(VectorLayer& layer, const Extent& box) {
    std::vector<Feature> out;
    bool truncated = false;
    EXPECT_TRUE(layer.features(box, 100, out, truncated).ok);
    return out;
}

// What a feature read back must be: its class and shape, its parts, the points of its first
// part and where the last of them lies.
struct Expected {
    std::string label;
    FeatureClass featureClass;
    FeatureShape shape;
    std::size_t parts, firstPartPoints;
    double lastLatDeg, lastLonDeg;
};

std::unique_ptr<VectorLayer> opened(const fs::path& path, const fs::path& cache = {}) {
    std::unique_ptr<VectorLayer> layer;
    const terrain::Status status = VectorLayer::open(path.string(), cache.string(), layer);
    EXPECT_TRUE(status.ok) << status.message;
    return layer;
}

TEST(VectorLayer, FeaturesAreClassedLabelledAndProjectedInEveryFormat) {
    // The valley also seen in UTM zone 32, through a layer that projects it.
    const fs::path dir = folderWith(
        "formats", {{"valley.geojson", Valley}, {"masts.kml", Masts}, {"village.osm", Village},
                    {"valley.vrt", R"(<OGRVRTDataSource><OGRVRTWarpedLayer>
 <OGRVRTLayer name="valley"><SrcDataSource relativeToVRT="1">valley.geojson</SrcDataSource>
 </OGRVRTLayer><TargetSRS>EPSG:32632</TargetSRS></OGRVRTWarpedLayer></OGRVRTDataSource>)"}});
    fs::create_directory(dir / "cache");
    const std::vector<Expected> valley = {
        {"Via Roma", FeatureClass::Road, FeatureShape::Line, 1, 2, 45.75, 7.40},
        {"Province", FeatureClass::Border, FeatureShape::Area, 1, 4, 45.5, 7.0},
        {"Aosta", FeatureClass::Place, FeatureShape::Point, 1, 1, 45.74, 7.32},
        {"", FeatureClass::Other, FeatureShape::Point, 2, 1, 45.6, 7.1}};
    struct Row {
        const char* name;
        std::size_t nearRoadEnd; // features within 500 m of Via Roma's east end
        std::vector<Expected> features;
    };
    const Row rows[] = {
        {"valley.geojson", 2, valley},
        {"valley.vrt", 2, valley},
        {"masts.kml", 0, {{"Mast 1", FeatureClass::Other, FeatureShape::Point, 1, 1, 45.6, 7.5}}},
        {"village.osm", 0,
         {{"Rue Haute", FeatureClass::Road, FeatureShape::Line, 1, 2, 45.71, 7.32},
          {"Bourg", FeatureClass::Place, FeatureShape::Point, 1, 1, 45.70, 7.30}}},
    };
    const MercatorPoint roadEnd = toMercator({45.75, 7.40});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto layer = opened(dir / row.name, dir / "cache");
        ASSERT_NE(layer, nullptr);
        const std::vector<Feature> all = read(*layer, Everywhere);
        EXPECT_EQ(all.size(), row.features.size());
        // Each feature as expected, and the extent, whatever projection the file is in,
        // reaching it but not much farther west.
        for (const Expected& want : row.features) {
            SCOPED_TRACE(want.label);
            const auto f = std::ranges::find(all, want.label, &Feature::label);
            ASSERT_NE(f, all.end());
            EXPECT_EQ(f->featureClass, want.featureClass);
            EXPECT_EQ(f->shape, want.shape);
            ASSERT_EQ(f->parts.size(), want.parts);
            ASSERT_EQ(f->parts[0].size(), want.firstPartPoints);
            const MercatorPoint at = toMercator({want.lastLatDeg, want.lastLonDeg});
            EXPECT_NEAR(f->parts[0].back().xM, at.xM, 0.5);
            EXPECT_NEAR(f->parts[0].back().yM, at.yM, 0.5);
            EXPECT_TRUE(layer->extent().intersects({at.xM - 0.5, at.yM - 0.5, at.xM + 0.5,
                                                    at.yM + 0.5}));
        }
        // Regression: the box of a single point had no area, so no tile was ever asked for it.
        EXPECT_FALSE(layer->extent().empty());
        EXPECT_GT(layer->extent().minXM, toMercator({45.5, 7.0}).xM - 5000);
        const std::vector<Feature> near = read(*layer, {roadEnd.xM - 500, roadEnd.yM - 500,
                                                        roadEnd.xM + 500, roadEnd.yM + 500});
        EXPECT_EQ(near.size(), row.nearRoadEnd);
        EXPECT_EQ(std::ranges::find(near, "Aosta", &Feature::label), near.end());
    }
    std::vector<Feature> two;
    bool truncated = false;
    ASSERT_TRUE(opened(dir / "valley.geojson")->features(Everywhere, 2, two, truncated).ok);
    EXPECT_EQ(two.size(), 2u);
    EXPECT_TRUE(truncated) << "the features beyond the limit are said to be left out";

    // The extract was read once into the cache; opened again, the copy is read as it is.
    const fs::path copy = VectorLayer::cachedCopyOf((dir / "village.osm").string(),
                                                    (dir / "cache").string());
    const auto written = fs::last_write_time(copy);
    EXPECT_NE(opened(dir / "village.osm", dir / "cache"), nullptr);
    EXPECT_EQ(fs::last_write_time(copy), written);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "cache"), fs::directory_iterator()), 1)
        << "no temporary left beside the copy";
}

TEST(VectorLayer, AStoppedReadingOfAnExtractLeavesNoCopyAndNoTemporary) {
    const fs::path dir = folderWith("osm-stopped", {{"village.osm", Village}});
    fs::create_directory(dir / "cache");
    std::unique_ptr<VectorLayer> layer;
    const terrain::Status status =
        VectorLayer::open((dir / "village.osm").string(), (dir / "cache").string(), layer,
                          [](double) { return false; });
    EXPECT_NE(status.message.find("cancelled"), std::string::npos) << status.message;
    EXPECT_EQ(layer, nullptr);
    EXPECT_TRUE(fs::is_empty(dir / "cache"));
}

} // namespace
} // namespace verdan::geodata
