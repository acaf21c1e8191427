#include "GeodataFiles.h"

#include <verdan/geodata/VectorLayer.h>

#include <gdal_utils.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace verdan::geodata {
namespace {

using namespace test;

const char* const Valley = R"({"type": "FeatureCollection", "features": [
 {"type": "Feature", "properties": {"highway": "primary", "name": "Via Roma"},
  "geometry": {"type": "LineString", "coordinates": [[7.30, 45.70], [7.40, 45.75]]}},
 {"type": "Feature", "properties": {"boundary": "administrative", "name": "Province"},
  "geometry": {"type": "Polygon",
               "coordinates": [[[7.0, 45.5], [7.6, 45.5], [7.6, 46.0], [7.0, 45.5]]]}},
 {"type": "Feature", "properties": {"place": "town", "name": "Aosta"},
  "geometry": {"type": "Point", "coordinates": [7.32, 45.74]}},
 {"type": "Feature", "properties": {},
  "geometry": {"type": "MultiPoint", "coordinates": [[7.1, 45.6], [7.2, 45.6]]}}]})";

const Extent Everywhere{-HalfWorldM, -HalfWorldM, HalfWorldM, HalfWorldM};

std::vector<Feature> read(VectorLayer& layer, const Extent& box) {
    std::vector<Feature> out;
    bool truncated = false;
    EXPECT_TRUE(layer.features(box, 100, out, truncated).ok);
    return out;
}

