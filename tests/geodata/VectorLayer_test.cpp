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

std::vector<Feature> read(VectorLayer& layer, const Extent& box, std::size_t limit = 100) {
    std::vector<Feature> out;
    bool truncated = false;
    EXPECT_TRUE(layer.features(box, limit, out, truncated).ok);
    return out;
}

const Feature* labelled(const std::vector<Feature>& features, const std::string& label) {
    const auto it = std::find_if(features.begin(), features.end(),
                                 [&](const Feature& f) { return f.label == label; });
    return it == features.end() ? nullptr : &*it;
}

void expectAt(const MercatorPoint& got, double latDeg, double lonDeg) {
    const MercatorPoint want = toMercator({latDeg, lonDeg});
    EXPECT_NEAR(got.xM, want.xM, 0.5);
    EXPECT_NEAR(got.yM, want.yM, 0.5);
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
        ASSERT_EQ(all.size(), 4u);
        const Feature* road = labelled(all, "Via Roma");
        ASSERT_NE(road, nullptr);
        EXPECT_EQ(road->featureClass, FeatureClass::Road);
        EXPECT_EQ(road->shape, FeatureShape::Line);
        expectAt(road->parts.at(0).at(1), 45.75, 7.40);
        const Feature* border = labelled(all, "Province");
        ASSERT_NE(border, nullptr);
        EXPECT_EQ(border->featureClass, FeatureClass::Border);
        EXPECT_EQ(border->shape, FeatureShape::Area);
        EXPECT_EQ(border->parts.at(0).size(), 4u);
        const Feature* town = labelled(all, "Aosta");
        ASSERT_NE(town, nullptr);
        EXPECT_EQ(town->featureClass, FeatureClass::Place);
        expectAt(town->parts.at(0).at(0), 45.74, 7.32);
        const Feature* dots = labelled(all, "");
        ASSERT_NE(dots, nullptr);
        EXPECT_EQ(dots->featureClass, FeatureClass::Other);
        EXPECT_EQ(dots->parts.size(), 2u);

        // Around the road's east end only the road and the province reach in.
        const MercatorPoint east = toMercator({45.75, 7.40});
        const std::vector<Feature> near =
            read(*layer, {east.xM - 500, east.yM - 500, east.xM + 500, east.yM + 500});
        EXPECT_EQ(near.size(), 2u);
        EXPECT_EQ(labelled(near, "Aosta"), nullptr);
    }
    const auto layer = opened(dir / "valley.geojson");
    std::vector<Feature> two;
    bool truncated = false;
    ASSERT_TRUE(layer->features(Everywhere, 2, two, truncated).ok);
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
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].label, "Mast 1");
    EXPECT_EQ(all[0].shape, FeatureShape::Point);
    expectAt(all[0].parts.at(0).at(0), 45.6, 7.5);
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
    const std::vector<Feature> all = read(*layer, Everywhere);
    const Feature* road = labelled(all, "Rue Haute");
    ASSERT_NE(road, nullptr);
    EXPECT_EQ(road->featureClass, FeatureClass::Road);
    expectAt(road->parts.at(0).at(1), 45.71, 7.32);
    const Feature* village = labelled(all, "Bourg");
    ASSERT_NE(village, nullptr);
    EXPECT_EQ(village->featureClass, FeatureClass::Place);

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