const Feature* labelled(const std::vector<Feature>& features, const std::string& label) {
    const auto it = std::find_if(features.begin(), features.end(),
                                 [&](const Feature& f) { return f.label == label; });
    return it == features.end() ? nullptr : &*it;
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

void expectFeatures(const std::vector<Feature>& all, const std::vector<Expected>& rows) {
    for (const Expected& row : rows) {
        const Feature* f = labelled(all, row.label);
        ASSERT_NE(f, nullptr) << row.label;
        EXPECT_EQ(f->featureClass, row.featureClass) << row.label;
        EXPECT_EQ(f->shape, row.shape) << row.label;
        ASSERT_EQ(f->parts.size(), row.parts) << row.label;
        ASSERT_EQ(f->parts[0].size(), row.firstPartPoints) << row.label;
        const MercatorPoint want = toMercator({row.lastLatDeg, row.lastLonDeg});
        EXPECT_NEAR(f->parts[0].back().xM, want.xM, 0.5) << row.label;
        EXPECT_NEAR(f->parts[0].back().yM, want.yM, 0.5) << row.label;
    }
}

std::unique_ptr<VectorLayer> opened(const fs::path& path, const fs::path& cache = {}) {
    std::unique_ptr<VectorLayer> layer;
    const terrain::Status status = VectorLayer::open(path.string(), cache.string(), layer);
    EXPECT_TRUE(status.ok) << status.message;
    return layer;
}

TEST(VectorLayer, FeaturesAreClassedLabelledAndProjected) {
    const fs::path dir = freshFolder("classes");
    writeText(dir / "valley.geojson", Valley);
    terrain::registerGdal();
    // The same features in a GeoPackage in UTM zone 32, as another program would keep them.
    GDALDatasetH json = GDALOpenEx((dir / "valley.geojson").c_str(), GDAL_OF_VECTOR, nullptr,
                                   nullptr, nullptr);
    char* args[] = {const_cast<char*>("-f"), const_cast<char*>("GPKG"),
                    const_cast<char*>("-t_srs"), const_cast<char*>("EPSG:32632"), nullptr};
    GDALVectorTranslateOptions* options = GDALVectorTranslateOptionsNew(args, nullptr);
    GDALClose(GDALVectorTranslate((dir / "valley.gpkg").c_str(), nullptr, 1, &json, options,
                                  nullptr));
    GDALVectorTranslateOptionsFree(options);
    GDALClose(json);

    for (const char* name : {"valley.geojson", "valley.gpkg"}) {
        SCOPED_TRACE(name);
        const auto layer = opened(dir / name);
        ASSERT_NE(layer, nullptr);
        // A box in another projection encloses the features once projected.
        EXPECT_LE(layer->extent().minXM, toMercator({45.5, 7.0}).xM + 0.5);
        EXPECT_GT(layer->extent().minXM, toMercator({45.5, 7.0}).xM - 5000);
        const std::vector<Feature> all = read(*layer, Everywhere);
        EXPECT_EQ(all.size(), 4u);
        expectFeatures(all, {{"Via Roma", FeatureClass::Road, FeatureShape::Line, 1, 2, 45.75, 7.40},
                             {"Province", FeatureClass::Border, FeatureShape::Area, 1, 4, 45.5, 7.0},
                             {"Aosta", FeatureClass::Place, FeatureShape::Point, 1, 1, 45.74, 7.32},
                             {"", FeatureClass::Other, FeatureShape::Point, 2, 1, 45.6, 7.1}});
        // Around the road's east end only the road and the province reach in.
        const MercatorPoint east = toMercator({45.75, 7.40});
        const std::vector<Feature> near =
            read(*layer, {east.xM - 500, east.yM - 500, east.xM + 500, east.yM + 500});
        EXPECT_EQ(near.size(), 2u);
        EXPECT_EQ(labelled(near, "Aosta"), nullptr);
    }
    std::vector<Feature> two;
    bool truncated = false;
    ASSERT_TRUE(opened(dir / "valley.geojson")->features(Everywhere, 2, two, truncated).ok);
    EXPECT_EQ(two.size(), 2u);
    EXPECT_TRUE(truncated) << "the features beyond the limit are said to be left out";
}

TEST(VectorLayer, KmlPlacemarksCarryTheirNames) {
    const fs::path dir = freshFolder("kml");
    writeText(dir / "masts.kml", R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://www.opengis.net/kml/2.2"><Document>
<Placemark><name>Mast 1</name><Point><coordinates>7.5,45.6,0</coordinates></Point></Placemark>
</Document></kml>)");
    const auto layer = opened(dir / "masts.kml");
    ASSERT_NE(layer, nullptr);
    // Regression: the box of a single point had no area, so no tile was ever asked for it.
    const MercatorPoint mast = toMercator({45.6, 7.5});
    EXPECT_TRUE(layer->extent().intersects({mast.xM - 10, mast.yM - 10, mast.xM + 10, mast.yM + 10}));
    const std::vector<Feature> all = read(*layer, Everywhere);
    EXPECT_EQ(all.size(), 1u);
    expectFeatures(all, {{"Mast 1", FeatureClass::Other, FeatureShape::Point, 1, 1, 45.6, 7.5}});
}

TEST(VectorLayer, AnOpenStreetMapExtractIsCachedOnceAsAGeoPackage) {
    const fs::path dir = freshFolder("osm");
    fs::create_directory(dir / "cache");
    writeText(dir / "village.osm", R"(<?xml version="1.0" encoding="UTF-8"?>
<osm version="0.6" generator="hand">
 <node id="1" version="1" lat="45.70" lon="7.30"/>
 <node id="2" version="1" lat="45.71" lon="7.32"/>
 <node id="3" version="1" lat="45.705" lon="7.31">
  <tag k="place" v="village"/><tag k="name" v="Bourg"/></node>
 <way id="10" version="1"><nd ref="1"/><nd ref="2"/>
  <tag k="highway" v="residential"/><tag k="name" v="Rue Haute"/></way>
</osm>)");
    const auto layer = opened(dir / "village.osm", dir / "cache");
    ASSERT_NE(layer, nullptr);
    const fs::path copy = VectorLayer::cachedCopyOf((dir / "village.osm").string(),
                                                    (dir / "cache").string());
    ASSERT_TRUE(fs::is_regular_file(copy));
    expectFeatures(read(*layer, Everywhere),
                   {{"Rue Haute", FeatureClass::Road, FeatureShape::Line, 1, 2, 45.71, 7.32},
                    {"Bourg", FeatureClass::Place, FeatureShape::Point, 1, 1, 45.705, 7.31}});

    // Opened again, the copy is read as it is.
    const auto written = fs::last_write_time(copy);
    EXPECT_NE(opened(dir / "village.osm", dir / "cache"), nullptr);
    EXPECT_EQ(fs::last_write_time(copy), written);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "cache"), fs::directory_iterator()), 1)
        << "no temporary left beside the copy";
}

TEST(VectorLayer, AFileThatIsNoVectorDataIsRefusedByName) {
    const fs::path dir = freshFolder("refused-vector");
    writeText(dir / "roads.geojson", "{ this is not json");
    std::unique_ptr<VectorLayer> layer;
    const terrain::Status status =
        VectorLayer::open((dir / "roads.geojson").string(), dir.string(), layer);
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.message.find((dir / "roads.geojson").string() + ": "), std::string::npos)
        << status.message;
    EXPECT_EQ(layer, nullptr);
}

} // namespace
} // namespace verdan::geodata
